// What the Windows-side test programs share: texts, waiting while this
// thread's windows are served, window and file contents, a message-only
// window and a temporary folder.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace tarvix::wine_test {

inline std::string Utf8(const std::wstring& text) {
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string out(size > 0 ? static_cast<size_t>(size) - 1 : 0, '\0');
    if (size > 1) ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, out.data(), size, nullptr, nullptr);
    return out;
}

// Waits for a condition another thread or window brings about; false when
// it has not come within `ms`. Messages for this thread's windows are
// served meanwhile: other threads may be waiting on them.
template <typename Condition>
bool WaitFor(Condition condition, DWORD ms = 5000) {
    const DWORD begin = ::GetTickCount();
    for (;;) {
        if (condition()) return true;
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        if (::GetTickCount() - begin > ms) return condition();
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
}

inline std::wstring WindowText(HWND window) {
    std::wstring text(static_cast<size_t>(::GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<size_t>(::GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

inline bool HasClass(HWND window, const wchar_t* name) {
    wchar_t found[64] = {};
    ::GetClassNameW(window, found, 64);
    return ::lstrcmpiW(found, name) == 0;
}

// A shown dialog box of the thread: with `owner`, one it owns, such as a
// message box it raised.
inline HWND ShownDialog(DWORD thread, HWND owner = nullptr) {
    struct Search {
        HWND owner, found;
    } search = {owner, nullptr};
    ::EnumThreadWindows(
        thread,
        [](HWND window, LPARAM param) -> BOOL {
            auto& s = *reinterpret_cast<Search*>(param);
            if (!::IsWindowVisible(window) || !HasClass(window, L"#32770")) return TRUE;
            if (s.owner && ::GetWindow(window, GW_OWNER) != s.owner) return TRUE;
            s.found = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// A combo box's items, in its order.
inline std::vector<std::wstring> ComboItems(HWND combo) {
    std::vector<std::wstring> items;
    const auto count = ::SendMessageW(combo, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        std::wstring text(static_cast<size_t>(::SendMessageW(combo, CB_GETLBTEXTLEN, i, 0)) + 1, L'\0');
        text.resize(static_cast<size_t>(::SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text.data()))));
        items.push_back(text);
    }
    return items;
}

// A file's bytes, or "(none)" when it cannot be opened.
inline std::string FileBytes(const std::wstring& path) {
    const HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return "(none)";
    std::string bytes(::GetFileSize(file, nullptr), '\0');
    DWORD got = 0;
    ::ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr);
    ::CloseHandle(file);
    return bytes.substr(0, got);
}

inline void WriteBytes(const std::wstring& path, const std::string& bytes) {
    const HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    ::CloseHandle(file);
}

// A message-only window of this thread, for reports posted to it.
inline HWND NewMessageWindow() {
    return ::CreateWindowExW(0, L"Static", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
}

// A fresh folder under the system's temporary one, named from `name`, with a
// backslash at the end. Each run has a fresh Wine prefix of its own, which
// goes with everything in it.
inline std::wstring NewTempFolder(const std::wstring& name) {
    wchar_t base[MAX_PATH];
    const std::wstring path = std::wstring(base, ::GetTempPathW(MAX_PATH, base)) + name + L"\\";
    ::CreateDirectoryW(path.c_str(), nullptr);
    return path;
}

}  // namespace tarvix::wine_test
