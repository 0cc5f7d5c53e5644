#include "about_dlg.h"

#include "resource.h"
#include "shell_links.h"

namespace tarvix {

CAboutDlg::CAboutDlg(HWND parent) : ui::Dialog(IDD_ABOUTBOX, parent) {}

CAboutDlg::~CAboutDlg() = default;

BOOL CAboutDlg::OnInitDialog() {
    const BOOL result = ui::Dialog::OnInitDialog();
    m_pictures.Attach(m_hWnd, ui::WindowDpi(m_hWnd));
    return result;
}

bool CAboutDlg::PreTranslateMessage(MSG* msg) {
    const HWND link = GetDlgItem(IDC_HOME_LINK);
    if (IsMouseMoveOver(*msg, link)) {
        // Cursors loaded from resources are shared: nothing to free.
        if (HCURSOR hand = ::LoadCursorW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDC_HAND_CURSOR)))
            ::SetCursor(hand);
    } else if (IsLeftReleaseOver(*msg, link)) {
        OpenHomePage(m_hWnd);
    }
    return ui::Dialog::PreTranslateMessage(msg);
}

}  // namespace tarvix
