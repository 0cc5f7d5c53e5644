// Asks another program's windows what the end-to-end tests cannot see from
// the X side, or does what they cannot do with keys and clicks. One question
// per run; TITLE names a top-level window, ID one of its controls:
//   get TITLE ID     "codepage N" (this prefix's ANSI code page), then the
//                    control's text, or for a list view one line per row
//                    with its columns separated by tabs; for a combo box its
//                    text, then its items
//   checked TITLE ID 1 when the check box or radio button is checked, else
//                    0; answered only once the window has handled the input
//                    before it, so a click has taken effect
//   rect TITLE ID    "X Y W H SX SY": the control's rectangle in the
//                    window's client area, then its corner on the screen
//   set TITLE ID TEXT  gives the control that text, as typing it would
//   move TITLE X Y   puts the window's corner at X, Y of the screen, on top
//                    (a move made on the X side need not reach Wine); then
//                    "X Y": its client area's corner on the screen
//   state TITLE      the window's state as bits: 1 visible, 2 minimised,
//                    4 the foreground window, 8 its notification icon 1 is
//                    in the notification area
//   close TITLE      posts WM_CLOSE to the window
//   foreground       the foreground window's title
//   message CLASS TITLE  1 when a message-only window of that class and
//                    text exists, else 0
//   panel TITLE      the advertisement panel: "banner B browser W class NAME
//                    banner-above A"; B and W 1 for a shown control, 0 for a
//                    hidden one, - for none; NAME the browser's window class;
//                    A 1 when the banner lies above the browser
// Output is UTF-8. Exit 2: no such window or control, or bad arguments; 3:
// the list could not be read.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

void Print(const std::wstring& text) {
    const int length = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                             nullptr, nullptr);
    std::string bytes(static_cast<size_t>(length), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(), length, nullptr,
                          nullptr);
    DWORD written = 0;
    ::WriteFile(::GetStdHandle(STD_OUTPUT_HANDLE), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

// The list view's messages carry pointers, which must point into the other
// program's memory: the item record and its text buffer are made there.
int PrintList(HWND list) {
    constexpr int kTextChars = 2048;
    DWORD pid = 0;
    ::GetWindowThreadProcessId(list, &pid);
    const HANDLE process = ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    char* remote = process ? static_cast<char*>(::VirtualAllocEx(process, nullptr, sizeof(LVITEMW) + kTextChars * 2,
                                                                 MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE))
                           : nullptr;
    if (!remote) return 3;
    const HWND header = reinterpret_cast<HWND>(::SendMessageW(list, LVM_GETHEADER, 0, 0));
    const int columns = header ? static_cast<int>(::SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)) : 1;
    const auto rows = ::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0);
    for (LRESULT row = 0; row < rows; ++row) {
        std::wstring line;
        for (int column = 0; column < columns; ++column) {
            LVITEMW item = {};
            item.iSubItem = column;
            item.cchTextMax = kTextChars;
            item.pszText = reinterpret_cast<wchar_t*>(remote + sizeof(LVITEMW));
            ::WriteProcessMemory(process, remote, &item, sizeof item, nullptr);
            const auto length = ::SendMessageW(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(remote));
            std::vector<wchar_t> text(static_cast<size_t>(length > 0 ? length : 0) + 1);
            if (length > 0) ::ReadProcessMemory(process, item.pszText, text.data(), length * 2, nullptr);
            line += (column ? L"\t" : L"") + std::wstring(text.data());
        }
        Print(line + L"\n");
    }
    ::VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    ::CloseHandle(process);
    return 0;
}

int PrintGet(HWND control) {
    Print(L"codepage " + std::to_wstring(::GetACP()) + L"\n");
    wchar_t className[64] = {};
    ::GetClassNameW(control, className, 64);
    if (lstrcmpiW(className, WC_LISTVIEWW) == 0) return PrintList(control);
    // WM_GETTEXT is carried across processes; GetWindowText is not.
    std::vector<wchar_t> text(static_cast<size_t>(::SendMessageW(control, WM_GETTEXTLENGTH, 0, 0)) + 1);
    const LRESULT got = ::SendMessageW(control, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    Print(std::wstring(text.data(), static_cast<size_t>(got)) + L"\n");
    if (lstrcmpiW(className, WC_COMBOBOXW) != 0) return 0;
    for (LRESULT i = 0, count = ::SendMessageW(control, CB_GETCOUNT, 0, 0); i < count; ++i) {
        std::vector<wchar_t> item(static_cast<size_t>(::SendMessageW(control, CB_GETLBTEXTLEN, i, 0)) + 1);
        ::SendMessageW(control, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item.data()));
        Print(std::wstring(item.data()) + L"\n");
    }
    return 0;
}

int OnControl(const std::wstring& command, HWND control, int argc, wchar_t** argv) {
    if (command == L"get") return PrintGet(control);
    if (command == L"checked") {
        Print(::SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED ? L"1\n" : L"0\n");
        return 0;
    }
    if (command == L"rect") {
        // Where a test clicks, asked of the window rather than written into the test.
        RECT r = {};
        ::GetWindowRect(control, &r);
        const POINT screen = {r.left, r.top};
        ::MapWindowPoints(nullptr, ::GetAncestor(control, GA_ROOT), reinterpret_cast<POINT*>(&r), 2);
        wchar_t line[96];
        std::swprintf(line, 96, L"%ld %ld %ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top,
                      screen.x, screen.y);
        Print(line);
        return 0;
    }
    if (command == L"set" && argc >= 5) {
        ::SendMessageW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(argv[4]));
        return 0;
    }
    return 2;
}

int PrintPanel(HWND window) {
    // The banner picture and the browser control of the main window.
    const HWND banner = ::GetDlgItem(window, 1064), browser = ::GetDlgItem(window, 1061);
    const auto shown = [](HWND control) { return control ? (::IsWindowVisible(control) ? L"1" : L"0") : L"-"; };
    wchar_t className[64] = L"-";
    if (browser) ::GetClassNameW(browser, className, 64);
    // Earlier in the z-order is above.
    const wchar_t* above = banner && browser ? L"0" : L"-";
    for (HWND next = banner; browser && next; next = ::GetWindow(next, GW_HWNDNEXT))
        if (next == browser) above = L"1";
    Print(std::wstring(L"banner ") + shown(banner) + L" browser " + shown(browser) + L" class " + className +
          L" banner-above " + above + L"\n");
    return 0;
}

int OnWindow(const std::wstring& command, HWND window, int argc, wchar_t** argv) {
    if (command == L"panel") return PrintPanel(window);
    if (command == L"close") return ::PostMessageW(window, WM_CLOSE, 0, 0) ? 0 : 2;
    if (command == L"move" && argc >= 5) {
        const int left = static_cast<int>(std::wcstol(argv[3], nullptr, 10));
        const int top = static_cast<int>(std::wcstol(argv[4], nullptr, 10));
        // On top as well, so that what lands at the new place lands on it.
        POINT corner = {};
        if (!::SetWindowPos(window, HWND_TOP, left, top, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE) ||
            !::ClientToScreen(window, &corner))
            return 2;
        Print(std::to_wstring(corner.x) + L" " + std::to_wstring(corner.y) + L"\n");
        return 0;
    }
    if (command == L"state") {
        // Changing nothing of an icon succeeds only when the shell has it.
        NOTIFYICONDATAW icon{};
        icon.cbSize = sizeof(icon);
        icon.hWnd = window;
        icon.uID = 1;
        Print(std::to_wstring((::IsWindowVisible(window) ? 1 : 0) | (::IsIconic(window) ? 2 : 0) |
                              (::GetForegroundWindow() == window ? 4 : 0) |
                              (::Shell_NotifyIconW(NIM_MODIFY, &icon) ? 8 : 0)) + L"\n");
        return 0;
    }
    if (argc < 4) return 2;
    const HWND control = ::GetDlgItem(window, static_cast<int>(std::wcstol(argv[3], nullptr, 10)));
    return control ? OnControl(command, control, argc, argv) : 2;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) return 2;
    // The probe starts outside Wine's desktop window, where the tests start
    // their programs; only windows of a thread's own desktop can be found,
    // so it moves there (on a bare display there is no such desktop).
    if (HDESK desktop = ::OpenDesktopW(L"tarvix", 0, FALSE, GENERIC_ALL)) ::SetThreadDesktop(desktop);
    const std::wstring command = argv[1];
    if (command == L"foreground") {
        // The title as the system keeps it: no message to a window that may
        // be on its way out.
        wchar_t title[256] = {};
        if (const HWND window = ::GetForegroundWindow()) ::GetWindowTextW(window, title, 256);
        Print(std::wstring(title) + L"\n");
        return 0;
    }
    if (command == L"message" && argc >= 4) {
        Print(::FindWindowExW(HWND_MESSAGE, nullptr, argv[2], argv[3]) ? L"1\n" : L"0\n");
        return 0;
    }
    const HWND window = argc >= 3 ? ::FindWindowW(nullptr, argv[2]) : nullptr;
    return window ? OnWindow(command, window, argc, argv) : 2;
}
