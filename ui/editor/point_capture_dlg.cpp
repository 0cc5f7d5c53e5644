#include "point_capture_dlg.h"

#include <utility>

#include "hook_api.h"
#include "resource.h"

namespace tarvix {

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
