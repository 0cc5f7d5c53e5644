// What the Windows-side test programs share: texts for messages, waiting
// while this thread's windows are served, a combo box's items, a
// message-only window, and a temporary folder.
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
        ::Sleep(5);
    }
}

// Serves this thread's windows for `ms`.
inline void Pump(DWORD ms) {
    WaitFor([] { return false; }, ms);
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

// A message-only window of this thread, for reports posted to it.
class MessageWindow {
public:
    MessageWindow() {
        WNDCLASSW cls{};
        cls.lpfnWndProc = ::DefWindowProcW;
        cls.hInstance = ::GetModuleHandleW(nullptr);
        cls.lpszClassName = L"TarvixTestMessages";
        ::RegisterClassW(&cls);  // fails harmlessly for the second window
        m_hwnd = ::CreateWindowExW(0, cls.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, cls.hInstance,
                                   nullptr);
    }
    ~MessageWindow() { ::DestroyWindow(m_hwnd); }
    MessageWindow(const MessageWindow&) = delete;
    MessageWindow& operator=(const MessageWindow&) = delete;
    HWND hwnd() const { return m_hwnd; }

private:
    HWND m_hwnd;
};

// A fresh folder under the system's temporary one, named from `name` and
// this process; removed, with the files left in it, at the end.
class TempFolder {
public:
    explicit TempFolder(const std::wstring& name) {
        wchar_t base[MAX_PATH];
        const DWORD n = ::GetTempPathW(MAX_PATH, base);
        m_path = std::wstring(base, n) + name + L" " + std::to_wstring(::GetCurrentProcessId()) + L"\\";
        ::CreateDirectoryW(m_path.c_str(), nullptr);
    }
    ~TempFolder() {
        WIN32_FIND_DATAW found;
        const HANDLE search = ::FindFirstFileW((m_path + L"*").c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) ::DeleteFileW((m_path + found.cFileName).c_str());
            } while (::FindNextFileW(search, &found));
            ::FindClose(search);
        }
        ::RemoveDirectoryW(m_path.c_str());
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    // With a backslash at the end.
    const std::wstring& path() const { return m_path; }

private:
    std::wstring m_path;
};

}  // namespace tarvix::wine_test
