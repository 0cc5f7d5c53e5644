#pragma once

#include <bitset>
#include <cstdint>

#include "hook_ports.h"
#include "key_event.h"

namespace tarvix::hook {

// Decides what each keyboard event reports: every key-down once (not its
// auto-repeats) as a hotkey, and while capture is on, the capture keys with
// Alt and Ctrl held. The program's own tagged input reports nothing and
// leaves no trace. Lives on the hook thread, which feeds it every event.
class KeyReporter {
public:
    // Longer than the longest auto-repeat delay a keyboard can be set to, so
    // a key still being held always has a fresher event than this.
    static constexpr uint32_t kQuietBeforeReleaseMs = 1000;

    KeyReporter(SystemKeyState& keys, TickClock& clock, ReportSink& sink)
        : m_keys(keys), m_clock(clock), m_sink(sink) {}

    void OnKeyEvent(const KeyEvent& event);

    // A key-up the hook never saw (the hook was gone for a while, or the
    // input went to a secure desktop) would leave its key looking held, and
    // every later press of it would pass for an auto-repeat. Releases keys
    // that the system says are up and that have had no event for the quiet
    // time. Called now and then (the hook thread's tick).
    void ForgetReleasedKeys();

private:
    void OnKeyDown(uint8_t vk);
    bool Held(uint8_t vk);
    bool AltAndCtrlHeld();

    SystemKeyState& m_keys;
    TickClock& m_clock;
    ReportSink& m_sink;
    std::bitset<256> m_down;
    uint32_t m_lastEvent[256] = {};  // tick of each key's last down or repeat
};

// The capture index 0..8 of a key, or -1 when it is not a capture key.
int CaptureIndex(uint8_t vk, CaptureKeys keys);

}  // namespace tarvix::hook
