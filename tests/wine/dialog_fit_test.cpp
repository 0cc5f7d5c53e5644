// Every dialog of the program at 100 %, 150 % and 200 % (LogPixels 96, 144,
// 192): no label, button, radio button or group box text is cut, measured in
// the control's own font against its own rectangle.
//
// The system DPI is read when a process starts, so the program sets
// LogPixels and runs itself once per scale; the child measures.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "resource.h"

namespace {

int g_failures = 0;

void Expect(bool ok, const std::string& what) {
    std::printf("%s - %s\n", ok ? "ok" : "FAIL", what.c_str());
    if (!ok) ++g_failures;
}

std::string Utf8(const std::wstring& text) {
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string out(size > 0 ? static_cast<size_t>(size) - 1 : 0, '\0');
    if (size > 1) ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, out.data(), size, nullptr, nullptr);
    return out;
}

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
    if (kind == Kind::None || !::IsWindowVisible(control)) return;
    wchar_t buffer[512] = {};
    ::GetWindowTextW(control, buffer, 512);
    const std::wstring text = buffer;
    if (text.empty()) return;
    RECT client;
    ::GetClientRect(control, &client);
    const HDC dc = ::GetDC(control);
    const HGDIOBJ oldFont = ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0)));
    RECT need = {0, 0, client.right, 0};
    UINT format = DT_CALCRECT;
    // Labels wrap within their width; everything else is one line.
    format |= kind == Kind::Label && (::GetWindowLongW(control, GWL_STYLE) & SS_TYPEMASK) != SS_LEFTNOWORDWRAP &&
                      (::GetWindowLongW(control, GWL_STYLE) & SS_TYPEMASK) != SS_SIMPLE
                  ? DT_WORDBREAK
                  : DT_SINGLELINE;
    ::DrawTextW(dc, text.c_str(), -1, &need, format);
    ::SelectObject(dc, oldFont);
    ::ReleaseDC(control, dc);
    const int room = TextRoom(kind, client.right, dpi);
    const int height = client.bottom;
    const bool fits = need.right <= room && need.bottom <= height;
    char detail[160];
    std::snprintf(detail, sizeof(detail), " (text %ld x %ld, room %d x %d)", need.right, need.bottom, room, height);
    if (!fits) Expect(false, where + " \"" + Utf8(text) + "\" fits" + detail);
}

void CheckDialog(int id, const char* name, UINT dpi) {
    const HWND dialog = ::CreateDialogParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), nullptr, Quiet, 0);
    Expect(dialog != nullptr, std::string(name) + " is made");
    if (!dialog) return;
    const int before = g_failures;
    for (HWND child = ::GetWindow(dialog, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
        CheckControl(child, std::string(name) + " at " + std::to_string(dpi) + " DPI:", dpi);
    if (g_failures == before) Expect(true, std::string(name) + ": every text fits at " + std::to_string(dpi) + " DPI");
    ::DestroyWindow(dialog);
}

int Measure(UINT dpi) {
    INITCOMMONCONTROLSEX controls = {};
    controls.dwSize = sizeof(controls);
    controls.dwICC = ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES;
    ::InitCommonControlsEx(&controls);
    Expect(::GetDpiForSystem() == dpi, "the system DPI is " + std::to_string(dpi));
    CheckDialog(IDD_MAIN, "main window", dpi);
    CheckDialog(IDD_SCRIPT, "script editor", dpi);
    CheckDialog(IDD_REPEAT, "repeat dialog", dpi);
    CheckDialog(IDD_CAPTURE, "capture dialog", dpi);
    CheckDialog(IDD_ABOUTBOX, "about box", dpi);
    return g_failures ? 1 : 0;
}

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
    std::wstring command = L"\"" + std::wstring(self) + L"\" " + std::to_wstring(dpi);
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

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1) return Measure(static_cast<UINT>(std::atoi(argv[1])));
    std::printf("Dialogs at three scales: every text fits its control\n");
    std::fflush(stdout);
    int failed = 0;
    for (DWORD dpi : {96u, 144u, 192u}) {
        if (!SetLogPixels(dpi)) {
            Expect(false, "LogPixels can be set");
            return 1;
        }
        failed += RunAt(dpi) != 0 ? 1 : 0;
    }
    SetLogPixels(96);
    std::printf("%d scale(s) with failures\n", failed);
    return failed ? 1 : 0;
}
