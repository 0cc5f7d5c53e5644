// Tells the end-to-end tests what the advertisement panel of the window
// titled TITLE shows, which the X side cannot tell apart:
//   panel_state.exe TITLE [DESKTOP]
// (DESKTOP: the name of the Wine desktop the window was started in; this
// program looks there, as only windows of its own desktop can be found)
// prints one line
//   banner B browser W class NAME banner-above A
// B and W are 1 for a visible control and 0 for a hidden one (W is - when
// there is no control 1061); NAME is the window class of control 1061 (-
// when none); A is 1 when the banner 1064 lies above control 1061 among the
// window's children (- when either is missing).
// Exit 2: no such window or bad arguments.
#include <windows.h>

#include <cwchar>

namespace {

constexpr int kBrowserId = 1061;
constexpr int kBannerId = 1064;

// Whether `upper` comes before `lower` in the z-order of their parent.
bool Above(HWND upper, HWND lower) {
    for (HWND next = ::GetWindow(upper, GW_HWNDNEXT); next; next = ::GetWindow(next, GW_HWNDNEXT))
        if (next == lower) return true;
    return false;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) return 2;
    if (argc >= 3) {
        const HDESK desktop = ::OpenDesktopW(argv[2], 0, FALSE, GENERIC_ALL);
        if (!desktop || !::SetThreadDesktop(desktop)) return 2;
    }
    const HWND window = ::FindWindowW(nullptr, argv[1]);
    if (!window) return 2;
    const HWND banner = ::GetDlgItem(window, kBannerId);
    const HWND browser = ::GetDlgItem(window, kBrowserId);
    wchar_t className[256] = L"-";
    if (browser) ::GetClassNameW(browser, className, 256);
    std::wprintf(L"banner %ls browser %ls class %ls banner-above %ls\n",
                 banner ? (::IsWindowVisible(banner) ? L"1" : L"0") : L"-",
                 browser ? (::IsWindowVisible(browser) ? L"1" : L"0") : L"-", className,
                 banner && browser ? (Above(banner, browser) ? L"1" : L"0") : L"-");
    return 0;
}
