#pragma once

#include <cstdint>

#include "hook_ports.h"

namespace tarvix::hook {

// The system removes a low-level hook, without telling its owner, when a
// callback takes longer than its time-out (a starved thread, paging, a
// debugger). A lost hook shows as input the callback never saw: the
// session's last input time (any device) moves past the last time the
// callback ran. Once a tick, input that was already there at the previous
// tick and is still unseen means the hook is gone and must go in again.
//
// Mouse input also moves the last input time without reaching a keyboard
// hook, so while only the mouse moves the hook is reinstalled every other
// tick. That costs two calls to the system; a mouse hook would cost every
// mouse event of the session a trip through this process instead.
class HookWatchdog {
public:
    explicit HookWatchdog(TickClock& clock) : m_clock(clock) {}

    // The hook went in; `lastInputMs` is the session's last input time then.
    void Installed(uint32_t lastInputMs);
    // The hook's callback ran.
    void Seen();
    // Called once a tick with the session's last input time; true when the
    // hook must be installed again.
    bool HookLost(uint32_t lastInputMs);

private:
    TickClock& m_clock;
    uint32_t m_baseline = 0;  // last input time when the hook went in
    uint32_t m_pending = 0;   // last input time at the previous tick
    uint32_t m_lastSeen = 0;
    bool m_seenAny = false;
};

}  // namespace tarvix::hook
