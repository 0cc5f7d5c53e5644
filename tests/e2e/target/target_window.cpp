// A window that writes down what it receives, for the end-to-end tests:
//   target_window.exe TITLE LOGFILE [X,Y,WIDTH,HEIGHT]
// The window covers the given rectangle of the screen, or else the whole
// virtual desktop, every monitor.
// One line per message, flushed at once, each starting with the time in
// milliseconds since the window started: "12.345 keydown 41 T L", "keyup 41 T L"
// (L the message's lParam in hex: scan code in bits 16-23, extended key bit 24),
// "char 0048" (UTF-16 code unit, hex), "lbuttondown X Y T" (screen position),
// "lbuttonup T", "rbuttondown X Y T", "rbuttonup T", "mbuttondown X Y T",
// "mbuttonup T", "xbuttondown N X Y T", "xbuttonup N T" (N the side button, 1
// or 2), "wheel D T" and "hwheel D T" (D the signed amount), "cursor X Y"
// (each pointer move's screen position), "active" and
// "inactive" (the window became or stopped being the active one), "placed
// LEFT TOP RIGHT BOTTOM" (the window's rectangle on the screen once made).
// T is the message's own time, the system's millisecond count when the input
// was made, which a busy machine does not stretch as it does the handling.
//
// It also stands in for a web browser: registered as the program that opens
// .htm files and http addresses,
//   target_window.exe --opened LOGFILE ARGS...
// appends one UTF-8 line to LOGFILE: the current folder, then each of ARGS,
// separated by tabs.
#include <windows.h>

#include <cstdarg>
#include <cstdio>
#include <cwchar>
#include <string>

namespace {

FILE* g_log = nullptr;
LARGE_INTEGER g_start;
LARGE_INTEGER g_frequency;
POINT g_lastCursor = {-1, -1};

void Log(const char* format, ...) {
    if (!g_log) return;
    LARGE_INTEGER now;
    ::QueryPerformanceCounter(&now);
    std::fprintf(g_log, "%.3f ", static_cast<double>(now.QuadPart - g_start.QuadPart) * 1000.0 /
                                     static_cast<double>(g_frequency.QuadPart));
    va_list args;
    va_start(args, format);
    std::vfprintf(g_log, format, args);
    va_end(args);
    std::fputc('\n', g_log);
    std::fflush(g_log);
}

// The messages WM_LBUTTONDOWN (0x201) to WM_XBUTTONUP (0x20C) by number; the
// double clicks (the class asks for none) and the wheel between them are no
// button here.
constexpr const char* kButtons[] = {"lbuttondown", "lbuttonup", nullptr, "rbuttondown", "rbuttonup", nullptr,
                                    "mbuttondown", "mbuttonup", nullptr, nullptr,       "xbuttondown", "xbuttonup"};

bool LogButton(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message < WM_LBUTTONDOWN || message > WM_XBUTTONUP || !kButtons[message - WM_LBUTTONDOWN]) return false;
    std::string line = kButtons[message - WM_LBUTTONDOWN];
    if (message == WM_XBUTTONDOWN || message == WM_XBUTTONUP) line += " " + std::to_string(GET_XBUTTON_WPARAM(wParam));
    // A press's place in screen coordinates, as scripts store them.
    POINT at = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    ::ClientToScreen(window, &at);
    if (line.find("down") != std::string::npos) line += " " + std::to_string(at.x) + " " + std::to_string(at.y);
    Log("%s %ld", line.c_str(), ::GetMessageTime());
    return true;
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (LogButton(window, message, wParam, lParam)) return message == WM_XBUTTONDOWN || message == WM_XBUTTONUP;
    switch (message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYUP:
        Log("%s %02X %ld %08lX", message == WM_KEYDOWN || message == WM_SYSKEYDOWN ? "keydown" : "keyup",
            static_cast<unsigned>(wParam), ::GetMessageTime(), static_cast<unsigned long>(lParam));
        return 0;
    case WM_CHAR:
        Log("char %04X", static_cast<unsigned>(wParam));
        return 0;
    case WM_MOUSEWHEEL:
    case WM_MOUSEHWHEEL:
        Log(message == WM_MOUSEWHEEL ? "wheel %d %ld" : "hwheel %d %ld", static_cast<int>(GET_WHEEL_DELTA_WPARAM(wParam)),
            ::GetMessageTime());
        return 0;
    case WM_MOUSEMOVE: {
        // The move's own place: the pointer's place when the message is
        // handled may be a later one on a busy machine.
        POINT at = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        ::ClientToScreen(window, &at);
        if (at.x != g_lastCursor.x || at.y != g_lastCursor.y) Log("cursor %ld %ld", at.x, at.y);
        g_lastCursor = at;
        return 0;
    }
    case WM_ACTIVATE:
        Log(LOWORD(wParam) == WA_INACTIVE ? "inactive" : "active");
        break;
    case WM_DESTROY:
        ::PostQuitMessage(0);
        return 0;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

std::string Utf8(const std::wstring& text) {
    const int length = ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(length), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, out.data(), length, nullptr, nullptr);
    return out.c_str();
}

int RecordOpened(int argc, wchar_t** argv) {
    wchar_t folder[MAX_PATH * 4] = {};
    ::GetCurrentDirectoryW(MAX_PATH * 4, folder);
    std::string line = Utf8(folder);
    for (int i = 3; i < argc; ++i) line += "\t" + Utf8(argv[i]);
    FILE* log = _wfopen(argv[2], L"ab");
    if (!log) return 1;
    std::fprintf(log, "%s\n", line.c_str());
    std::fclose(log);
    return 0;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    int argc = 0;
    wchar_t** argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
    if (argc > 2 && std::wcscmp(argv[1], L"--opened") == 0) return RecordOpened(argc, argv);
    const wchar_t* title = argc > 1 ? argv[1] : L"tarvix target";
    ::QueryPerformanceFrequency(&g_frequency);
    ::QueryPerformanceCounter(&g_start);
    if (argc > 2) g_log = _wfopen(argv[2], L"w");
    Log("ready");

    const WNDCLASSW windowClass = {0, WindowProc, 0, 0, instance, nullptr, ::LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)),
                                   reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1), nullptr, L"TarvixTestTarget"};
    ::RegisterClassW(&windowClass);
    // By default the whole virtual desktop, so that pointer moves anywhere
    // land in it.
    long x = ::GetSystemMetrics(SM_XVIRTUALSCREEN), y = ::GetSystemMetrics(SM_YVIRTUALSCREEN);
    long width = ::GetSystemMetrics(SM_CXVIRTUALSCREEN), height = ::GetSystemMetrics(SM_CYVIRTUALSCREEN);
    if (argc > 3 && std::swscanf(argv[3], L"%ld,%ld,%ld,%ld", &x, &y, &width, &height) != 4) return 2;
    const HWND window = ::CreateWindowExW(0, windowClass.lpszClassName, title, WS_POPUP | WS_VISIBLE, x, y, width,
                                          height, nullptr, nullptr, instance, nullptr);
    if (!window) return 1;
    RECT placed;
    ::GetWindowRect(window, &placed);
    Log("placed %ld %ld %ld %ld", placed.left, placed.top, placed.right, placed.bottom);
    ::SetForegroundWindow(window);

    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    return 0;
}
