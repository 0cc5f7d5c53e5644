// The main window's way out of sight and back: the notification-area icon,
// drawing while minimised, the about box, help and the maker logo link.
#include "about_dlg.h"
#include "edition_config.h"
#include "macro_app.h"
#include "macro_dlg.h"
#include "resource.h"
#include "shell_links.h"
#include "text.h"
#include "tray_icon.h"

namespace tarvix {

void CMacroDlg::AddTrayIcon() {
    // The icon's own picture at the notification area's size, which grows
    // with the scale, rather than the 32-pixel one shrunk or stretched.
    const HICON icon = static_cast<HICON>(::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME),
                                                       IMAGE_ICON, ::GetSystemMetrics(SM_CXSMICON),
                                                       ::GetSystemMetrics(SM_CYSMICON), LR_SHARED));
    m_trayIcon = MakeTrayIconData(m_hWnd, icon, ui::ResourceString(IDS_TRAY_TIP), kProgramTraits.trayRecord);
    ::Shell_NotifyIconW(NIM_ADD, &m_trayIcon);
}

LRESULT CMacroDlg::OnTaskbarCreated(WPARAM, LPARAM) {
    // The shell has restarted and forgotten every icon; without ours a
    // hidden window could not be brought back.
    if (m_trayIcon.cbSize) ::Shell_NotifyIconW(NIM_ADD, &m_trayIcon);
    PassToDefault();
    return 0;
}

void CMacroDlg::SetTrayTip(const std::wstring& tip) {
    if (!m_trayIcon.cbSize) return;
    m_trayIcon = MakeTrayIconData(m_hWnd, m_trayIcon.hIcon, tip, kProgramTraits.trayRecord);
    ::Shell_NotifyIconW(NIM_MODIFY, &m_trayIcon);
}

LRESULT CMacroDlg::OnTrayRecording(WPARAM wParam, LPARAM lParam) {
    m_recordingWindow = reinterpret_cast<HWND>(wParam);
    const auto* tip = reinterpret_cast<const wchar_t*>(lParam);
    SetTrayTip(m_recordingWindow && tip ? std::wstring(tip) : ui::ResourceString(IDS_TRAY_TIP));
    return 0;
}

LRESULT CMacroDlg::OnTrayNotify(WPARAM, LPARAM lParam) {
    if (static_cast<UINT>(lParam) != WM_LBUTTONDOWN) return 0;
    if (m_recordingWindow) {
        POINT at = {};
        ::GetCursorPos(&at);
        ::PostMessageW(m_recordingWindow, WM_STOPRECORDING, 0, MAKELPARAM(at.x, at.y));
        return 0;
    }
    ::ShowWindow(m_hWnd, SW_SHOWNORMAL);
    ::SetForegroundWindow(m_hWnd);
    return 0;
}

void CMacroDlg::OnMinimize() {
    // Minimised first, so that the window comes back from the icon as it
    // would from the taskbar.
    ::ShowWindow(m_hWnd, SW_MINIMIZE);
    ::ShowWindow(m_hWnd, SW_HIDE);
}

LRESULT CMacroDlg::OnPaint(WPARAM, LPARAM) {
    if (!::IsIconic(m_hWnd)) {
        PassToDefault();
        return 0;
    }
    const win32::PaintDC paint(m_hWnd);
    const HDC dc = paint.get();
    ::SendMessageW(m_hWnd, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    const int iconWidth = ::GetSystemMetrics(SM_CXICON);
    const int iconHeight = ::GetSystemMetrics(SM_CYICON);
    RECT client;
    ::GetClientRect(m_hWnd, &client);
    const int x = (client.right - client.left - iconWidth + 1) / 2;
    const int y = (client.bottom - client.top - iconHeight + 1) / 2;
    ::DrawIcon(dc, x, y, m_icon);
    return 0;
}

void CMacroDlg::ShowAbout() {
    CAboutDlg about(m_hWnd);
    about.DoModal();
}

void CMacroDlg::OnAbout() { ShowAbout(); }

void CMacroDlg::OnHelp() { OpenHelp(m_hWnd, TheApp().programFolder()); }

LRESULT CMacroDlg::OnHelpInfo(WPARAM, LPARAM) {
    OpenHelp(m_hWnd, TheApp().programFolder());
    return TRUE;
}

bool CMacroDlg::PreTranslateMessage(MSG* msg) {
    const HWND logo = m_linkLogo.GetSafeHwnd();
    if (IsMouseMoveOver(*msg, logo)) {
        ::SetCursor(m_handCursor);
    } else if (IsLeftReleaseOver(*msg, logo)) {
        ::SetCursor(m_handCursor);
        OpenHomePage(m_hWnd);
    }
    NoteAdPanelInput(*msg);
    return ui::Dialog::PreTranslateMessage(msg);
}

}  // namespace tarvix
