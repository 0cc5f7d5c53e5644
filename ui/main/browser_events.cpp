#include "browser_events.h"

#include <exdisp.h>
#include <exdispid.h>
#include <ocidl.h>

namespace tarvix {

namespace {

// Event arguments in the order the event declares them; DISPPARAMS holds
// them last first.
VARIANTARG* Arg(DISPPARAMS* params, UINT index) {
    if (!params || !params->rgvarg || index >= params->cArgs) return nullptr;
    return &params->rgvarg[params->cArgs - 1 - index];
}

const VARIANT* Deref(const VARIANTARG* value) {
    while (value && value->vt == (VT_BYREF | VT_VARIANT)) value = value->pvarVal;
    return value;
}

// An address argument as narrow text. Anything but printable ASCII gives an
// empty text, which no decision accepts: such an address is refused whole,
// never narrowed into something else.
std::string AddressArg(const VARIANTARG* arg) {
    const VARIANT* value = Deref(arg);
    BSTR text = nullptr;
    if (value && value->vt == VT_BSTR) text = value->bstrVal;
    if (value && value->vt == (VT_BYREF | VT_BSTR) && value->pbstrVal) text = *value->pbstrVal;
    if (!text) return {};
    std::string narrow;
    for (const wchar_t* c = text; *c; ++c) {
        if (*c < 0x21 || *c > 0x7E) return {};
        narrow += static_cast<char>(*c);
        if (narrow.size() > kMaxWebAddressLength) return {};
    }
    // A text with a NUL inside ends there for C, not for the control.
    if (narrow.size() != ::SysStringLen(text)) return {};
    return narrow;
}

IDispatch* DispatchArg(const VARIANTARG* arg) {
    const VARIANT* value = Deref(arg);
    if (value && value->vt == VT_DISPATCH) return value->pdispVal;
    if (value && value->vt == (VT_BYREF | VT_DISPATCH) && value->ppdispVal) return *value->ppdispVal;
    return nullptr;
}

bool BoolArg(const VARIANTARG* arg) {
    const VARIANT* value = Deref(arg);
    if (value && value->vt == VT_BOOL) return value->boolVal != VARIANT_FALSE;
    if (value && value->vt == (VT_BYREF | VT_BOOL) && value->pboolVal) return *value->pboolVal != VARIANT_FALSE;
    return false;
}

void Cancel(VARIANTARG* arg) {
    if (arg && arg->vt == (VT_BYREF | VT_BOOL) && arg->pboolVal) *arg->pboolVal = VARIANT_TRUE;
}

// COM identity: the same object whatever interface names it.
IUnknown* Identity(IUnknown* object) {
    if (!object) return nullptr;
    IUnknown* identity = nullptr;
    if (FAILED(object->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identity)))) return nullptr;
    identity->Release();  // only compared, never used
    return identity;
}

}  // namespace

class BrowserEventSink final : public IDispatch {
public:
    BrowserEventSink(IUnknown* browser, const WebAddress& home, BrowserGuard* guard)
        : m_browser(Identity(browser)), m_home(home), m_guard(guard) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (!object) return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == DIID_DWebBrowserEvents2) {
            *object = static_cast<IDispatch*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(::InterlockedIncrement(&m_refs)); }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG refs = ::InterlockedDecrement(&m_refs);
        if (refs == 0) delete this;
        return static_cast<ULONG>(refs);
    }

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (count) *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return DISP_E_UNKNOWNNAME;
    }

    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*,
                                     UINT*) override {
        switch (id) {
        case DISPID_BEFORENAVIGATE2: OnBeforeNavigate(params); break;
        case DISPID_NAVIGATECOMPLETE2: OnNavigateComplete(params); break;
        case DISPID_NEWWINDOW2: Cancel(Arg(params, 1)); break;
        case DISPID_NEWWINDOW3: OnNewWindow(params); break;
        case DISPID_FILEDOWNLOAD: OnFileDownload(params); break;
        // The page may not close the panel's browser.
        case DISPID_WINDOWCLOSING: Cancel(Arg(params, 1)); break;
        default: break;
        }
        return S_OK;
    }

    // Cuts the listener off from its guard before the control lets go of it
    // (which it may do later than asked).
    void Detach() { m_guard = nullptr; }

private:
    ~BrowserEventSink() = default;

    bool IsPage(const VARIANTARG* frame) const {
        IUnknown* identity = Identity(DispatchArg(frame));
        return identity && identity == m_browser;
    }

    // The verdict, with the user's click used up only when it decides.
    NavigationVerdict Decide(const std::string& target, bool topLevel) {
        if (!m_guard) return NavigationVerdict::Refuse;
        const NavigationVerdict verdict = DecideNavigation(m_home, target, topLevel, false);
        if (verdict != NavigationVerdict::Refuse) return verdict;
        if (DecideNavigation(m_home, target, topLevel, true) != NavigationVerdict::OpenOutside) return verdict;
        return m_guard->TakeUserRequest() ? NavigationVerdict::OpenOutside : NavigationVerdict::Refuse;
    }

    void Follow(NavigationVerdict verdict, const std::string& target) {
        if (verdict != NavigationVerdict::OpenOutside || !m_guard) return;
        if (const auto address = ParseWebAddress(target)) m_guard->OpenOutside(address->Text());
    }

    // (pDisp, URL, Flags, TargetFrameName, PostData, Headers, Cancel)
    void OnBeforeNavigate(DISPPARAMS* params) {
        const std::string target = AddressArg(Arg(params, 1));
        const NavigationVerdict verdict = Decide(target, IsPage(Arg(params, 0)));
        if (verdict == NavigationVerdict::Stay) return;
        Cancel(Arg(params, 6));
        Follow(verdict, target);
    }

    // (pDisp, URL): where the page really is, after any server redirect.
    void OnNavigateComplete(DISPPARAMS* params) {
        if (!m_guard || !IsPage(Arg(params, 0))) return;
        if (DecideNavigation(m_home, AddressArg(Arg(params, 1)), true, false) != NavigationVerdict::Stay)
            m_guard->OnLeftSite();
    }

    // (ppDisp, Cancel, dwFlags, bstrUrlContext, bstrUrl)
    void OnNewWindow(DISPPARAMS* params) {
        Cancel(Arg(params, 1));
        const std::string target = AddressArg(Arg(params, 4));
        if (!m_guard || DecideNewWindow(target, true) != NavigationVerdict::OpenOutside) return;
        if (m_guard->TakeUserRequest()) Follow(NavigationVerdict::OpenOutside, target);
    }

    // (ActiveDocument, Cancel); older controls send the Cancel alone. A
    // document the control shows itself is the page; anything else would
    // be a file saved or run.
    void OnFileDownload(DISPPARAMS* params) {
        if (params && params->cArgs == 1) {
            Cancel(Arg(params, 0));
            return;
        }
        if (!BoolArg(Arg(params, 0))) Cancel(Arg(params, 1));
    }

    LONG m_refs = 1;
    IUnknown* const m_browser;
    const WebAddress m_home;
    BrowserGuard* m_guard;
};

IDispatch* CreateBrowserEventSink(IUnknown* browser, const WebAddress& home, BrowserGuard* guard) {
    return new BrowserEventSink(browser, home, guard);
}

bool BrowserEventConnection::Connect(IUnknown* browser, const WebAddress& home, BrowserGuard& guard) {
    Disconnect();
    if (!browser) return false;
    IConnectionPointContainer* container = nullptr;
    if (FAILED(browser->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&container))))
        return false;
    IConnectionPoint* point = nullptr;
    const HRESULT found = container->FindConnectionPoint(DIID_DWebBrowserEvents2, &point);
    container->Release();
    if (FAILED(found) || !point) return false;
    auto* sink = new BrowserEventSink(browser, home, &guard);
    DWORD cookie = 0;
    if (FAILED(point->Advise(sink, &cookie))) {
        sink->Release();
        point->Release();
        return false;
    }
    m_point = point;
    m_sink = sink;
    m_cookie = cookie;
    return true;
}

void BrowserEventConnection::Disconnect() {
    if (!m_point) return;
    m_sink->Detach();
    m_point->Unadvise(m_cookie);
    m_point->Release();
    m_sink->Release();
    m_point = nullptr;
    m_sink = nullptr;
    m_cookie = 0;
}

}  // namespace tarvix
