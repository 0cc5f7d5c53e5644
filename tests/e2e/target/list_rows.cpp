// Tells the end-to-end tests what the main window's script list shows, read
// from outside as any other program would read it:
//   list_rows.exe TITLE
// prints one UTF-8 line per row of control 1009 of the window titled TITLE:
//   S F<TAB>hotkey<TAB>valid<TAB>description<TAB>file name
// S is 1 for a selected row, F 1 for the focused one, 0 otherwise.
// Exit 2: no such window or list, or bad arguments; 3: the list could not be read.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <string>

namespace {

constexpr int kScriptListId = 1009;
constexpr int kTextChars = 1024;

// A block of the list's process memory, for messages whose arguments are
// pointers that the list writes through.
class RemoteBlock {
public:
    RemoteBlock(HANDLE process, size_t size)
        : m_process(process),
          m_address(::VirtualAllocEx(process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE)) {}
    ~RemoteBlock() {
        if (m_address) ::VirtualFreeEx(m_process, m_address, 0, MEM_RELEASE);
    }
    RemoteBlock(const RemoteBlock&) = delete;
    RemoteBlock& operator=(const RemoteBlock&) = delete;
    char* get() const { return static_cast<char*>(m_address); }

private:
    HANDLE m_process;
    void* m_address;
};

std::string Utf8(const wchar_t* text) {
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 1) return std::string();
    std::string out(static_cast<size_t>(size - 1), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), size, nullptr, nullptr);
    return out;
}

bool ReadCell(HWND list, HANDLE process, const RemoteBlock& block, int row, int column, std::string& text) {
    LVITEMW item = {};
    item.iSubItem = column;
    item.cchTextMax = kTextChars;
    item.pszText = reinterpret_cast<wchar_t*>(block.get() + sizeof(LVITEMW));
    wchar_t buffer[kTextChars] = {};
    if (!::WriteProcessMemory(process, block.get(), &item, sizeof(item), nullptr)) return false;
    ::SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(block.get()));
    if (!::ReadProcessMemory(process, block.get() + sizeof(LVITEMW), buffer, sizeof(buffer), nullptr)) return false;
    buffer[kTextChars - 1] = L'\0';
    text = Utf8(buffer);
    return true;
}

// The list's process, opened for reading and writing its memory.
class ProcessHandle {
public:
    explicit ProcessHandle(DWORD pid)
        : m_handle(::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid)) {}
    ~ProcessHandle() {
        if (m_handle) ::CloseHandle(m_handle);
    }
    ProcessHandle(const ProcessHandle&) = delete;
    ProcessHandle& operator=(const ProcessHandle&) = delete;
    HANDLE get() const { return m_handle; }

private:
    HANDLE m_handle;
};

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) return 2;
    const HWND window = ::FindWindowW(nullptr, argv[1]);
    const HWND list = window ? ::GetDlgItem(window, kScriptListId) : nullptr;
    if (!list) return 2;
    DWORD pid = 0;
    ::GetWindowThreadProcessId(list, &pid);
    const ProcessHandle process(pid);
    if (!process.get()) return 3;
    const RemoteBlock block(process.get(), sizeof(LVITEMW) + kTextChars * sizeof(wchar_t));
    if (!block.get()) return 3;
    const int rows = static_cast<int>(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    for (int row = 0; row < rows; ++row) {
        const auto state = static_cast<UINT>(
            ::SendMessageW(list, LVM_GETITEMSTATE, static_cast<WPARAM>(row), LVIS_SELECTED | LVIS_FOCUSED));
        std::string line = std::string(state & LVIS_SELECTED ? "1" : "0") + (state & LVIS_FOCUSED ? " 1" : " 0");
        for (int column = 0; column < 4; ++column) {
            std::string text;
            if (!ReadCell(list, process.get(), block, row, column, text)) return 3;
            line += "\t" + text;
        }
        line += "\n";
        std::fwrite(line.data(), 1, line.size(), stdout);
    }
    return 0;
}
