#pragma once

#include <windows.h>

#include <string>

#include "playback_ports.h"

namespace tarvix {

// Input synthesised with SendInput and marked as the program's own, so that
// the keyboard hook never reports it back as a hotkey.
class Win32InputSink : public InputSink {
public:
    // Makes the calling thread's first keyboard call, so that the system sets
    // up its input state now rather than in front of a run's first event.
    static void PrepareThread();

    uint16_t ScanCode(uint8_t vk) override;
    int16_t KeyScan(unsigned char c) override;
    void Key(uint8_t vk, uint16_t scan, bool up) override;
    void Character(std::string_view big5Char, bool up) override;
    void Button(MouseButton button, bool up) override;
    void Wheel(bool horizontal, int16_t amount) override;
    void MoveTo(int32_t x, int32_t y) override;
    void MoveBy(int32_t dx, int32_t dy) override;
};

// timeGetTime, and the performance counter for the run's schedule, with the
// system timer at 1 ms for the life of the object so that the short sleeps
// that end each wait take a millisecond and not a tick of 15.6.
class Win32Clock : public PlaybackClock {
public:
    Win32Clock();
    ~Win32Clock() override;
    Win32Clock(const Win32Clock&) = delete;
    Win32Clock& operator=(const Win32Clock&) = delete;

    uint32_t NowMs() override;
    uint64_t NowUs() override;

private:
    bool m_periodSet;
};

// A manual-reset event; the handle belongs to whoever made the object.
class Win32StopSignal : public StopSignal {
public:
    explicit Win32StopSignal(HANDLE event) : m_event(event) {}
    bool IsSet() override;
    bool WaitFor(uint32_t ms) override;
    // On Win32Clock::NowUs.
    bool WaitUntil(uint64_t deadlineUs) override;

    // A wait on the event can end several milliseconds late (up to 4.4 ms
    // under Wine here, where Sleep(1) is 1.1 ms give or take 0.1): it ends
    // this much before the deadline, and sleeps of a millisecond, then a
    // short spin, finish on the clock.
    static constexpr uint64_t kWakeEarlyUs = 5000;

private:
    HANDLE m_event;
    // How long a Sleep(1) takes here, on average: 1 to 2 ms on Windows with
    // a 1 ms timer, about 1.1 ms under Wine.
    uint64_t m_sleepUs = 1500;
};

class Win32KeyState : public KeyState {
public:
    bool IsDown(uint8_t vk) override;
    // The toggle as the system keeps it for the thread, which a playback
    // thread never changes by reading input.
    bool CapsLockOn() override;
};

class Win32ForegroundWindow : public ForegroundWindow {
public:
    std::string Title() override;
    std::optional<DesktopPoint> ClientOrigin() override;
};

}  // namespace tarvix
