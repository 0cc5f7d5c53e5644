#include "hook_keeper.h"

namespace tarvix::hook {

void HookKeeper::Tick() {
    if (m_hooks.MouseHooked() && m_either.HookLost(m_hooks.LastInputMs())) {
        // Put back or not, what passed unhooked is gone from the recording.
        m_hooks.ReplaceMouseHook();
        m_either.Installed(m_hooks.LastInputMs());
        m_recorder.OnInputMissed(m_hooks.NowUs());
    }
    if (m_keyboard.HookLost(m_hooks.LastInputMs()) && m_hooks.ReplaceKeyboardHook())
        m_keyboard.Installed(m_hooks.LastInputMs());
}

}  // namespace tarvix::hook
