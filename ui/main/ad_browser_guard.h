#pragma once

#include <windows.h>

#include <deque>
#include <string>

#include "browser_events.h"
#include "user_request.h"

namespace tarvix {

// The messages the guard posts to the main window, so that nothing is
// opened or hidden from inside the browser's own event.
constexpr UINT WM_AD_OPEN_OUTSIDE = WM_APP + 0x41;
constexpr UINT WM_AD_LEFT_SITE = WM_APP + 0x42;

// The advertisement panel's side of the browser's guard: it knows when the
// user clicked in the panel, hands links to the user's own browser and
// remembers a page that strayed from its site.
class AdBrowserGuard final : public BrowserGuard {
public:
    explicit AdBrowserGuard(HWND window) : m_window(window) {}

    // From the window's message filter: a click or key in the browser's
    // windows is the user asking.
    void NoteInput(const MSG& msg, HWND browser);

    bool TakeUserRequest() override;
    void OpenOutside(const std::string& address) override;
    void OnLeftSite() override;

    // On WM_AD_OPEN_OUTSIDE: the links queued so far, each in the user's
    // browser by way of the shell.
    void OpenQueued();
    bool LeftSite() const { return m_leftSite; }

private:
    HWND m_window;
    UserRequestGate m_gate;
    std::deque<std::string> m_queued;
    bool m_leftSite = false;
};

}  // namespace tarvix
