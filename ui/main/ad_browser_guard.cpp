#include "ad_browser_guard.h"

#include <shellapi.h>

namespace tarvix {

namespace {

bool IsInside(HWND window, HWND outer) { return outer && (window == outer || ::IsChild(outer, window)); }

bool IsActivation(const MSG& msg) {
    if (msg.message == WM_LBUTTONUP) return true;
    return msg.message == WM_KEYDOWN && (msg.wParam == VK_RETURN || msg.wParam == VK_SPACE);
}

}  // namespace

void AdBrowserGuard::NoteInput(const MSG& msg, HWND browser) {
    if (IsActivation(msg) && IsInside(msg.hwnd, browser)) m_gate.NoteInput(::GetTickCount64());
}

bool AdBrowserGuard::TakeUserRequest() { return m_gate.Take(::GetTickCount64()); }

void AdBrowserGuard::OpenOutside(const std::string& address) {
    m_queued.push_back(address);
    ::PostMessageW(m_window, WM_AD_OPEN_OUTSIDE, 0, 0);
}

void AdBrowserGuard::OnLeftSite() {
    m_leftSite = true;
    ::PostMessageW(m_window, WM_AD_LEFT_SITE, 0, 0);
}

void AdBrowserGuard::OpenQueued() {
    while (!m_queued.empty()) {
        // Checked plain ASCII (web_address.h), so the wide form is the same.
        const std::wstring address(m_queued.front().begin(), m_queued.front().end());
        m_queued.pop_front();
        ::ShellExecuteW(m_window, L"open", address.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    }
}

}  // namespace tarvix
