#pragma once

#include <cstdint>

#include "recorded_input.h"

namespace tarvix::hook {

// What the hook's decisions ask of the system. The Windows side answers from
// the system; tests answer from fakes with a virtual clock.

// Whether the system holds a key down at this moment, whatever the hook saw.
class SystemKeyState {
public:
    virtual ~SystemKeyState() = default;
    virtual bool IsDown(uint8_t vk) = 0;
};

// Milliseconds as the system's tick count gives them; wraps after 49.7 days.
class TickClock {
public:
    virtual ~TickClock() = default;
    virtual uint32_t NowMs() = 0;
};

// The top-left corner of the client area of the window in front, on the
// virtual desktop in physical pixels; false when no window is in front.
class WindowInFront {
public:
    virtual ~WindowInFront() = default;
    virtual bool ClientOrigin(int32_t& x, int32_t& y) = 0;
};

// Which keys capture a screen point: 1 to 9 of the digit row, or of the
// numeric keypad (edition 1.0). Off while no window waits for capture keys.
enum class CaptureKeys : uint8_t { Off, DigitRow, Keypad };

// Where reports go. Each kind of report has its own receiver, registered
// through its own pair of ordinals; a report of a kind with no receiver
// goes nowhere. A new kind of report is a new method here.
class ReportSink {
public:
    virtual ~ReportSink() = default;
    // A key went down: vk is the receiver's hotkey code.
    virtual void ReportHotkey(uint8_t vk) = 0;
    // The capture keys to look for now, read once per key-down.
    virtual CaptureKeys WantedCaptureKeys() = 0;
    // A capture key went down with Alt and Ctrl held: index 0 to 8.
    virtual void ReportCapture(int index) = 0;
    // Whether a window records input now, read once per event.
    virtual bool Recording() = 0;
    // Whether that recording places pointer positions in the window in
    // front, read once per pointer event.
    virtual bool RecordsWindowOrigins() = 0;
    // One event for the recording window; never waits.
    virtual void ReportRecorded(const RecordedInput& input) = 0;
};

}  // namespace tarvix::hook
