#include "system_ports.h"

#include "client_origin.h"
#include "hook_api.h"
#include "performance_counter.h"

namespace tarvix::hook {

static_assert(kOwnInputTag == kTarvixInputTag);
static_assert(vk::kControl == VK_CONTROL && vk::kMenu == VK_MENU && vk::kNumpad1 == VK_NUMPAD1 &&
              vk::kLeftControl == VK_LCONTROL && vk::kRightControl == VK_RCONTROL &&
              vk::kLeftMenu == VK_LMENU && vk::kRightMenu == VK_RMENU && vk::kDigit1 == '1');

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

bool PostedReports::Recording() { return m_targets.recording.load() != nullptr; }

bool PostedReports::RecordsWindowOrigins() { return m_targets.recordingWindowOrigins.load(); }

bool Win32WindowInFront::ClientOrigin(int32_t& x, int32_t& y) {
    POINT corner;
    if (!win32::ForegroundClientOrigin(corner)) return false;
    x = corner.x;
    y = corner.y;
    return true;
}

// Posting never waits for the receiver, and a posted message keeps its place
// among the others, so the recording gets the events in the hooks' order.
void PostedReports::ReportRecorded(const RecordedInput& input) {
    HWND window = m_targets.recording.load();
    if (!window) return;
    const auto post = [window](const RecordedInput& in) {
        const PackedInput packed = Pack(in);
        return ::PostMessageW(window, kRecordedInputMessage, static_cast<WPARAM>(packed.what),
                              static_cast<LPARAM>(packed.timeUs)) != FALSE;
    };
    if (m_recordingGap) {
        RecordedInput gap;
        gap.kind = InputKind::Missed;
        gap.timeUs = input.timeUs;
        m_recordingGap = !post(gap);
    }
    if (!post(input)) m_recordingGap = true;
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
    event.timeUs = win32::CounterMicroseconds();
    return true;
}

}  // namespace tarvix::hook

namespace tarvix::hook {

namespace {

bool MouseActionOf(WPARAM message, MouseAction& action) {
    switch (message) {
    case WM_MOUSEMOVE: action = MouseAction::Move; return true;
    case WM_LBUTTONDOWN: action = MouseAction::LeftDown; return true;
    case WM_LBUTTONUP: action = MouseAction::LeftUp; return true;
    case WM_RBUTTONDOWN: action = MouseAction::RightDown; return true;
    case WM_RBUTTONUP: action = MouseAction::RightUp; return true;
    case WM_MBUTTONDOWN: action = MouseAction::MiddleDown; return true;
    case WM_MBUTTONUP: action = MouseAction::MiddleUp; return true;
    case WM_XBUTTONDOWN: action = MouseAction::ExtraDown; return true;
    case WM_XBUTTONUP: action = MouseAction::ExtraUp; return true;
    case WM_MOUSEWHEEL: action = MouseAction::Wheel; return true;
    case WM_MOUSEHWHEEL: action = MouseAction::HWheel; return true;
    default: return false;
    }
}

}  // namespace

bool ReadMouseEvent(WPARAM message, const MSLLHOOKSTRUCT& mouse, MouseEvent& event) {
    if (!MouseActionOf(message, event.action)) return false;
    event.x = mouse.pt.x;
    event.y = mouse.pt.y;
    event.injected = (mouse.flags & LLMHF_INJECTED) != 0;
    // The high word: which side button, or the wheel's signed amount.
    event.data = 0;
    if (event.action == MouseAction::ExtraDown || event.action == MouseAction::ExtraUp)
        event.data = HIWORD(mouse.mouseData);
    else if (event.action == MouseAction::Wheel || event.action == MouseAction::HWheel)
        event.data = static_cast<int16_t>(HIWORD(mouse.mouseData));
    event.extraInfo = mouse.dwExtraInfo;
    event.timeUs = win32::CounterMicroseconds();
    return true;
}

}  // namespace tarvix::hook
