// The main window's advertisement panel (edition 1.1): the maker's page in
// the web browser control when the page can be reached, the banner picture
// otherwise.
#include "ad_panel.h"
#include "macro_dlg.h"
#include "resource.h"
#include "text.h"

namespace tarvix {

void CMacroDlg::SetUpAdPanel() {
    PlaceBrowser();
    // The banner covers the browser until the page is known to answer.
    ::SetWindowPos(GetDlgItem(IDC_BANNER), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    const std::string url = AdPageUrl();
    if (m_browser) m_browser.Navigate(ui::WideFromAnsi(url));
    m_adProbe = std::make_shared<AdProbeMailbox>(m_hWnd, WM_AD_PAGE_ANSWERED);
    StartAdProbe(url, m_adProbe);
}

void CMacroDlg::PlaceBrowser() {
    // The template holds a hidden stand-in for the browser, so that its
    // rectangle and its place among the controls come from the template: a
    // template naming the host's class could not be made at all where the
    // class is missing. The host takes the stand-in's place.
    const HWND standIn = GetDlgItem(IDC_BROWSER);
    if (!standIn) return;
    RECT rect;
    ::GetWindowRect(standIn, &rect);
    ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&rect), 2);
    const HWND previous = ::GetWindow(standIn, GW_HWNDPREV);
    ::DestroyWindow(standIn);
    // Hidden until the page answers: a browser showing through or taking the
    // focus behind the banner would be a browser out of place.
    if (!m_browser.Create(WS_TABSTOP, rect, m_hWnd, IDC_BROWSER)) return;
    ::SetWindowPos(m_browser.GetSafeHwnd(), previous ? previous : HWND_TOP, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void CMacroDlg::ShowAdBrowser() {
    // Without a browser the banner stays: an empty frame in its place would
    // show less than the banner does.
    if (!m_browser) return;
    ::ShowWindow(m_browser.GetSafeHwnd(), SW_SHOW);
    ::ShowWindow(GetDlgItem(IDC_BANNER), SW_HIDE);
}

LRESULT CMacroDlg::OnAdPageAnswered(WPARAM, LPARAM) {
    ShowAdBrowser();
    return 0;
}

void CMacroDlg::CloseAdPanel() {
    if (m_adProbe) m_adProbe->Close();
}

}  // namespace tarvix
