// Stands in for a web browser in the end-to-end tests: registered as the
// program that opens .htm files and http addresses, it writes down what the
// shell handed it.
//   shell_recorder.exe LOGFILE [ARGS...]
// Appends one UTF-8 line to LOGFILE: the current folder, then each of ARGS,
// separated by tabs.
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <string>

namespace {

std::string Utf8(const std::wstring& text) {
    if (text.empty()) return std::string();
    const int length = ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()),
                                             nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(length), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), out.data(), length,
                          nullptr, nullptr);
    return out;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    int count = 0;
    wchar_t** args = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (!args || count < 2) return 2;
    wchar_t folder[MAX_PATH * 4] = {};
    ::GetCurrentDirectoryW(static_cast<DWORD>(std::size(folder)), folder);
    std::string line = Utf8(folder);
    for (int i = 2; i < count; ++i) line += "\t" + Utf8(args[i]);
    line += "\n";
    FILE* log = _wfopen(args[1], L"ab");
    if (!log) return 1;
    std::fwrite(line.data(), 1, line.size(), log);
    std::fclose(log);
    ::LocalFree(args);
    return 0;
}
