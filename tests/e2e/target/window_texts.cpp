// Tells the end-to-end tests what a window says, which the X side cannot read
// (a message box's question, its buttons):
//   window_texts.exe TITLE
// prints, in UTF-8, one line per child control of the window titled TITLE:
// its control id in decimal, a tab, its text with line ends shown as "\n".
// Exit 2: no such window or bad arguments.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

// Another process's control answers WM_GETTEXT with its current text;
// GetWindowText would give only the text it was made with.
std::wstring TextOf(HWND control) {
    const LRESULT length = ::SendMessageW(control, WM_GETTEXTLENGTH, 0, 0);
    std::wstring text(static_cast<size_t>(length > 0 ? length : 0) + 1, L'\0');
    const LRESULT got = ::SendMessageW(control, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(got > 0 ? got : 0));
    return text;
}

std::string Utf8(const std::wstring& text) {
    std::wstring shown;
    for (wchar_t c : text) {
        if (c == L'\r') continue;
        if (c == L'\n') shown += L"\\n";
        else shown += c;
    }
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, shown.c_str(), static_cast<int>(shown.size()), nullptr, 0,
                                           nullptr, nullptr);
    std::string out(static_cast<size_t>(size > 0 ? size : 0), '\0');
    if (size > 0)
        ::WideCharToMultiByte(CP_UTF8, 0, shown.c_str(), static_cast<int>(shown.size()), out.data(), size, nullptr,
                              nullptr);
    return out;
}

BOOL CALLBACK PrintChild(HWND child, LPARAM) {
    const std::string line = std::to_string(::GetDlgCtrlID(child)) + "\t" + Utf8(TextOf(child)) + "\n";
    std::fwrite(line.data(), 1, line.size(), stdout);
    return TRUE;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) return 2;
    const HWND window = ::FindWindowW(nullptr, argv[1]);
    if (!window) return 2;
    ::EnumChildWindows(window, PrintChild, 0);
    std::fflush(stdout);
    return 0;
}
