#include "recording_runner.h"

#include <windowsx.h>

#include "hook_api.h"
#include "recorded_input.h"
#include "resource.h"
#include "text.h"
#include "tray_icon.h"

namespace tarvix {

namespace {

constexpr wchar_t kWindowClass[] = L"TarvixRecording";
// The report window's text once the hooks are in: from then on, whatever the
// user does is recorded. Another program (a test driving this one) can wait
// for it rather than guess.
constexpr wchar_t kRecordingTitle[] = L"recording";
constexpr DWORD kButtonPollMs = 10;

bool AnyButtonDown() {
    for (int vk : {VK_LBUTTON, VK_RBUTTON, VK_MBUTTON, VK_XBUTTON1, VK_XBUTTON2})
        if (::GetAsyncKeyState(vk) & 0x8000) return true;
    return false;
}

bool IsMouseButtonKey(int vk) { return vk == VK_LBUTTON || vk == VK_RBUTTON || (vk >= VK_MBUTTON && vk <= VK_XBUTTON2); }

// As the key state has them: Shift, Ctrl and Alt by their generic codes too,
// which the Recording leaves aside for the sided ones the hook reports.
std::vector<uint8_t> KeysDownNow() {
    std::vector<uint8_t> keys;
    for (int vk = 1; vk < 256; ++vk)
        if (!IsMouseButtonKey(vk) && (::GetAsyncKeyState(vk) & 0x8000)) keys.push_back(static_cast<uint8_t>(vk));
    return keys;
}

// False when the program is asked to quit meanwhile (the request is put
// back for the outer loop).
bool PumpOnce(bool wait) {
    MSG msg;
    if (wait) {
        const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got <= 0) {
            ::PostQuitMessage(got == 0 ? static_cast<int>(msg.wParam) : 0);
            return false;
        }
    } else if (!::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        return true;
    } else if (msg.message == WM_QUIT) {
        ::PostQuitMessage(static_cast<int>(msg.wParam));
        return false;
    }
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
    return true;
}

// The press that chose 開始 is no part of the recording: it starts once
// every mouse button is up.
bool AwaitButtonsUp() {
    while (AnyButtonDown()) {
        for (;;) {
            MSG peek;
            if (!::PeekMessageW(&peek, nullptr, 0, 0, PM_NOREMOVE)) break;
            if (!PumpOnce(false)) return false;
        }
        ::Sleep(kButtonPollMs);
    }
    return true;
}

LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kRecordedInputMessage) {
        if (auto* recording = reinterpret_cast<Recording*>(::GetWindowLongPtrW(window, GWLP_USERDATA))) {
            hook::PackedInput packed;
            packed.what = static_cast<uint64_t>(wParam);
            packed.timeUs = static_cast<uint64_t>(lParam);
            recording->Add(hook::Unpack(packed));
        }
        return 0;
    }
    if (message == WM_STOPRECORDING) {
        if (auto* recording = reinterpret_cast<Recording*>(::GetWindowLongPtrW(window, GWLP_USERDATA)))
            recording->StopByIconClick(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        return 0;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

// A message-only window that receives the hook's reports, and is
// unregistered from the hook and destroyed however the recording ends.
class ReportWindow {
public:
    ReportWindow(Recording& recording, bool windowRelative) {
        static const ATOM registered = [] {
            WNDCLASSW windowClass = {};
            windowClass.lpfnWndProc = RecordingProc;
            windowClass.hInstance = ::GetModuleHandleW(nullptr);
            windowClass.lpszClassName = kWindowClass;
            return ::RegisterClassW(&windowClass);
        }();
        if (!registered) return;
        m_window = ::CreateWindowExW(0, kWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                     ::GetModuleHandleW(nullptr), nullptr);
        if (!m_window) return;
        ::SetWindowLongPtrW(m_window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&recording));
        HookRecordWindowOrigins(windowRelative ? TRUE : FALSE);
        m_hooked = HookStartRecording(m_window) != FALSE;
        if (m_hooked) ::SetWindowTextW(m_window, kRecordingTitle);
    }
    ~ReportWindow() {
        if (!m_window) return;
        HookStopRecording();
        HookRecordWindowOrigins(FALSE);
        ::SetWindowLongPtrW(m_window, GWLP_USERDATA, 0);
        ::DestroyWindow(m_window);
    }
    ReportWindow(const ReportWindow&) = delete;
    ReportWindow& operator=(const ReportWindow&) = delete;

    explicit operator bool() const { return m_window && m_hooked; }
    HWND get() const { return m_window; }

private:
    HWND m_window = nullptr;
    bool m_hooked = false;
};

}  // namespace

RecordingResult RunRecording(Hotkey stop, bool keepPath, bool windowRelative, HWND iconWindow,
                             const std::wstring& tip) {
    RecordingResult result;
    if (!AwaitButtonsUp()) return result;
    Recording recording(stop, KeysDownNow(), keepPath);
    {
        ReportWindow window(recording, windowRelative);
        if (!window) {
            result.refused = true;
            return result;
        }
        if (iconWindow)
            ::SendMessageW(iconWindow, WM_TRAYRECORDING, reinterpret_cast<WPARAM>(window.get()),
                           reinterpret_cast<LPARAM>(tip.c_str()));
        while (recording.outcome() == Recording::Outcome::Going)
            if (!PumpOnce(true)) break;
        if (iconWindow) ::SendMessageW(iconWindow, WM_TRAYRECORDING, 0, 0);
    }
    result.full = recording.outcome() == Recording::Outcome::Full;
    result.leftOut = recording.leftOut();
    result.inputMissed = recording.inputMissed();
    result.events = recording.Finish();
    return result;
}

std::vector<RecordingEndMessage> RecordingEndMessages(const RecordingResult& result) {
    std::vector<RecordingEndMessage> messages;
    if (result.full) messages.push_back({ui::ResourceString(IDS_RECORD_FULL), MB_ICONINFORMATION});
    if (result.inputMissed) messages.push_back({ui::ResourceString(IDS_RECORD_MISSED), MB_ICONEXCLAMATION});
    if (result.leftOut.Total() == 0) return messages;
    // Side buttons beyond the second are all a script cannot hold.
    const std::wstring kinds =
        ui::ResourceStringWith(IDS_RECORD_EXTRA, std::to_wstring(result.leftOut.otherSideButtons));
    messages.push_back({ui::ResourceStringWith(IDS_RECORD_LEFT_OUT, kinds), MB_ICONINFORMATION});
    return messages;
}

}  // namespace tarvix
