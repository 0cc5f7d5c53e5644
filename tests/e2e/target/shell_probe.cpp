// Asks what the end-to-end tests cannot see from the X side, or does what
// they cannot do with keys and clicks:
//   shell_probe.exe RESULT has-icon TITLE       0 when the window titled TITLE
//                                               has notification icon 1, 1 when not
//   shell_probe.exe RESULT delete-icon TITLE    removes that icon, as a shell
//                                               that restarts loses it
//   shell_probe.exe RESULT taskbar-created      tells every window the taskbar
//                                               was made again
//   shell_probe.exe RESULT syscommand TITLE ID  posts WM_SYSCOMMAND ID (decimal
//                                               or 0x hex) to the window
//   shell_probe.exe RESULT close TITLE          posts WM_CLOSE to the window
//   shell_probe.exe RESULT state TITLE          the window's state as bits:
//                                               1 visible, 2 minimised,
//                                               4 the foreground window
//   shell_probe.exe RESULT origin TITLE         the screen point of the window's
//                                               client area's top-left corner
//                                               as 10000 * x + y
// -1: no such window; 2: bad arguments. The answer goes to the file RESULT as
// well as into the exit code: run inside Wine's desktop (where the window and
// its notification area are) the program's exit code does not come back.
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <cwchar>
#include <string_view>

namespace {

NOTIFYICONDATAW IconOf(HWND window) {
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof(data);
    data.hWnd = window;
    data.uID = 1;
    return data;
}

constexpr int kNoWindow = -1;

int Run(int argc, wchar_t** argv) {
    if (argc < 2) return 2;
    const std::wstring_view command = argv[1];
    if (command == L"taskbar-created") {
        const UINT message = ::RegisterWindowMessageW(L"TaskbarCreated");
        DWORD_PTR result = 0;
        ::SendMessageTimeoutW(HWND_BROADCAST, message, 0, 0, SMTO_ABORTIFHUNG, 5000, &result);
        return 0;
    }
    if (argc < 3) return 2;
    const HWND window = ::FindWindowW(nullptr, argv[2]);
    if (!window) return kNoWindow;
    if (command == L"has-icon") {
        // Changing nothing of an icon succeeds only when the shell has it.
        NOTIFYICONDATAW data = IconOf(window);
        return ::Shell_NotifyIconW(NIM_MODIFY, &data) ? 0 : 1;
    }
    if (command == L"delete-icon") {
        NOTIFYICONDATAW data = IconOf(window);
        return ::Shell_NotifyIconW(NIM_DELETE, &data) ? 0 : 1;
    }
    if (command == L"close") return ::PostMessageW(window, WM_CLOSE, 0, 0) ? 0 : 1;
    if (command == L"state") {
        return (::IsWindowVisible(window) ? 1 : 0) | (::IsIconic(window) ? 2 : 0) |
               (::GetForegroundWindow() == window ? 4 : 0);
    }
    if (command == L"origin") {
        POINT at{0, 0};
        ::ClientToScreen(window, &at);
        return at.x >= 0 && at.y >= 0 ? static_cast<int>(at.x * 10000 + at.y) : 2;
    }
    if (command == L"syscommand" && argc >= 4) {
        const unsigned long id = std::wcstoul(argv[3], nullptr, 0);
        return ::PostMessageW(window, WM_SYSCOMMAND, id, 0) ? 0 : 1;
    }
    return 2;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) return 2;
    const int result = Run(argc - 1, argv + 1);
    if (FILE* out = _wfopen(argv[1], L"wb")) {
        std::fprintf(out, "%d\n", result);
        std::fclose(out);
    }
    return result < 0 ? 2 : result;
}
