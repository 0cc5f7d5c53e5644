// Every dialog of the program at 100 % and 200 % (LogPixels 96 and 192): no
// label, button, radio button or group box text is cut, measured in the
// control's own font against its own rectangle.
//
// The system DPI is read when a process starts: the program measures at the
// prefix's 96 DPI, then sets LogPixels and runs itself with --measure=192,
// where only the measuring case runs. Linked into editor_dialogs_test, whose
// main runs it.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cwchar>
#include <string>

#include "resource.h"
#include "wine_support.h"

namespace {

// The scale this process measures at, from the command line.
const UINT g_dpi = [] {
    const wchar_t* measure = std::wcsstr(::GetCommandLineW(), L"--measure=");
    if (!measure) return 96u;
    ::testing::GTEST_FLAG(filter) = "DialogFit.EveryTextFitsAtThisScale";
    return static_cast<UINT>(std::wcstoul(measure + 10, nullptr, 10));
}();

INT_PTR CALLBACK Quiet(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

// The room the control leaves its text: the push button's frame, the check
// box or radio circle before the text, the group box's frame line; -1 for a
// control without such a text.
int TextRoom(HWND control, int width) {
    const LONG style = ::GetWindowLongW(control, GWL_STYLE);
    const int frame = ::MulDiv(4, static_cast<int>(g_dpi), 96);
    if (tarvix::wine_test::HasClass(control, L"Button")) {
        switch (style & BS_TYPEMASK) {
            case BS_PUSHBUTTON:
            case BS_DEFPUSHBUTTON: return width - frame;
            case BS_CHECKBOX:
            case BS_AUTOCHECKBOX:
            case BS_RADIOBUTTON:
            case BS_AUTORADIOBUTTON: return width - ::MulDiv(13 + 4, static_cast<int>(g_dpi), 96);
            case BS_GROUPBOX: return width - 2 * frame;
        }
    }
    const LONG type = style & SS_TYPEMASK;
    if (tarvix::wine_test::HasClass(control, L"Static") &&
        (type == SS_LEFT || type == SS_CENTER || type == SS_RIGHT || type == SS_SIMPLE || type == SS_LEFTNOWORDWRAP))
        return width;
    return -1;
}

void CheckControl(HWND control, const std::string& where) {
    RECT client;
    ::GetClientRect(control, &client);
    const int room = TextRoom(control, client.right);
    const std::wstring text = tarvix::wine_test::WindowText(control);
    // The control's own style: a dialog not shown reads every control as hidden.
    if (room < 0 || text.empty() || !(::GetWindowLongW(control, GWL_STYLE) & WS_VISIBLE)) return;
    const HDC dc = ::GetDC(control);
    const HGDIOBJ oldFont = ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0)));
    // Labels of several words wrap within their width; everything else is
    // one line. A one-word label is measured unwrapped: wrapped, a word wider
    // than its label is broken, not reported.
    const LONG type = ::GetWindowLongW(control, GWL_STYLE) & SS_TYPEMASK;
    const bool wraps = tarvix::wine_test::HasClass(control, L"Static") && type != SS_LEFTNOWORDWRAP &&
                       type != SS_SIMPLE && text.find_first_of(L" \n") != std::wstring::npos;
    RECT need = {0, 0, client.right, 0};
    ::DrawTextW(dc, text.c_str(), -1, &need, DT_CALCRECT | (wraps ? DT_WORDBREAK : DT_SINGLELINE));
    ::SelectObject(dc, oldFont);
    ::ReleaseDC(control, dc);
    EXPECT_TRUE(need.right <= room && need.bottom <= client.bottom)
        << where << " \"" << tarvix::wine_test::Utf8(text) << "\" fits (text " << need.right << " x " << need.bottom
        << ", room " << room << " x " << client.bottom << ")";
}

TEST(DialogFit, EveryTextFitsAtThisScale) {
    ASSERT_EQ(::GetDpiForSystem(), g_dpi) << "the system DPI is the one set";
    const std::pair<int, const char*> dialogs[] = {
        {IDD_MAIN, "main window"}, {IDD_SCRIPT, "script editor"}, {IDD_REPEAT, "repeat dialog"},
        {IDD_CAPTURE, "capture dialog"}, {IDD_ABOUTBOX, "about box"}};
    for (const auto& [id, name] : dialogs) {
        const HWND dialog = ::CreateDialogParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), nullptr, Quiet, 0);
        ASSERT_NE(dialog, nullptr) << name;
        for (HWND child = ::GetWindow(dialog, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
            CheckControl(child, std::string(name) + " at " + std::to_string(g_dpi) + " DPI:");
        // Left to go with the process: under Wine without a window manager a
        // shown window taken off the screen waits two seconds for the display.
    }
}

bool SetLogPixels(DWORD dpi) {
    return ::RegSetKeyValueW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"LogPixels", REG_DWORD, &dpi,
                             sizeof dpi) == ERROR_SUCCESS;
}

TEST(DialogFit, EveryTextFitsAt192Dpi) {
    ASSERT_TRUE(SetLogPixels(192));
    wchar_t self[MAX_PATH];
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring command = L"\"" + std::wstring(self) + L"\" --measure=192";
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    std::fflush(stdout);
    ASSERT_TRUE(::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                                 &process));
    ::WaitForSingleObject(process.hProcess, 120000);
    DWORD code = 1;
    ::GetExitCodeProcess(process.hProcess, &code);
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    SetLogPixels(96);
    EXPECT_EQ(code, 0u) << "the child's failures above say which text is cut";
}

}  // namespace
