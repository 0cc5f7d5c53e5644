// The advertisement panel's browser guard on the Windows side: the feature
// lockdown as the process sees it, the event listener's handling of the
// events as the control sends them (arguments by reference, frames, cancel
// flags), and the listener connected to a real web browser control, which
// cancels a navigation off its site that the control offers it.
#include <windows.h>

#include <gtest/gtest.h>

#include <exdisp.h>
#include <exdispid.h>
#include <urlmon.h>

#include <cstdio>
#include <string>
#include <vector>

#include "browser_events.h"
#include "browser_lockdown.h"
#include "web_browser.h"

namespace {

using tarvix::BrowserGuard;
using tarvix::WebAddress;

const WebAddress kHome = *tarvix::ParseWebAddress("https://www.tarvix.org/cn/ad/ad_tarvix.htm");

class RecordingGuard final : public BrowserGuard {
public:
    int clicks = 0;  // user requests still to be taken
    int taken = 0;
    int leftSite = 0;
    std::vector<std::string> opened;

    bool TakeUserRequest() override {
        if (clicks == 0) return false;
        --clicks;
        ++taken;
        return true;
    }
    void OpenOutside(const std::string& address) override { opened.push_back(address); }
    void OnLeftSite() override { ++leftSite; }
};

std::string Printable(const wchar_t* text) {
    std::string out;
    for (; *text; ++text) out += *text < 0x80 ? static_cast<char>(*text) : '?';
    return out;
}

// A stand-in for a frame object the events name.
class Frame final : public IDispatch {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (iid == IID_IUnknown || iid == IID_IDispatch) {
            *object = this;
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
        return E_NOTIMPL;
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

    void Text(size_t index, const std::wstring& text) {
        m_values[index].vt = VT_BSTR;
        m_values[index].bstrVal = ::SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
        ByRef(index);
    }
    void Dispatch(size_t index, IDispatch* object) {
        m_values[index].vt = VT_DISPATCH;
        m_values[index].pdispVal = object;
        object->AddRef();
        ByRef(index);
    }
    void Bool(size_t index, bool value) {
        Slot(index).vt = VT_BOOL;
        Slot(index).boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
    }
    void CancelFlag(size_t index) {
        Slot(index).vt = VT_BYREF | VT_BOOL;
        Slot(index).pboolVal = &m_cancel;
    }
    bool Cancelled() const { return m_cancel != VARIANT_FALSE; }

    void Send(IDispatch* sink, DISPID id) {
        DISPPARAMS params{m_args.data(), nullptr, static_cast<UINT>(m_args.size()), 0};
        sink->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr);
    }

private:
    VARIANT& Slot(size_t index) { return m_args[m_args.size() - 1 - index]; }
    void ByRef(size_t index) {
        Slot(index).vt = VT_BYREF | VT_VARIANT;
        Slot(index).pvarVal = &m_values[index];
    }

    std::vector<VARIANT> m_values;
    std::vector<VARIANT> m_args;
    VARIANT_BOOL m_cancel = VARIANT_FALSE;
};

// BeforeNavigate2(pDisp, URL, Flags, TargetFrameName, PostData, Headers, Cancel):
// true when the listener cancelled it.
bool BeforeNavigate(IDispatch* sink, IDispatch* frame, const std::wstring& url) {
    EventArgs args(7);
    args.Dispatch(0, frame);
    args.Text(1, url);
    args.CancelFlag(6);
    args.Send(sink, DISPID_BEFORENAVIGATE2);
    return args.Cancelled();
}

TEST(BrowserGuard, NavigationsStayOnTheSite) {
    Frame page;
    Frame otherFrame;
    RecordingGuard guard;
    IDispatch* sink = tarvix::CreateBrowserEventSink(&page, kHome, &guard);

    EXPECT_TRUE(!BeforeNavigate(sink, &page, L"https://www.tarvix.org/cn/ad/next.htm")) << "its own site: goes on";
    EXPECT_TRUE(!BeforeNavigate(sink, &otherFrame, L"HTTPS://WWW.TARVIX.ORG/frame.htm")) << "a frame of its own site: goes on";
    EXPECT_TRUE(BeforeNavigate(sink, &page, L"https://shop.example/item") && guard.opened.empty()) << "another site the page asked for by itself: cancelled, nothing opened";

    guard.clicks = 1;
    EXPECT_TRUE(BeforeNavigate(sink, &page, L"https://Shop.Example:443/item?id=1")) << "a link the user clicked: cancelled";
    EXPECT_TRUE(guard.opened == std::vector<std::string>{"https://shop.example/item?id=1"}) << "and opened outside, in its plain form";

    guard.clicks = 1;
    guard.opened.clear();
    for (const wchar_t* url : {L"javascript:location='https://shop.example/'", L"file:///C:/Windows/win.ini",
                               L"res://ieframe.dll/navcancl.htm", L"mk:@MSITStore:C:/x.chm::/a.htm",
                               L"https://www.tarvix.org@evil.example/", L"https://xn--tarvx-4ib.org/",
                               L"https://www.t\x0430rvix.org/", L"about:blank"})
        EXPECT_TRUE(BeforeNavigate(sink, &page, url)) << "refused even after a click: " + Printable(url);
    EXPECT_TRUE(guard.opened.empty() && guard.clicks == 1) << "nothing opened, and the click not used up by them";

    // A NUL inside the text would cut it to the home site for C.
    EXPECT_TRUE(BeforeNavigate(sink, &page, std::wstring(L"https://www.tarvix.org\0.evil.example/", 37))) << "an address with a NUL inside: cancelled";
    EXPECT_TRUE(BeforeNavigate(sink, &otherFrame, L"https://shop.example/") && guard.opened.empty()) << "a frame going elsewhere, even after a click: cancelled, nothing opened";
    EXPECT_TRUE(BeforeNavigate(sink, &page, L"")) << "an empty address: cancelled";
    sink->Release();
}

TEST(BrowserGuard, WindowsDownloadsAndClosing) {
    Frame page;
    RecordingGuard guard;
    IDispatch* sink = tarvix::CreateBrowserEventSink(&page, kHome, &guard);

    EventArgs newWindow2(2);
    newWindow2.CancelFlag(1);
    newWindow2.Send(sink, DISPID_NEWWINDOW2);
    EXPECT_TRUE(newWindow2.Cancelled()) << "NewWindow2: cancelled";

    auto newWindow3 = [&](const std::wstring& url) {
        EventArgs args(5);
        args.CancelFlag(1);
        args.Text(3, L"https://www.tarvix.org/cn/ad/ad_tarvix.htm");
        args.Text(4, url);
        args.Send(sink, DISPID_NEWWINDOW3);
        return args.Cancelled();
    };
    EXPECT_TRUE(newWindow3(L"https://www.tarvix.org/more.htm") && guard.opened.empty()) << "NewWindow3 by the page: cancelled, nothing opened";
    guard.clicks = 1;
    EXPECT_TRUE(newWindow3(L"https://www.tarvix.org/more.htm")) << "NewWindow3 the user clicked: cancelled";
    EXPECT_TRUE(guard.opened == std::vector<std::string>{"https://www.tarvix.org/more.htm"}) << "and opened outside";
    guard.clicks = 1;
    EXPECT_TRUE(newWindow3(L"file:///C:/") && guard.opened.size() == 1) << "NewWindow3 of a file: cancelled, not opened";

    auto download = [&](bool activeDocument) {
        EventArgs args(2);
        args.Bool(0, activeDocument);
        args.CancelFlag(1);
        args.Send(sink, DISPID_FILEDOWNLOAD);
        return args.Cancelled();
    };
    EXPECT_TRUE(download(false)) << "a file download: cancelled";
    EXPECT_TRUE(!download(true)) << "the page's own document: goes on";

    EventArgs closing(2);
    closing.Bool(0, false);
    closing.CancelFlag(1);
    closing.Send(sink, DISPID_WINDOWCLOSING);
    EXPECT_TRUE(closing.Cancelled()) << "the page closing the browser: cancelled";

    auto complete = [&](IDispatch* frame, const std::wstring& url) {
        EventArgs args(2);
        args.Dispatch(0, frame);
        args.Text(1, url);
        args.Send(sink, DISPID_NAVIGATECOMPLETE2);
    };
    complete(&page, L"https://www.tarvix.org/cn/ad/ad_tarvix.htm");
    EXPECT_TRUE(guard.leftSite == 0) << "arrived on its own site: nothing to do";
    Frame otherFrame;
    complete(&otherFrame, L"https://elsewhere.example/");
    EXPECT_TRUE(guard.leftSite == 0) << "a frame elsewhere: not the page";
    complete(&page, L"http://www.tarvix.org/cn/ad/ad_tarvix.htm");
    EXPECT_TRUE(guard.leftSite == 1) << "the page redirected to plain http: told";
    sink->Release();

    IDispatch* detached = tarvix::CreateBrowserEventSink(&page, kHome, nullptr);
    EXPECT_TRUE(BeforeNavigate(detached, &page, L"https://www.tarvix.org/cn/ad/ad_tarvix.htm")) << "without a guard even its own site is cancelled";
    detached->Release();
}

TEST(BrowserGuard, FeaturesAreLockedDown) {
    EXPECT_TRUE(tarvix::LockDownBrowserFeatures()) << "every feature switched on";
    int on = 0;
    for (size_t i = 0; i < tarvix::kBrowserLockdownFeatureCount; ++i)
        if (::CoInternetIsFeatureEnabled(tarvix::kBrowserLockdownFeatures[i], GET_FEATURE_FROM_PROCESS) == S_OK) ++on;
    EXPECT_TRUE(on == static_cast<int>(tarvix::kBrowserLockdownFeatureCount)) << "the process reports " + std::to_string(on) + " of " +
               std::to_string(tarvix::kBrowserLockdownFeatureCount) + " on";
}

// Records what the control reports about navigations, beside the guard.
class Recorder final : public IDispatch {
public:
    int offered = 0;
    int finished = 0;  // completed or failed: the control went through with it

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == DIID_DWebBrowserEvents2) {
            *object = this;
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
        if (id == DISPID_BEFORENAVIGATE2) ++offered;
        if (id == DISPID_NAVIGATECOMPLETE2 || id == DISPID_NAVIGATEERROR || id == DISPID_DOCUMENTCOMPLETE) ++finished;
        return S_OK;
    }
};

void Pump(DWORD ms) {
    const DWORD begin = ::GetTickCount();
    while (::GetTickCount() - begin < ms) {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        ::Sleep(10);
    }
}

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

    // A second listener sees what the control offers and whether it went on.
    IUnknown* control = nullptr;
    IConnectionPoint* point = nullptr;
    DWORD cookie = 0;
    Recorder recorder;
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
    EXPECT_TRUE(cookie != 0) << "a second listener connects beside it";

    browser.Navigate(L"https://127.0.0.1:9/cn/ad/ad_tarvix.htm");
    Pump(1500);
    EXPECT_TRUE(recorder.offered == 1 && recorder.finished == 0) << "a navigation off the site is offered and cancelled";

    recorder.offered = recorder.finished = 0;
    browser.Navigate(L"https://localhost:9/cn/ad/ad_tarvix.htm");
    Pump(1500);
    EXPECT_TRUE(recorder.offered == 1 && recorder.finished >= 1) << "a navigation on the site goes on (and fails: nothing listens there)";

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
