// The main window's advertisement panel (edition 1.1): the maker's page in
// the web browser control when the page can be reached, the banner picture
// otherwise.
#include "ad_browser_guard.h"
#include "ad_panel.h"
#include "macro_dlg.h"
#include "resource.h"
#include "text.h"

namespace tarvix {

void CMacroDlg::SetUpAdPanel() {
    // The banner covers the browser until the page is known to answer.
    ::SetWindowPos(GetDlgItem(IDC_BANNER), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    // An address the panel may not show: no browser, no probe, the banner.
    const auto page = AdPageAddress();
    if (!page) return;
    m_adGuard = std::make_unique<AdBrowserGuard>(m_hWnd);
    PlaceBrowser(*page);
    // Checked plain ASCII (web_address.h), so the wide form is the same.
    const std::string address = page->Text();
    if (m_browser) m_browser.Navigate(std::wstring(address.begin(), address.end()));
    m_adProbe = std::make_shared<AdProbeMailbox>(m_hWnd, WM_AD_PAGE_ANSWERED);
    StartAdProbe(*page, m_adProbe);
}

void CMacroDlg::PlaceBrowser(const WebAddress& page) {
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
    if (!m_browser.Create(WS_TABSTOP, rect, m_hWnd, IDC_BROWSER, page, *m_adGuard)) return;
    ::SetWindowPos(m_browser.GetSafeHwnd(), previous ? previous : HWND_TOP, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void CMacroDlg::ShowAdBrowser() {
    // Without a browser the banner stays: an empty frame in its place would
    // show less than the banner does. A page that went off its site before
    // the probe came back is not shown either.
    if (!m_browser || !m_adGuard || m_adGuard->LeftSite()) return;
    ::ShowWindow(m_browser.GetSafeHwnd(), SW_SHOW);
    ::ShowWindow(GetDlgItem(IDC_BANNER), SW_HIDE);
}

void CMacroDlg::NoteAdPanelInput(const MSG& msg) {
    if (m_adGuard) m_adGuard->NoteInput(msg, m_browser.GetSafeHwnd());
}

LRESULT CMacroDlg::OnAdPageAnswered(WPARAM, LPARAM) {
    ShowAdBrowser();
    return 0;
}

LRESULT CMacroDlg::OnAdOpenOutside(WPARAM, LPARAM) {
    if (m_adGuard) m_adGuard->OpenQueued();
    return 0;
}

LRESULT CMacroDlg::OnAdLeftSite(WPARAM, LPARAM) {
    // Whatever the browser shows now is not the maker's page: the banner
    // covers it again, for good.
    if (m_browser) ::ShowWindow(m_browser.GetSafeHwnd(), SW_HIDE);
    ::ShowWindow(GetDlgItem(IDC_BANNER), SW_SHOW);
    return 0;
}

void CMacroDlg::CloseAdPanel() {
    if (m_adProbe) m_adProbe->Close();
    m_browser.Disconnect();
}

}  // namespace tarvix
