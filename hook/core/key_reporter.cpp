#include "key_reporter.h"

namespace tarvix::hook {

int CaptureIndex(uint8_t vk, CaptureKeys keys) {
    if (keys == CaptureKeys::Off) return -1;
    const int first = keys == CaptureKeys::Keypad ? vk::kNumpad1 : vk::kDigit1;
    return vk >= first && vk < first + 9 ? vk - first : -1;
}

void KeyReporter::OnKeyEvent(const KeyEvent& event) {
    if (event.IsOwnInput()) return;
    if (event.up) {
        m_down[event.vk] = false;
        return;
    }
    m_lastEvent[event.vk] = m_clock.NowMs();
    const bool repeat = m_down[event.vk];
    m_down[event.vk] = true;
    if (!repeat) OnKeyDown(event.vk);
}

void KeyReporter::OnKeyDown(uint8_t vk) {
    m_sink.ReportHotkey(vk);
    const int index = CaptureIndex(vk, m_sink.WantedCaptureKeys());
    if (index >= 0 && AltAndCtrlHeld()) m_sink.ReportCapture(index);
}

void KeyReporter::ForgetReleasedKeys() {
    const uint32_t now = m_clock.NowMs();
    for (int code = 0; code < 256; ++code) {
        const auto vk = static_cast<uint8_t>(code);
        // Unsigned difference: right across the tick count's wrap.
        if (m_down[vk] && now - m_lastEvent[vk] > kQuietBeforeReleaseMs && !m_keys.IsDown(vk))
            m_down[vk] = false;
    }
}

// The hook's own record comes first: inside the callback the system's key
// state may lag a modifier pressed a moment earlier. The system's state
// covers a modifier that was already held when the hook started.
bool KeyReporter::Held(uint8_t vk) { return m_down[vk] || m_keys.IsDown(vk); }

bool KeyReporter::AltAndCtrlHeld() {
    const bool alt = Held(vk::kLeftMenu) || Held(vk::kRightMenu) || Held(vk::kMenu);
    const bool ctrl = Held(vk::kLeftControl) || Held(vk::kRightControl) || Held(vk::kControl);
    return alt && ctrl;
}

}  // namespace tarvix::hook
