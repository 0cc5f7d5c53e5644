#pragma once

#include <windows.h>
#include <ole2.h>
#include <ocidl.h>

#include <string>

#include "web_address.h"

namespace tarvix {

// What the panel does with the browser's requests that leave its page.
// Called on the window's thread, from inside the control's events.
class BrowserGuard {
public:
    // Whether the user's own click or key in the panel asked for what the
    // page wants now; a true answer uses the click up.
    virtual bool TakeUserRequest() = 0;
    // Opens the address (plain, checked) in the user's own browser.
    virtual void OpenOutside(const std::string& address) = 0;
    // The page ended up on another site than its own (a server redirect,
    // which the control follows without asking): it must not be shown.
    virtual void OnLeftSite() = 0;

protected:
    ~BrowserGuard() = default;
};

// A listener for the web browser control's events (DWebBrowserEvents2) that
// keeps the control on `home`'s site: navigations elsewhere, new windows,
// downloads and the page closing its own window are cancelled, and a plain
// http(s) link the user asked for goes to `guard`. `browser` is the control,
// only compared with the frames the events name, to tell its own page from
// frames in it. With `guard` null, every navigation is cancelled.
// Returns the listener with one reference for the caller.
IDispatch* CreateBrowserEventSink(IUnknown* browser, const WebAddress& home, BrowserGuard* guard);

class BrowserEventSink;

// The listener connected to a control for as long as this lives.
class BrowserEventConnection {
public:
    BrowserEventConnection() = default;
    ~BrowserEventConnection() { Disconnect(); }
    BrowserEventConnection(const BrowserEventConnection&) = delete;
    BrowserEventConnection& operator=(const BrowserEventConnection&) = delete;

    // False, with nothing connected, when the control offers no event
    // connection: a control that cannot be watched must not be shown.
    bool Connect(IUnknown* browser, const WebAddress& home, BrowserGuard& guard);
    // From now on nothing reaches the guard, and the control lets go of the
    // listener.
    void Disconnect();
    bool Connected() const { return m_point != nullptr; }

private:
    IConnectionPoint* m_point = nullptr;
    BrowserEventSink* m_sink = nullptr;
    DWORD m_cookie = 0;
};

}  // namespace tarvix
