// The advertisement panel's browser guard on the Windows side: the feature
// lockdown as the process sees it, and the listener on a real web browser
// control. Which addresses, new windows and downloads are refused is
// decided, and tested, in the portable code.
#include <windows.h>

#include <gtest/gtest.h>

#include <exdisp.h>
#include <exdispid.h>
#include <urlmon.h>

#include <functional>
#include <string>

#include "browser_events.h"
#include "browser_lockdown.h"
#include "web_browser.h"
#include "wine_support.h"

namespace {


class RecordingGuard final : public tarvix::BrowserGuard {
public:
    int clicks = 0;  // user requests still to be taken
    int leftSite = 0;
    std::string opened;

    bool TakeUserRequest() override { return clicks > 0 && clicks--; }
    void OpenOutside(const std::string& address) override { opened += address; }
    void OnLeftSite() override { ++leftSite; }
};

// A second listener on the control: it lives on the stack, so its reference
// count is no concern.
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
