#include "system_ports.h"

#include "hook_api.h"

namespace tarvix::hook {

static_assert(kOwnInputTag == kTarvixInputTag);
static_assert(vk::kControl == VK_CONTROL && vk::kMenu == VK_MENU && vk::kNumpad1 == VK_NUMPAD1 &&
              vk::kLeftControl == VK_LCONTROL && vk::kRightControl == VK_RCONTROL &&
              vk::kLeftMenu == VK_LMENU && vk::kRightMenu == VK_RMENU && vk::kDigit1 == '1');

namespace {

// The hook structure's own time has the tick count's 10 to 16 ms steps; the
// performance counter is exact, read in the callback before anything waits.
uint64_t NowMicroseconds() {
    static const LONGLONG frequency = [] {
        LARGE_INTEGER f;
        return ::QueryPerformanceFrequency(&f) && f.QuadPart > 0 ? f.QuadPart : 1;
    }();
    LARGE_INTEGER count;
    ::QueryPerformanceCounter(&count);
    // Whole seconds and the rest apart, so the product never overflows.
    const auto ticks = static_cast<uint64_t>(count.QuadPart);
    const auto perSecond = static_cast<uint64_t>(frequency);
    return ticks / perSecond * 1000000 + ticks % perSecond * 1000000 / perSecond;
}

}  // namespace

void PostedReports::ReportHotkey(uint8_t vk) {
    if (HWND window = m_targets.hotkeys.load()) ::PostMessageW(window, WM_HOTKEY, vk, 0);
}

CaptureKeys PostedReports::WantedCaptureKeys() {
    if (!m_targets.capture.load()) return CaptureKeys::Off;
    return m_targets.captureOnKeypad.load() ? CaptureKeys::Keypad : CaptureKeys::DigitRow;
}

void PostedReports::ReportCapture(int index) {
    if (HWND window = m_targets.capture.load())
        ::PostMessageW(window, WM_HOTKEY, static_cast<WPARAM>(index), 0);
}

uint32_t LastInputTime() {
    LASTINPUTINFO info{sizeof(info), 0};
    return ::GetLastInputInfo(&info) ? info.dwTime : 0;
}

bool ReadKeyEvent(WPARAM message, const KBDLLHOOKSTRUCT& key, KeyEvent& event) {
    switch (message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        event.up = false;
        break;
    case WM_KEYUP:
    case WM_SYSKEYUP:
        event.up = true;
        break;
    default:
        return false;
    }
    event.vk = static_cast<uint8_t>(key.vkCode & 0xFF);
    event.scan = static_cast<uint16_t>(key.scanCode);
    event.extended = (key.flags & LLKHF_EXTENDED) != 0;
    event.injected = (key.flags & LLKHF_INJECTED) != 0;
    event.extraInfo = key.dwExtraInfo;
    event.timeUs = NowMicroseconds();
    return true;
}

}  // namespace tarvix::hook
