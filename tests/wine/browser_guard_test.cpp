// The advertisement panel's browser guard on the Windows side: the feature
// lockdown as the process sees it, the listener's handling of the events as
// the control sends them (arguments by reference, frames, cancel flags), and
// the listener on a real web browser control.
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

using tarvix::WebAddress;

const wchar_t kHomeText[] = L"https://www.tarvix.org/cn/ad/ad_tarvix.htm";
const WebAddress kHome = *tarvix::ParseWebAddress("https://www.tarvix.org/cn/ad/ad_tarvix.htm");

class RecordingGuard final : public tarvix::BrowserGuard {
public:
    int clicks = 0;  // user requests still to be taken
    int leftSite = 0;
    std::string opened;

    bool TakeUserRequest() override { return clicks > 0 && clicks--; }
    void OpenOutside(const std::string& address) override { opened += address; }
    void OnLeftSite() override { ++leftSite; }
};

// A frame object the events name, or a second listener on the control: it
// lives on the stack, so its reference count is no concern.
class StubDispatch final : public IDispatch {
public:
    std::function<void(DISPID, const DISPPARAMS&)> onInvoke;

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
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*,
                                     UINT*) override {
        if (onInvoke) onInvoke(id, *params);
        return S_OK;
    }
};

// One event sent as the control sends it: arguments in declared order, last
// first in DISPPARAMS; texts and frames by reference to a variant, the cancel
// flag by reference. `args` holds the declared arguments: a VT_BSTR or
// VT_DISPATCH value goes by reference, VT_EMPTY is the cancel flag, the rest
// as they are. True when the listener cancelled.
bool Send(IDispatch* sink, DISPID id, std::vector<VARIANT> args) {
    std::vector<VARIANT> slots(args.size());
    VARIANT_BOOL cancel = VARIANT_FALSE;
    for (size_t i = 0; i < args.size(); ++i) {
        VARIANT& slot = slots[args.size() - 1 - i];
        slot = args[i];
        if (args[i].vt == VT_BSTR || args[i].vt == VT_DISPATCH) {
            slot.vt = VT_BYREF | VT_VARIANT;
            slot.pvarVal = &args[i];
        } else if (args[i].vt == VT_EMPTY) {
            slot.vt = VT_BYREF | VT_BOOL;
            slot.pboolVal = &cancel;
        }
    }
    DISPPARAMS params{slots.data(), nullptr, static_cast<UINT>(slots.size()), 0};
    sink->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr);
    for (VARIANT& v : args)
        if (v.vt == VT_BSTR) ::SysFreeString(v.bstrVal);
    return cancel != VARIANT_FALSE;
}

VARIANT Text(const std::wstring& text) {
    VARIANT v{};
    v.vt = VT_BSTR;
    v.bstrVal = ::SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    return v;
}
VARIANT Frame(IDispatch* frame) {
    VARIANT v{};
    v.vt = VT_DISPATCH;
    v.pdispVal = frame;
    return v;
}
VARIANT Bool(bool value) {
    VARIANT v{};
    v.vt = VT_BOOL;
    v.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
    return v;
}
const VARIANT kCancel{};
const VARIANT kNone = Bool(false);

struct BrowserGuardTest : ::testing::Test {
    StubDispatch page, otherFrame;
    RecordingGuard guard;
    IDispatch* sink = tarvix::CreateBrowserEventSink(&page, kHome, &guard);
    ~BrowserGuardTest() override { sink->Release(); }

    // BeforeNavigate2(pDisp, URL, Flags, TargetFrameName, PostData, Headers, Cancel)
    bool BeforeNavigate(IDispatch* frame, const std::wstring& url) {
        return Send(sink, DISPID_BEFORENAVIGATE2, {Frame(frame), Text(url), kNone, kNone, kNone, kNone, kCancel});
    }
    // NewWindow3(ppDisp, Cancel, dwFlags, bstrUrlContext, bstrUrl)
    bool NewWindow3(const std::wstring& url) {
        return Send(sink, DISPID_NEWWINDOW3, {kNone, kCancel, kNone, Text(kHomeText), Text(url)});
    }
};

// Which addresses are refused is decided, and tested, in the portable code;
// here each event's arguments as the control passes them, and what only the
// Windows side sees: a NUL inside the text, which would cut it to the home
// site for C, is refused even after a click.
TEST_F(BrowserGuardTest, EventsAreReadAsTheControlSendsThem) {
    guard.clicks = 1;
    EXPECT_TRUE(BeforeNavigate(&page, std::wstring(L"https://www.tarvix.org\0.evil.example/", 37)) && guard.opened.empty());
    EXPECT_FALSE(BeforeNavigate(&otherFrame, L"HTTPS://WWW.TARVIX.ORG/frame.htm")) << "a frame on the site";
    EXPECT_TRUE(BeforeNavigate(&page, L"https://Shop.Example:443/item?id=1"));
    EXPECT_EQ(guard.opened, "https://shop.example/item?id=1") << "clicked, another site opens outside";
    guard.opened.clear();
    EXPECT_TRUE(Send(sink, DISPID_NEWWINDOW2, {kNone, kCancel})) << "NewWindow2";
    EXPECT_TRUE(NewWindow3(L"https://www.tarvix.org/more.htm") && guard.opened.empty()) << "by the page";
    guard.clicks = 1;
    EXPECT_TRUE(NewWindow3(L"https://www.tarvix.org/more.htm"));
    EXPECT_EQ(guard.opened, "https://www.tarvix.org/more.htm") << "the one the user clicked opens outside";

    EXPECT_TRUE(Send(sink, DISPID_FILEDOWNLOAD, {Bool(false), kCancel})) << "a download";
    EXPECT_FALSE(Send(sink, DISPID_FILEDOWNLOAD, {Bool(true), kCancel})) << "its own document";
    EXPECT_TRUE(Send(sink, DISPID_WINDOWCLOSING, {Bool(false), kCancel})) << "closing";

    Send(sink, DISPID_NAVIGATECOMPLETE2, {Frame(&page), Text(kHomeText)});
    Send(sink, DISPID_NAVIGATECOMPLETE2, {Frame(&otherFrame), Text(L"https://elsewhere.example/")});
    EXPECT_EQ(guard.leftSite, 0) << "on its own site, and a frame elsewhere is not the page";
    Send(sink, DISPID_NAVIGATECOMPLETE2, {Frame(&page), Text(L"http://www.tarvix.org/cn/ad/ad_tarvix.htm")});
    EXPECT_EQ(guard.leftSite, 1) << "redirected to plain http: told";

    IDispatch* detached = tarvix::CreateBrowserEventSink(&page, kHome, nullptr);
    EXPECT_TRUE(Send(detached, DISPID_BEFORENAVIGATE2,
                     {Frame(&page), Text(kHomeText), kNone, kNone, kNone, kNone, kCancel}))
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

// A real control, its listener connected, cancels a navigation off its site
// that the control offers it, and lets one on its site go on.
TEST(BrowserGuard, ARealControlIsWatched) {
    const HWND parent = ::CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPEDWINDOW, 0, 0, 400, 200, nullptr, nullptr,
                                          ::GetModuleHandleW(nullptr), nullptr);
    RecordingGuard guard;
    tarvix::CWebBrowser2 browser;
    RECT rect{0, 0, 300, 100};
    // Addresses on this machine only: nothing leaves it.
    ASSERT_TRUE(browser.Create(0, rect, parent, 1061, *tarvix::ParseWebAddress("https://localhost:9/ad.htm"), guard));

    // A second listener sees what the control offers and which addresses it
    // went through with, whether they completed or failed.
    int offered = 0;
    std::wstring finished;
    StubDispatch recorder;
    recorder.onInvoke = [&](DISPID id, const DISPPARAMS& params) {
        offered += id == DISPID_BEFORENAVIGATE2;
        if (id != DISPID_NAVIGATECOMPLETE2 && id != DISPID_NAVIGATEERROR) return;
        for (UINT i = 0; i < params.cArgs; ++i)
            if (params.rgvarg[i].vt == (VT_BYREF | VT_VARIANT) && params.rgvarg[i].pvarVal->vt == VT_BSTR &&
                params.rgvarg[i].pvarVal->bstrVal)
                finished += std::wstring(params.rgvarg[i].pvarVal->bstrVal) + L" ";
    };
    IUnknown* control = nullptr;
    IConnectionPointContainer* container = nullptr;
    IConnectionPoint* point = nullptr;
    DWORD cookie = 0;
    using GetControlFn = HRESULT(WINAPI*)(HWND, IUnknown**);
    const auto getControl = reinterpret_cast<GetControlFn>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"atl.dll"), "AtlAxGetControl")));
    ASSERT_TRUE(getControl && SUCCEEDED(getControl(browser.GetSafeHwnd(), &control)) &&
                SUCCEEDED(control->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&container))) &&
                SUCCEEDED(container->FindConnectionPoint(DIID_DWebBrowserEvents2, &point)) &&
                SUCCEEDED(point->Advise(&recorder, &cookie)));

    browser.Navigate(L"https://127.0.0.1:9/ad.htm");
    ASSERT_TRUE(tarvix::wine_test::WaitFor([&] { return offered == 1; })) << "the control offers it";
    // Nothing listens on the port: the navigation on the site fails, and
    // the one off it, had it gone on, would have failed before it.
    browser.Navigate(L"https://localhost:9/ad.htm");
    EXPECT_TRUE(tarvix::wine_test::WaitFor([&] { return finished.find(L"localhost") != std::wstring::npos; }, 15000))
        << "the one on the site goes on";
    EXPECT_EQ(offered, 2);
    EXPECT_EQ(finished.find(L"127.0.0.1"), std::wstring::npos) << "the one off the site was cancelled";

    point->Unadvise(cookie);
    point->Release();
    container->Release();
    control->Release();
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
