#pragma once

#include <windows.h>

#include <string>

#include "browser_events.h"
#include "web_address.h"
#include "window.h"

namespace tarvix {

// The platform's web browser control in a child window of the main window.
// atl.dll's "AtlAxWin" window hosts it (the program has no control container
// of its own); atl.dll is looked for at run time, so where it or the control
// is missing there is simply no browser and Create says so.
//
// The control is made locked down (browser_lockdown.h), silent (no dialog
// boxes of its own), deaf to files dropped on it, and watched by a listener
// that keeps it on its home page's site (browser_events.h).
//
// Like the dialog's other controls, the window is the dialog's: it goes when
// the dialog goes. Needs COM initialised on the calling thread.
class CWebBrowser2 : public ui::Window {
public:
    // Creates the host and the control in it, kept to `home`'s site, with
    // `guard` told what leaves it; false, with nothing left behind, when
    // the control cannot be made or cannot be watched.
    bool Create(DWORD style, const RECT& rect, HWND parent, UINT id, const WebAddress& home, BrowserGuard& guard);

    // Nothing reaches the guard any more; every navigation is cancelled.
    void Disconnect() { m_events.Disconnect(); }

    // Starts loading the page; it loads on whether the window is seen or not.
    bool Navigate(const std::wstring& url) const;

private:
    BrowserEventConnection m_events;
};

}  // namespace tarvix
