#pragma once

#include <windows.h>

#include <string>

namespace tarvix::ui {

// A window the program does not own: a control of a dialog, bound by data
// exchange. It only names the handle; the dialog destroys its controls.
class Window {
public:
    Window() = default;
    explicit Window(HWND hwnd) : m_hWnd(hwnd) {}

    HWND GetSafeHwnd() const { return m_hWnd; }
    void Attach(HWND hwnd) { m_hWnd = hwnd; }
    explicit operator bool() const { return m_hWnd != nullptr; }

    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return ::SendMessageW(m_hWnd, message, wParam, lParam);
    }
    void Enable(bool enable) const { ::EnableWindow(m_hWnd, enable ? TRUE : FALSE); }
    bool IsEnabled() const { return ::IsWindowEnabled(m_hWnd) != FALSE; }
    std::wstring GetText() const;
    void SetText(const std::wstring& text) const { ::SetWindowTextW(m_hWnd, text.c_str()); }

protected:
    HWND m_hWnd = nullptr;
};

}  // namespace tarvix::ui
