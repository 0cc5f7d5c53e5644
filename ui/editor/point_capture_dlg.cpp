#include "point_capture_dlg.h"

#include <utility>

#include "client_origin.h"
#include "edition_config.h"
#include "hook_api.h"
#include "resource.h"

namespace tarvix {

namespace {

bool IsOwnWindow(HWND window) {
    DWORD process = 0;
    ::GetWindowThreadProcessId(window, &process);
    return process == ::GetCurrentProcessId();
}

// The point's place in the client area of the window in front, as MoveIn
// plays it. This dialog, or the editor behind it, is in front only while the
// user points elsewhere without clicking there first: never in front when a
// script plays, so the window the pointer is over counts instead. With no
// other window either, it is the screen place, the primary monitor's.
ScreenPoint PlaceInWindowInFront(POINT cursor) {
    HWND window = ::GetForegroundWindow();
    if (window && IsOwnWindow(window)) {
        window = ::GetAncestor(::WindowFromPoint(cursor), GA_ROOT);
        if (window && IsOwnWindow(window)) window = nullptr;
    }
    POINT corner;
    if (!win32::ClientOriginOf(window, corner)) return {cursor.x, cursor.y};
    return {cursor.x - corner.x, cursor.y - corner.y};
}

}  // namespace

CPointCaptureDlg::CPointCaptureDlg(std::string settingsFile)
    : ui::Dialog(IDD_CAPTURE), m_settings(std::move(settingsFile)) {}

CPointCaptureDlg::~CPointCaptureDlg() {
    // The base destroys a window still open, by then without this class's
    // handlers: the hook must not go on reporting to it.
    StopCapture();
}

const ui::MessageMap* CPointCaptureDlg::GetMessageMap() const {
    static const ui::MessageEntry entries[] = {
        ui::OnMessage(WM_HOTKEY, &CPointCaptureDlg::OnHotKey),
        ui::OnMessage(WM_DESTROY, &CPointCaptureDlg::OnDestroy),
    };
    static const ui::MessageMap map = ui::MakeMessageMap(ui::Dialog::GetMessageMap(), entries);
    return &map;
}

BOOL CPointCaptureDlg::OnInitDialog() {
    ui::Dialog::OnInitDialog();
    for (int index = 0; index < Settings::kCapturePointCount; ++index)
        ShowPoint(index, m_settings.ReadCapturePoint(index));
    HookStartCapture(m_hWnd);
    m_capturing = true;
    return TRUE;
}

void CPointCaptureDlg::ShowPoint(int index, ScreenPoint point) const {
    const std::wstring text = L"X=" + std::to_wstring(point.x) + L" Y=" + std::to_wstring(point.y);
    ::SetDlgItemTextW(m_hWnd, IDC_POINT_EDIT_FIRST + index, text.c_str());
}

LRESULT CPointCaptureDlg::OnHotKey(WPARAM wParam, LPARAM) {
    // The hook reports the points 0 to 8; anything else is no capture key.
    if (wParam >= static_cast<WPARAM>(Settings::kCapturePointCount)) return 0;
    const int index = static_cast<int>(wParam);
    POINT cursor;
    if (!::GetCursorPos(&cursor)) return 0;
    const ScreenPoint point{cursor.x, cursor.y};
    m_settings.WriteCapturePoint(index, point);
    if (kProgramTraits.hasMoveIn) m_settings.WriteCapturePointInWindow(index, PlaceInWindowInFront(cursor));
    ShowPoint(index, point);
    return 0;
}

void CPointCaptureDlg::OnCancel() {
    StopCapture();
    ui::Dialog::OnCancel();
}

LRESULT CPointCaptureDlg::OnDestroy(WPARAM, LPARAM) {
    StopCapture();
    PassToDefault();
    return 0;
}

void CPointCaptureDlg::StopCapture() {
    if (!m_capturing) return;
    m_capturing = false;
    HookStopCapture();
}

}  // namespace tarvix
