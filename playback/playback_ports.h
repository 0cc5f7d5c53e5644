#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tarvix {

enum class MouseButton { Left, Right, Middle, X1, X2 };

// Where a run's input goes. The Windows implementation synthesises input
// marked as the program's own; tests record it.
class InputSink {
public:
    virtual ~InputSink() = default;
    // The scan code of a virtual key in the current layout (0 when none),
    // 0xE0xx for a key of the extended form when the layout says so.
    virtual uint16_t ScanCode(uint8_t vk) = 0;
    // The key of one single-byte character of the model's Big5 text, as
    // VkKeyScan gives it: low byte the key, 0x100 Shift, 0x200 Ctrl, 0x400
    // Alt (both: AltGr); -1 no key. Only ASCII has keys; the bytes above
    // have none whatever the system's code page, so they are typed as
    // characters.
    virtual int16_t KeyScan(unsigned char c) = 0;
    // A scan code with the E0 prefix (0xE0xx) is sent as the extended key.
    virtual void Key(uint8_t vk, uint16_t scan, bool up) = 0;
    // One character of Big5 text (one or two bytes), typed as the Unicode
    // character it stands for.
    virtual void Character(std::string_view big5Char, bool up) = 0;
    virtual void Button(MouseButton button, bool up) = 0;
    // One turn of the wheel, or of the horizontal wheel, by a signed amount
    // in wheel units (120 to a notch, positive away from the user or to the
    // right) that a window's message can carry.
    virtual void Wheel(bool horizontal, int16_t amount) = 0;
    // Moves the pointer exactly onto a point of the virtual desktop.
    virtual void MoveTo(int32_t x, int32_t y) = 0;
    virtual void MoveBy(int32_t dx, int32_t dy) = 0;
};

class PlaybackClock {
public:
    virtual ~PlaybackClock() = default;
    // Milliseconds as timeGetTime counts them.
    virtual uint32_t NowMs() = 0;
    // The clock a run's schedule is kept on: microseconds from a fixed
    // moment, never wrapping.
    virtual uint64_t NowUs() = 0;
};

// The shared stop signal. A run never sleeps: every wait it makes (a Delay,
// a hold, a pause) is a wait on this signal, which a stop ends at once.
class StopSignal {
public:
    virtual ~StopSignal() = default;
    virtual bool IsSet() = 0;
    // Waits until the signal is set or the time is up; true when set.
    // 4294967295 ms is that many, not a wait without end.
    virtual bool WaitFor(uint32_t ms) = 0;
    // Waits until the run's clock (PlaybackClock::NowUs) reads deadlineUs or
    // the signal is set; true when set. Ends as close after the deadline as
    // the system allows, not a timer tick or two later, and at once for a
    // deadline already past.
    virtual bool WaitUntil(uint64_t deadlineUs) = 0;
};

// Whether a key is held down at this moment.
class KeyState {
public:
    virtual ~KeyState() = default;
    virtual bool IsDown(uint8_t vk) = 0;
    virtual bool CapsLockOn() = 0;
};

// A point of the virtual desktop in physical pixels; the primary monitor's
// top-left corner is (0, 0).
struct DesktopPoint {
    int32_t x = 0;
    int32_t y = 0;
};

class ForegroundWindow {
public:
    virtual ~ForegroundWindow() = default;
    // The foreground window's title, empty when there is none.
    virtual std::string Title() = 0;
    // The top-left corner of the foreground window's client area; nothing
    // when no window is in front.
    virtual std::optional<DesktopPoint> ClientOrigin() = 0;
};

}  // namespace tarvix
