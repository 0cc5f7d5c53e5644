// The advertisement panel's browser guard on the Windows side: the feature
// lockdown as the process sees it, the event listener's handling of the
// events as the control sends them (arguments by reference, frames, cancel
// flags), and the listener connected to a real web browser control, which
// cancels a navigation off its site that the control offers it. Which
// addresses are refused is decided, and tested, in the portable code.
#include <windows.h>

#include <gtest/gtest.h>

#include <exdisp.h>
#include <exdispid.h>
#include <urlmon.h>

#include <functional>
#include <string>
#include <vector>

#include "browser_events.h"
#include "browser_lockdown.h"
#include "web_browser.h"
#include "wine_support.h"

namespace {

using tarvix::BrowserGuard;
using tarvix::WebAddress;

const WebAddress kHome = *tarvix::ParseWebAddress("https://www.tarvix.org/cn/ad/ad_tarvix.htm");

class RecordingGuard final : public BrowserGuard {
public:
    int clicks = 0;  // user requests still to be taken
    int leftSite = 0;
    std::vector<std::string> opened;

    bool TakeUserRequest() override {
        if (clicks == 0) return false;
        --clicks;
        return true;
    }
    void OpenOutside(const std::string& address) override { opened.push_back(address); }
    void OnLeftSite() override { ++leftSite; }
};

// A frame object the events name, or a second listener on the control: it
// lives on the stack, so its reference count is no concern.
class StubDispatch final : public IDispatch {
public:
    std::function<void(DISPID)> onInvoke;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        const bool known = iid == IID_IUnknown || iid == IID_IDispatch || iid == DIID_DWebBrowserEvents2;
        *object = known ? this : nullptr;
        return known ? S_OK : E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
        if (onInvoke) onInvoke(id);
        return S_OK;
    }
};

// One event's arguments built as the control builds them: declared order in,
// last first in DISPPARAMS; strings and frames passed by reference to a
// variant, the cancel flag by reference to a VARIANT_BOOL.
class EventArgs {
public:
    explicit EventArgs(size_t count) : m_values(count), m_args(count) {
        for (VARIANT& v : m_values) ::VariantInit(&v);
        for (VARIANT& v : m_args) ::VariantInit(&v);
    }
    ~EventArgs() {
        for (VARIANT& v : m_values) ::VariantClear(&v);
    }
    EventArgs(const EventArgs&) = delete;
    EventArgs& operator=(const EventArgs&) = delete;

    EventArgs& Text(size_t index, const std::wstring& text) {
        m_values[index].vt = VT_BSTR;
        m_values[index].bstrVal = ::SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
        return ByRef(index);
    }
    EventArgs& Dispatch(size_t index, IDispatch* object) {
        m_values[index].vt = VT_DISPATCH;
        m_values[index].pdispVal = object;
        object->AddRef();
        return ByRef(index);
    }
    EventArgs& Bool(size_t index, bool value) {
        Slot(index).vt = VT_BOOL;
        Slot(index).boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
        return *this;
    }
    EventArgs& CancelFlag(size_t index) {
        Slot(index).vt = VT_BYREF | VT_BOOL;
        Slot(index).pboolVal = &m_cancel;
        return *this;
    }

    // True when the listener cancelled the event.
    bool Send(IDispatch* sink, DISPID id) {
        DISPPARAMS params{m_args.data(), nullptr, static_cast<UINT>(m_args.size()), 0};
        sink->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr);
        return m_cancel != VARIANT_FALSE;
    }

private:
    VARIANT& Slot(size_t index) { return m_args[m_args.size() - 1 - index]; }
    EventArgs& ByRef(size_t index) {
        Slot(index).vt = VT_BYREF | VT_VARIANT;
        Slot(index).pvarVal = &m_values[index];
        return *this;
    }

    std::vector<VARIANT> m_values;
    std::vector<VARIANT> m_args;
    VARIANT_BOOL m_cancel = VARIANT_FALSE;
};

// BeforeNavigate2(pDisp, URL, Flags, TargetFrameName, PostData, Headers, Cancel)
bool BeforeNavigate(IDispatch* sink, IDispatch* frame, const std::wstring& url) {
    return EventArgs(7).Dispatch(0, frame).Text(1, url).CancelFlag(6).Send(sink, DISPID_BEFORENAVIGATE2);
}

// NewWindow3(ppDisp, Cancel, dwFlags, bstrUrlContext, bstrUrl)
bool NewWindow3(IDispatch* sink, const std::wstring& url) {
    return EventArgs(5).CancelFlag(1).Text(3, L"https://www.tarvix.org/cn/ad/ad_tarvix.htm").Text(4, url)
        .Send(sink, DISPID_NEWWINDOW3);
}

struct BrowserGuardTest : ::testing::Test {
    StubDispatch page, otherFrame;
    RecordingGuard guard;
    IDispatch* sink = tarvix::CreateBrowserEventSink(&page, kHome, &guard);
    ~BrowserGuardTest() override { sink->Release(); }
};

TEST_F(BrowserGuardTest, NavigationsStayOnTheSite) {
    EXPECT_FALSE(BeforeNavigate(sink, &page, L"https://www.tarvix.org/cn/ad/next.htm")) << "its own site: goes on";
    EXPECT_FALSE(BeforeNavigate(sink, &otherFrame, L"HTTPS://WWW.TARVIX.ORG/frame.htm")) << "a frame of its own site";
    EXPECT_TRUE(BeforeNavigate(sink, &page, L"https://shop.example/item") && guard.opened.empty())
        << "another site the page asked for by itself: cancelled, nothing opened";

    guard.clicks = 1;
    EXPECT_TRUE(BeforeNavigate(sink, &page, L"https://Shop.Example:443/item?id=1")) << "a link the user clicked";
    EXPECT_EQ(guard.opened, std::vector<std::string>{"https://shop.example/item?id=1"})
        << "cancelled, and opened outside in its plain form";

    guard.clicks = 1;
    guard.opened.clear();
    // What only the Windows side sees: a text that is no ASCII (a Cyrillic
    // "a"), a NUL inside, which would cut it to the home site for C.
    for (const std::wstring& url : {std::wstring(L"javascript:location='https://shop.example/'"),
                                    std::wstring(L"https://www.t\x0430rvix.org/"),
                                    std::wstring(L"https://www.tarvix.org\0.evil.example/", 37), std::wstring()})
        EXPECT_TRUE(BeforeNavigate(sink, &page, url)) << "refused even after a click: " << url.size() << " characters";
    EXPECT_TRUE(guard.opened.empty() && guard.clicks == 1) << "nothing opened, and the click not used up by them";
    EXPECT_TRUE(BeforeNavigate(sink, &otherFrame, L"https://shop.example/") && guard.opened.empty())
        << "a frame going elsewhere, even after a click: cancelled, nothing opened";
}

TEST_F(BrowserGuardTest, WindowsDownloadsAndClosing) {
    EXPECT_TRUE(EventArgs(2).CancelFlag(1).Send(sink, DISPID_NEWWINDOW2)) << "NewWindow2: cancelled";
    EXPECT_TRUE(NewWindow3(sink, L"https://www.tarvix.org/more.htm") && guard.opened.empty())
        << "NewWindow3 by the page: cancelled, nothing opened";
    guard.clicks = 1;
    EXPECT_TRUE(NewWindow3(sink, L"https://www.tarvix.org/more.htm")) << "NewWindow3 the user clicked: cancelled";
    EXPECT_EQ(guard.opened, std::vector<std::string>{"https://www.tarvix.org/more.htm"}) << "and opened outside";
    guard.clicks = 1;
    EXPECT_TRUE(NewWindow3(sink, L"file:///C:/") && guard.opened.size() == 1) << "NewWindow3 of a file: not opened";

    EXPECT_TRUE(EventArgs(2).Bool(0, false).CancelFlag(1).Send(sink, DISPID_FILEDOWNLOAD)) << "a download: cancelled";
    EXPECT_FALSE(EventArgs(2).Bool(0, true).CancelFlag(1).Send(sink, DISPID_FILEDOWNLOAD)) << "its own document";
    EXPECT_TRUE(EventArgs(2).Bool(0, false).CancelFlag(1).Send(sink, DISPID_WINDOWCLOSING)) << "closing: cancelled";

    auto complete = [&](IDispatch* frame, const std::wstring& url) {
        EventArgs(2).Dispatch(0, frame).Text(1, url).Send(sink, DISPID_NAVIGATECOMPLETE2);
        return guard.leftSite;
    };
    EXPECT_EQ(complete(&page, L"https://www.tarvix.org/cn/ad/ad_tarvix.htm"), 0) << "arrived on its own site";
    EXPECT_EQ(complete(&otherFrame, L"https://elsewhere.example/"), 0) << "a frame elsewhere: not the page";
    EXPECT_EQ(complete(&page, L"http://www.tarvix.org/cn/ad/ad_tarvix.htm"), 1) << "redirected to plain http: told";

    IDispatch* detached = tarvix::CreateBrowserEventSink(&page, kHome, nullptr);
    EXPECT_TRUE(BeforeNavigate(detached, &page, L"https://www.tarvix.org/cn/ad/ad_tarvix.htm"))
        << "without a guard even its own site is cancelled";
    detached->Release();
}

TEST(BrowserGuard, FeaturesAreLockedDown) {
    // Written out, not the program's own list: a feature dropped from that
    // list must show here.
    const INTERNETFEATURELIST expected[] = {
        FEATURE_LOCALMACHINE_LOCKDOWN, FEATURE_ZONE_ELEVATION, FEATURE_MIME_SNIFFING, FEATURE_MIME_HANDLING,
        FEATURE_WINDOW_RESTRICTIONS, FEATURE_WEBOC_POPUPMANAGEMENT, FEATURE_RESTRICT_ACTIVEXINSTALL,
        FEATURE_RESTRICT_FILEDOWNLOAD, FEATURE_BEHAVIORS, FEATURE_SAFE_BINDTOOBJECT, FEATURE_ADDON_MANAGEMENT,
        FEATURE_OBJECT_CACHING, FEATURE_DISABLE_MK_PROTOCOL, FEATURE_DISABLE_TELNET_PROTOCOL,
        FEATURE_PROTOCOL_LOCKDOWN, FEATURE_VALIDATE_NAVIGATE_URL, FEATURE_HTTP_USERNAME_PASSWORD_DISABLE,
        FEATURE_UNC_SAVEDFILECHECK, FEATURE_BLOCK_INPUT_PROMPTS, FEATURE_DISABLE_NAVIGATION_SOUNDS};
    EXPECT_TRUE(tarvix::LockDownBrowserFeatures()) << "every feature switched on";
    for (const INTERNETFEATURELIST feature : expected)
        EXPECT_EQ(::CoInternetIsFeatureEnabled(feature, GET_FEATURE_FROM_PROCESS), S_OK) << "feature " << feature;
}

using tarvix::wine_test::Pump;

TEST(BrowserGuard, ARealControlIsWatched) {
    const HWND parent = ::CreateWindowExW(0, L"STATIC", L"browser guard test", WS_OVERLAPPEDWINDOW, 0, 0, 400, 200,
                                          nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    RecordingGuard guard;
    tarvix::CWebBrowser2 browser;
    RECT rect{0, 0, 300, 100};
    // Addresses on this machine only: whatever the control does with them,
    // nothing leaves it.
    const WebAddress home = *tarvix::ParseWebAddress("https://localhost:9/cn/ad/ad_tarvix.htm");
    if (!browser.Create(0, rect, parent, 1061, home, guard)) {
        ADD_FAILURE() << "the control is made and its listener connected";
        ::DestroyWindow(parent);
        return;
    }

    // A second listener sees what the control offers and whether it went
    // on: completed or failed, the control went through with it.
    int offered = 0, finished = 0;
    StubDispatch recorder;
    recorder.onInvoke = [&](DISPID id) {
        offered += id == DISPID_BEFORENAVIGATE2;
        finished += id == DISPID_NAVIGATECOMPLETE2 || id == DISPID_NAVIGATEERROR || id == DISPID_DOCUMENTCOMPLETE;
    };
    IUnknown* control = nullptr;
    IConnectionPoint* point = nullptr;
    DWORD cookie = 0;
    using GetControlFn = HRESULT(WINAPI*)(HWND, IUnknown**);
    const auto getControl = reinterpret_cast<GetControlFn>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"atl.dll"), "AtlAxGetControl")));
    if (getControl && SUCCEEDED(getControl(browser.GetSafeHwnd(), &control)) && control) {
        IConnectionPointContainer* container = nullptr;
        if (SUCCEEDED(control->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&container)))) {
            if (SUCCEEDED(container->FindConnectionPoint(DIID_DWebBrowserEvents2, &point)))
                point->Advise(&recorder, &cookie);
            container->Release();
        }
    }
    EXPECT_NE(cookie, 0u) << "a second listener connects beside it";

    browser.Navigate(L"https://127.0.0.1:9/cn/ad/ad_tarvix.htm");
    Pump(1500);
    EXPECT_TRUE(offered == 1 && finished == 0) << "a navigation off the site is offered and cancelled";
    offered = finished = 0;
    browser.Navigate(L"https://localhost:9/cn/ad/ad_tarvix.htm");
    Pump(1500);
    EXPECT_TRUE(offered == 1 && finished >= 1) << "one on the site goes on (and fails: nothing listens there)";

    if (point) {
        point->Unadvise(cookie);
        point->Release();
    }
    if (control) control->Release();
    browser.Disconnect();
    ::DestroyWindow(parent);
}

}  // namespace

int main(int argc, char** argv) {
    ::OleInitialize(nullptr);
    ::testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    ::OleUninitialize();
    return result;
}
