#pragma once

#include <cstdint>

#include "hook_ports.h"
#include "hook_watchdog.h"
#include "input_recorder.h"

namespace tarvix::hook {

// What putting a hook back asks of the system. A fresh hook goes in before
// the old one comes out, so no key passes unhooked in between.
class HookSetter {
public:
    virtual ~HookSetter() = default;
    // False when the system refused a fresh hook: the old one stays held.
    virtual bool ReplaceKeyboardHook() = 0;
    virtual bool ReplaceMouseHook() = 0;
    // The mouse hook is in only while a window records.
    virtual bool MouseHooked() = 0;
    // The session's last input time from any device, as a tick count.
    virtual uint32_t LastInputMs() = 0;
    // The time recorded input carries.
    virtual uint64_t NowUs() = 0;
};

// Puts back, once a tick, a hook the system took out (see HookWatchdog).
// The keyboard hook goes back in when its watchdog says so, tried again every
// tick while the system refuses. A recording's mouse hook goes back in when
// input passed neither hook, and the recording hears that input was missed:
// the mouse hook's own callbacks cannot tell it was taken while only the
// user typed, and a keyboard-only watch would put it back every other tick.
class HookKeeper {
public:
    HookKeeper(HookSetter& hooks, TickClock& clock, InputRecorder& recorder)
        : m_hooks(hooks), m_recorder(recorder), m_keyboard(clock), m_either(clock) {}

    // The hooks went in.
    void KeyboardInstalled() { m_keyboard.Installed(m_hooks.LastInputMs()); }
    void MouseInstalled() { m_either.Installed(m_hooks.LastInputMs()); }
    // A hook's callback ran.
    void KeyboardSeen() {
        m_keyboard.Seen();
        m_either.Seen();
    }
    void MouseSeen() { m_either.Seen(); }

    void Tick();

private:
    HookSetter& m_hooks;
    InputRecorder& m_recorder;
    HookWatchdog m_keyboard;
    HookWatchdog m_either;
};

}  // namespace tarvix::hook
