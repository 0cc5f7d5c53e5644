#include "web_browser.h"

#include <exdisp.h>
#include <oleauto.h>

#include "browser_lockdown.h"
#include "system_library.h"
#include "scoped_handles.h"

namespace tarvix {

namespace {

// The control by its class id, as the host reads it from its window text.
constexpr wchar_t kBrowserClassId[] = L"{8856F961-340A-11D0-A96B-00C04FD705A2}";
constexpr wchar_t kHostClass[] = L"AtlAxWin";

using AtlAxWinInitFn = BOOL(WINAPI*)();
using AtlAxGetControlFn = HRESULT(WINAPI*)(HWND, IUnknown**);

// atl.dll from the system folder only. Loaded once and never freed: the host
// windows' procedure lives in it.
struct AtlHost {
    AtlAxGetControlFn getControl = nullptr;
    bool ready = false;

    AtlHost() {
        const HMODULE atl = LoadSystemLibrary(L"atl.dll");
        if (!atl) return;
        const auto init = reinterpret_cast<AtlAxWinInitFn>(
            reinterpret_cast<void*>(::GetProcAddress(atl, "AtlAxWinInit")));
        getControl = reinterpret_cast<AtlAxGetControlFn>(
            reinterpret_cast<void*>(::GetProcAddress(atl, "AtlAxGetControl")));
        ready = init && getControl && init();
    }
};

const AtlHost& Atl() {
    static const AtlHost host;
    return host;
}

// The browser interface of the control in a host window, or none.
win32::ComPtr<IWebBrowser2> BrowserOf(HWND host) {
    if (!host || !Atl().ready) return {};
    win32::ComPtr<IUnknown> control;
    if (FAILED(Atl().getControl(host, control.put()))) return {};
    return control.Query<IWebBrowser2>(IID_IWebBrowser2);
}

// What the control may do on its own, set before anything is loaded.
void Restrain(IWebBrowser2& browser) {
    // No dialog boxes: script errors, certificate warnings and the like
    // fail quietly instead of asking the user about the page.
    browser.put_Silent(VARIANT_TRUE);
    // A link or file dropped on the panel would navigate it.
    browser.put_RegisterAsDropTarget(VARIANT_FALSE);
}

}  // namespace

bool CWebBrowser2::Create(DWORD style, const RECT& rect, HWND parent, UINT id, const WebAddress& home,
                          BrowserGuard& guard) {
    if (!Atl().ready) return false;
    // Before the control exists: some of the restrictions are read when it
    // starts.
    LockDownBrowserFeatures();
    const HWND host = ::CreateWindowExW(0, kHostClass, kBrowserClassId, style | WS_CHILD, rect.left, rect.top,
                                        rect.right - rect.left, rect.bottom - rect.top, parent,
                                        reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)),
                                        ::GetModuleHandleW(nullptr), nullptr);
    if (!host) return false;
    // The host window stays even when the control in it could not be made;
    // an empty host is no browser.
    const win32::ComPtr<IWebBrowser2> browser = BrowserOf(host);
    if (!browser || !m_events.Connect(browser.get(), home, guard)) {
        ::DestroyWindow(host);
        return false;
    }
    Restrain(*browser.get());
    m_hWnd = host;
    return true;
}

bool CWebBrowser2::Navigate(const std::wstring& url) const {
    const win32::ComPtr<IWebBrowser2> browser = BrowserOf(m_hWnd);
    if (!browser) return false;
    BSTR address = ::SysAllocStringLen(url.data(), static_cast<UINT>(url.size()));
    HRESULT result = E_OUTOFMEMORY;
    if (address) {
        // Flags, target frame, post data and headers: none.
        VARIANT none[4];
        for (VARIANT& v : none) ::VariantInit(&v);
        result = browser->Navigate(address, &none[0], &none[1], &none[2], &none[3]);
        ::SysFreeString(address);
    }
    return SUCCEEDED(result);
}

}  // namespace tarvix
