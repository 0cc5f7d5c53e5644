// Every dialog of the program at 100 %, 150 % and 200 % (LogPixels 96, 144,
// 192): no label, button, radio button or group box text is cut, measured in
// the control's own font against its own rectangle.
//
// The system DPI is read when a process starts, so the program sets
// LogPixels and runs itself once per scale; the child, started with
// --measure=DPI, runs the measuring cases.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "resource.h"
#include "wine_support.h"

namespace {

// The scale this process measures at; 0 in the parent.
UINT g_measureDpi = 0;

using tarvix::wine_test::Utf8;

INT_PTR CALLBACK Quiet(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

enum class Kind { None, Push, Check, Group, Label };

Kind KindOf(HWND control) {
    wchar_t name[32] = {};
    ::GetClassNameW(control, name, 32);
    const LONG style = ::GetWindowLongW(control, GWL_STYLE);
    if (::lstrcmpiW(name, L"Button") == 0) {
        switch (style & BS_TYPEMASK) {
            case BS_PUSHBUTTON:
            case BS_DEFPUSHBUTTON: return Kind::Push;
            case BS_CHECKBOX:
            case BS_AUTOCHECKBOX:
            case BS_RADIOBUTTON:
            case BS_AUTORADIOBUTTON: return Kind::Check;
            case BS_GROUPBOX: return Kind::Group;
            default: return Kind::None;
        }
    }
    if (::lstrcmpiW(name, L"Static") == 0) {
        const LONG type = style & SS_TYPEMASK;
        if (type == SS_LEFT || type == SS_CENTER || type == SS_RIGHT || type == SS_SIMPLE ||
            type == SS_LEFTNOWORDWRAP)
            return Kind::Label;
    }
    return Kind::None;
}

// The room the control leaves its text: the push button's frame, the check
// box or radio circle before the text, the group box's frame line.
int TextRoom(Kind kind, int width, UINT dpi) {
    const int frame = ::MulDiv(4, static_cast<int>(dpi), 96);
    switch (kind) {
        case Kind::Push: return width - frame;
        case Kind::Check: return width - ::MulDiv(13 + 4, static_cast<int>(dpi), 96);
        case Kind::Group: return width - 2 * frame;
        default: return width;
    }
}

void CheckControl(HWND control, const std::string& where, UINT dpi) {
    const Kind kind = KindOf(control);
    // The control's own style: a dialog not shown would make every control
    // of it read as hidden, and nothing would be measured.
    if (kind == Kind::None || !(::GetWindowLongW(control, GWL_STYLE) & WS_VISIBLE)) return;
    wchar_t buffer[512] = {};
    ::GetWindowTextW(control, buffer, 512);
    const std::wstring text = buffer;
    if (text.empty()) return;
    RECT client;
    ::GetClientRect(control, &client);
    const HDC dc = ::GetDC(control);
    const HGDIOBJ oldFont = ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0)));
    RECT need = {0, 0, client.right, 0};
    // Labels of several words wrap within their width; everything else is
    // one line. A one-word label is measured unwrapped too: wrapped, a word
    // wider than its label is broken, not reported.
    const LONG type = ::GetWindowLongW(control, GWL_STYLE) & SS_TYPEMASK;
    const bool wraps = kind == Kind::Label && type != SS_LEFTNOWORDWRAP && type != SS_SIMPLE &&
                       text.find_first_of(L" \n") != std::wstring::npos;
    ::DrawTextW(dc, text.c_str(), -1, &need, DT_CALCRECT | (wraps ? DT_WORDBREAK : DT_SINGLELINE));
    ::SelectObject(dc, oldFont);
    ::ReleaseDC(control, dc);
    const int room = TextRoom(kind, client.right, dpi);
    EXPECT_TRUE(need.right <= room && need.bottom <= client.bottom)
        << where << " \"" << Utf8(text) << "\" fits (text " << need.right << " x " << need.bottom << ", room " << room
        << " x " << client.bottom << ")";
}

void CheckDialog(int id, const char* name, UINT dpi) {
    const HWND dialog = ::CreateDialogParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), nullptr, Quiet, 0);
    ASSERT_NE(dialog, nullptr) << name << " is made";
    for (HWND child = ::GetWindow(dialog, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
        CheckControl(child, std::string(name) + " at " + std::to_string(dpi) + " DPI:", dpi);
    ::DestroyWindow(dialog);
}

// Run only in the child, at the scale its parent set.
class DialogFitAtThisScale : public ::testing::TestWithParam<std::pair<int, const char*>> {
protected:
    void SetUp() override {
        INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
        ::InitCommonControlsEx(&controls);
        ASSERT_EQ(::GetDpiForSystem(), g_measureDpi) << "the system DPI is the one set";
    }
};

TEST_P(DialogFitAtThisScale, EveryTextFits) { CheckDialog(GetParam().first, GetParam().second, g_measureDpi); }

INSTANTIATE_TEST_SUITE_P(Dialogs, DialogFitAtThisScale,
                         ::testing::Values(std::make_pair(IDD_MAIN, "main window"),
                                           std::make_pair(IDD_SCRIPT, "script editor"),
                                           std::make_pair(IDD_REPEAT, "repeat dialog"),
                                           std::make_pair(IDD_CAPTURE, "capture dialog"),
                                           std::make_pair(IDD_ABOUTBOX, "about box")));

bool SetLogPixels(DWORD dpi) {
    HKEY key;
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                          nullptr) != ERROR_SUCCESS)
        return false;
    const bool ok = ::RegSetValueExW(key, L"LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi),
                                     sizeof(dpi)) == ERROR_SUCCESS;
    ::RegCloseKey(key);
    return ok;
}

DWORD RunAt(DWORD dpi) {
    wchar_t self[MAX_PATH];
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring command = L"\"" + std::wstring(self) + L"\" --measure=" + std::to_wstring(dpi);
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return 1;
    ::WaitForSingleObject(process.hProcess, 120000);
    DWORD code = 1;
    ::GetExitCodeProcess(process.hProcess, &code);
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    return code;
}

// The parent: one child per scale, each of whose measuring cases must pass.
class DialogFit : public ::testing::TestWithParam<DWORD> {
protected:
    void TearDown() override { SetLogPixels(96); }
};

TEST_P(DialogFit, EveryTextFitsAtThisScale) {
    ASSERT_TRUE(SetLogPixels(GetParam())) << "LogPixels can be set";
    std::fflush(stdout);
    EXPECT_EQ(RunAt(GetParam()), 0u) << "the child's cases above say which text is cut";
}

INSTANTIATE_TEST_SUITE_P(Scales, DialogFit, ::testing::Values(96u, 144u, 192u));

}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    for (int i = 1; i < argc; ++i)
        if (std::strncmp(argv[i], "--measure=", 10) == 0) g_measureDpi = static_cast<UINT>(std::atoi(argv[i] + 10));
    ::testing::GTEST_FLAG(filter) = g_measureDpi ? "Dialogs/DialogFitAtThisScale.*" : "Scales/DialogFit.*";
    return RUN_ALL_TESTS();
}
