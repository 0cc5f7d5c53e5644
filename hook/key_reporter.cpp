#include "key_reporter.h"

#include "hook_api.h"

namespace tarvix::hook {

namespace {

// Longer than any keyboard's auto-repeat delay, so a key still being held
// always has a fresher event than this.
constexpr DWORD kQuietBeforeRelease = 1000;

bool AsyncDown(int vk) { return (::GetAsyncKeyState(vk) & 0x8000) != 0; }

}  // namespace

int CaptureIndex(DWORD vk, bool onKeypad) {
    const DWORD first = onKeypad ? VK_NUMPAD1 : '1';
    return vk >= first && vk < first + 9 ? static_cast<int>(vk - first) : -1;
}

void KeyReporter::OnKeyEvent(WPARAM message, const KBDLLHOOKSTRUCT& key) {
    if (key.dwExtraInfo == kTarvixInputTag) return;
    const DWORD vk = key.vkCode & 0xFF;
    switch (message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: {
        m_lastEvent[vk] = ::GetTickCount();
        const bool repeat = m_down[vk];
        m_down[vk] = true;
        if (!repeat) Report(vk);
        break;
    }
    case WM_KEYUP:
    case WM_SYSKEYUP:
        m_down[vk] = false;
        break;
    default:
        break;
    }
}

void KeyReporter::ForgetReleasedKeys() {
    const DWORD now = ::GetTickCount();
    for (int vk = 0; vk < 256; ++vk) {
        if (m_down[vk] && now - m_lastEvent[vk] > kQuietBeforeRelease && !AsyncDown(vk))
            m_down[vk] = false;
    }
}

void KeyReporter::Report(DWORD vk) const {
    if (HWND window = m_targets.hotkeys.load())
        ::PostMessageW(window, WM_HOTKEY, vk, 0);
    if (HWND window = m_targets.capture.load()) {
        const int index = CaptureIndex(vk, m_targets.captureOnKeypad.load());
        if (index >= 0 && AltAndCtrlHeld())
            ::PostMessageW(window, WM_HOTKEY, static_cast<WPARAM>(index), 0);
    }
}

// The hook's own record comes first: inside the callback the system's key
// state may lag a modifier pressed a moment earlier. The system's state
// covers a modifier that was already held when the hook started.
bool KeyReporter::Held(int vk) const { return m_down[vk] || AsyncDown(vk); }

bool KeyReporter::AltAndCtrlHeld() const {
    const bool alt = Held(VK_LMENU) || Held(VK_RMENU) || Held(VK_MENU);
    const bool ctrl = Held(VK_LCONTROL) || Held(VK_RCONTROL) || Held(VK_CONTROL);
    return alt && ctrl;
}

}  // namespace tarvix::hook
