#include "macro_dlg.h"

#include "resource.h"

namespace tarvix {

CMacroDlg::CMacroDlg()
    : ui::Dialog(IDD_MAIN),
      m_icon(::LoadIconW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME))) {}

BOOL CMacroDlg::OnInitDialog() {
    ui::Dialog::OnInitDialog();
    ::SendMessageW(m_hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_icon));
    ::SendMessageW(m_hWnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_icon));
    return TRUE;
}

}  // namespace tarvix
