// Reads and sets what another program's windows hold, for the end-to-end
// tests, which see only pixels from the X side. One program, one question
// per run:
//   window_probe.exe texts TITLE    one line per child control of the window:
//                                   its control id in decimal, a tab, its
//                                   text with line ends shown as "\n" (a
//                                   message box's question, its buttons)
//   window_probe.exe get TITLE ID   "codepage N" (this prefix's ANSI code
//                                   page), then the control's text, or for a
//                                   list view one line per row with its
//                                   columns separated by tabs; for a combo
//                                   box its text, then its items
//   window_probe.exe rows TITLE ID  one line per row of the list view:
//                                   "S F", then its columns, tab-separated;
//                                   S is 1 for a selected row, F 1 for the
//                                   focused one
//   window_probe.exe checked TITLE ID
//                                   1 when the check box or radio button is
//                                   checked, else 0; answered only once the
//                                   window has handled the input before it,
//                                   so a click has taken effect
//   window_probe.exe rect TITLE ID  "X Y W H": the control's rectangle in the
//                                   window's client area
//   window_probe.exe set TITLE ID TEXT
//                                   gives the control that text, as typing
//                                   it would
//   window_probe.exe foreground     the foreground window's title
//   window_probe.exe client TITLE   "X Y W H": the window's client area, its
//                                   corner in screen pixels and its size
//   window_probe.exe move TITLE X Y   puts the window's top-left corner at
//                                   X, Y of the screen and the window on top
//                                   of the others, as the program itself
//                                   would (a move made on the X side need
//                                   not reach Wine)
//   window_probe.exe message CLASS TITLE
//                                   1 when a message-only window of that
//                                   class and text exists, else 0
//   window_probe.exe panel TITLE    the advertisement panel, which the X
//                                   side cannot tell apart: "banner B browser
//                                   W class NAME banner-above A"; B and W 1
//                                   for a shown control, 0 for a hidden one, -
//                                   for none; NAME the browser's window class;
//                                   A 1 when the banner lies above the browser
// TITLE names a top-level window, ID one of its controls. Output is UTF-8.
// Exit 2: no such window or control, or bad arguments; 3: the list could not
// be read.
#include <windows.h>
#include <commctrl.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

// The Wine desktop the tests start every program in.
constexpr wchar_t kTestDesktop[] = L"tarvix";

void Print(const std::wstring& text) {
    const int length = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                             nullptr, nullptr);
    std::string bytes(static_cast<size_t>(length), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(), length, nullptr,
                          nullptr);
    DWORD written = 0;
    ::WriteFile(::GetStdHandle(STD_OUTPUT_HANDLE), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

// Only windows of a thread's own desktop can be found; the probe itself is
// started outside Wine's desktop window, so it moves there.
bool OnTestDesktop() {
    HDESK desktop = ::OpenDesktopW(kTestDesktop, 0, FALSE, GENERIC_ALL);
    return desktop && ::SetThreadDesktop(desktop);
}

HWND FindTopLevel(const wchar_t* title) {
    if (HWND window = ::FindWindowW(nullptr, title)) return window;
    return OnTestDesktop() ? ::FindWindowW(nullptr, title) : nullptr;
}

std::wstring ControlText(HWND control) {
    // WM_GETTEXT is carried across processes; GetWindowText is not.
    const LRESULT length = ::SendMessageW(control, WM_GETTEXTLENGTH, 0, 0);
    std::vector<wchar_t> text(static_cast<size_t>(length) + 1);
    const LRESULT got = ::SendMessageW(control, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    return std::wstring(text.data(), static_cast<size_t>(got));
}

// The list view's messages carry pointers, which must point into the other
// program's memory: the item record and its text buffer are made there.
class RemoteBuffer {
public:
    RemoteBuffer(HWND window, size_t size) {
        DWORD pid = 0;
        ::GetWindowThreadProcessId(window, &pid);
        m_process = ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
        if (m_process) m_memory = ::VirtualAllocEx(m_process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    }
    ~RemoteBuffer() {
        if (m_memory) ::VirtualFreeEx(m_process, m_memory, 0, MEM_RELEASE);
        if (m_process) ::CloseHandle(m_process);
    }
    RemoteBuffer(const RemoteBuffer&) = delete;
    RemoteBuffer& operator=(const RemoteBuffer&) = delete;

    bool ok() const { return m_memory != nullptr; }
    char* at(size_t offset) const { return static_cast<char*>(m_memory) + offset; }
    bool Write(size_t offset, const void* data, size_t size) const {
        return ::WriteProcessMemory(m_process, at(offset), data, size, nullptr) != FALSE;
    }
    bool Read(size_t offset, void* data, size_t size) const {
        return ::ReadProcessMemory(m_process, at(offset), data, size, nullptr) != FALSE;
    }

private:
    HANDLE m_process = nullptr;
    void* m_memory = nullptr;
};

constexpr int kTextChars = 2048;

bool ItemText(HWND list, const RemoteBuffer& remote, int row, int column, std::wstring& text) {
    LVITEMW item = {};
    item.iSubItem = column;
    item.cchTextMax = kTextChars;
    item.pszText = reinterpret_cast<wchar_t*>(remote.at(sizeof(LVITEMW)));
    if (!remote.Write(0, &item, sizeof item)) return false;
    const LRESULT length = ::SendMessageW(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(remote.at(0)));
    text.clear();
    if (length <= 0) return true;
    std::vector<wchar_t> buffer(static_cast<size_t>(length));
    if (!remote.Read(sizeof(LVITEMW), buffer.data(), buffer.size() * sizeof(wchar_t))) return false;
    text.assign(buffer.data(), buffer.size());
    return true;
}

int ColumnCount(HWND list) {
    const HWND header = reinterpret_cast<HWND>(::SendMessageW(list, LVM_GETHEADER, 0, 0));
    return header ? static_cast<int>(::SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)) : 1;
}

std::wstring RowMarks(HWND list, int row) {
    const auto state = static_cast<UINT>(
        ::SendMessageW(list, LVM_GETITEMSTATE, static_cast<WPARAM>(row), LVIS_SELECTED | LVIS_FOCUSED));
    return std::wstring(state & LVIS_SELECTED ? L"1" : L"0") + (state & LVIS_FOCUSED ? L" 1" : L" 0");
}

// One line per row; with marks, the row's selection and focus first.
int PrintList(HWND list, bool marks) {
    const RemoteBuffer remote(list, sizeof(LVITEMW) + kTextChars * sizeof(wchar_t));
    if (!remote.ok()) return 3;
    const int columns = ColumnCount(list);
    const int rows = static_cast<int>(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    for (int row = 0; row < rows; ++row) {
        std::wstring line = marks ? RowMarks(list, row) : std::wstring();
        for (int column = 0; column < columns; ++column) {
            std::wstring text;
            if (!ItemText(list, remote, row, column, text)) return 3;
            if (marks || column) line += L'\t';
            line += text;
        }
        Print(line + L"\n");
    }
    return 0;
}

BOOL CALLBACK PrintChild(HWND child, LPARAM) {
    std::wstring shown;
    for (wchar_t c : ControlText(child)) {
        if (c == L'\r') continue;
        if (c == L'\n') shown += L"\\n";
        else shown += c;
    }
    Print(std::to_wstring(::GetDlgCtrlID(child)) + L"\t" + shown + L"\n");
    return TRUE;
}

bool HasClass(HWND control, const wchar_t* name) {
    wchar_t className[64] = {};
    ::GetClassNameW(control, className, 64);
    return lstrcmpiW(className, name) == 0;
}

void PrintComboItems(HWND combo) {
    const LRESULT count = ::SendMessageW(combo, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        std::vector<wchar_t> item(static_cast<size_t>(::SendMessageW(combo, CB_GETLBTEXTLEN, i, 0)) + 1);
        const LRESULT got = ::SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item.data()));
        Print(std::wstring(item.data(), got > 0 ? static_cast<size_t>(got) : 0) + L"\n");
    }
}

int PrintForeground() {
    OnTestDesktop();
    const HWND window = ::GetForegroundWindow();
    Print((window ? ControlText(window) : std::wstring()) + L"\n");
    return 0;
}

int PrintTexts(const wchar_t* title) {
    const HWND window = FindTopLevel(title);
    if (!window) return 2;
    ::EnumChildWindows(window, PrintChild, 0);
    return 0;
}

int PrintMessageWindow(const wchar_t* windowClass, const wchar_t* title) {
    HWND window = ::FindWindowExW(HWND_MESSAGE, nullptr, windowClass, title);
    if (!window && OnTestDesktop()) window = ::FindWindowExW(HWND_MESSAGE, nullptr, windowClass, title);
    Print(window ? L"1\n" : L"0\n");
    return 0;
}

int PrintClient(const wchar_t* title) {
    const HWND window = FindTopLevel(title);
    RECT client = {};
    POINT corner = {};
    if (!window || !::GetClientRect(window, &client) || !::ClientToScreen(window, &corner)) return 2;
    Print(std::to_wstring(corner.x) + L" " + std::to_wstring(corner.y) + L" " + std::to_wstring(client.right) + L" " +
          std::to_wstring(client.bottom) + L"\n");
    return 0;
}

int MoveWindowTo(const wchar_t* title, const wchar_t* x, const wchar_t* y) {
    const HWND window = FindTopLevel(title);
    if (!window) return 2;
    const int left = static_cast<int>(std::wcstol(x, nullptr, 10));
    const int top = static_cast<int>(std::wcstol(y, nullptr, 10));
    // On top as well, so that what lands at the new place lands on it.
    return ::SetWindowPos(window, HWND_TOP, left, top, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE) ? 0 : 2;
}

int PrintPanel(const wchar_t* title) {
    const HWND window = FindTopLevel(title);
    if (!window) return 2;
    // The banner picture and the browser control of the main window.
    const HWND banner = ::GetDlgItem(window, 1064);
    const HWND browser = ::GetDlgItem(window, 1061);
    const auto shown = [](HWND control) { return control ? (::IsWindowVisible(control) ? L"1" : L"0") : L"-"; };
    wchar_t className[64] = L"-";
    if (browser) ::GetClassNameW(browser, className, 64);
    // Earlier in the z-order is above.
    const wchar_t* above = L"-";
    if (banner && browser) {
        above = L"0";
        for (HWND next = ::GetWindow(banner, GW_HWNDNEXT); next; next = ::GetWindow(next, GW_HWNDNEXT))
            if (next == browser) above = L"1";
    }
    Print(std::wstring(L"banner ") + shown(banner) + L" browser " + shown(browser) + L" class " + className +
          L" banner-above " + above + L"\n");
    return 0;
}

int PrintGet(HWND control) {
    Print(L"codepage " + std::to_wstring(::GetACP()) + L"\n");
    if (HasClass(control, WC_LISTVIEWW)) return PrintList(control, false);
    Print(ControlText(control) + L"\n");
    if (HasClass(control, WC_COMBOBOXW)) PrintComboItems(control);
    return 0;
}

int OnControl(const std::wstring& command, HWND control, int argc, wchar_t** argv) {
    if (command == L"get") return PrintGet(control);
    if (command == L"rows") return HasClass(control, WC_LISTVIEWW) ? PrintList(control, true) : 2;
    if (command == L"checked") {
        Print(::SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED ? L"1\n" : L"0\n");
        return 0;
    }
    if (command == L"rect") {
        // In the top window's client area: where a test clicks, asked of
        // the window rather than written into the test.
        RECT r = {};
        ::GetWindowRect(control, &r);
        ::MapWindowPoints(nullptr, ::GetAncestor(control, GA_ROOT), reinterpret_cast<POINT*>(&r), 2);
        Print(std::to_wstring(r.left) + L" " + std::to_wstring(r.top) + L" " + std::to_wstring(r.right - r.left) + L" " +
              std::to_wstring(r.bottom - r.top) + L"\n");
        return 0;
    }
    if (command == L"set" && argc >= 5) {
        ::SendMessageW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(argv[4]));
        return 0;
    }
    return 2;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) return 2;
    const std::wstring command = argv[1];
    if (command == L"foreground") return PrintForeground();
    if (command == L"texts") return argc >= 3 ? PrintTexts(argv[2]) : 2;
    if (command == L"client") return argc >= 3 ? PrintClient(argv[2]) : 2;
    if (command == L"panel") return argc >= 3 ? PrintPanel(argv[2]) : 2;
    if (command == L"message") return argc >= 4 ? PrintMessageWindow(argv[2], argv[3]) : 2;
    if (command == L"move") return argc >= 5 ? MoveWindowTo(argv[2], argv[3], argv[4]) : 2;
    if (argc < 4) return 2;
    const HWND window = FindTopLevel(argv[2]);
    const HWND control = window ? ::GetDlgItem(window, static_cast<int>(std::wcstol(argv[3], nullptr, 10))) : nullptr;
    if (!control) return 2;
    return OnControl(command, control, argc, argv);
}
