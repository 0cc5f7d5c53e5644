// The real main window, made on a thread of its own as the program makes
// it, and asked from outside as another window would: which windows its
// target list offers, and what a change of DPI does to it.
//
// The program folder is the current folder (the application object is not
// started), a fresh temporary one, so the settings the window writes when
// it closes go nowhere that matters.
#include <windows.h>
#include <commctrl.h>
#include <ole2.h>

#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "dpi_scale.h"
#include "edition.h"
#include "edition_config.h"
#include "macro_dlg.h"
#include "resource.h"
#include "wine_support.h"

// hook.dll asks the program which digits capture points.
extern "C" __declspec(dllexport) const int tarvix_capture_on_keypad = kProgramTraits.capturesOnKeypad ? 1 : 0;

namespace {

#ifndef WM_DPICHANGED
constexpr UINT WM_DPICHANGED = 0x02E0;
#endif

using tarvix::wine_test::ComboItems;
using tarvix::wine_test::WaitFor;

// The main window, running its own message loop on a thread of its own for
// the life of this object.
class RunningMainWindow {
public:
    RunningMainWindow() {
        m_thread = std::thread([this] {
            m_threadId = ::GetCurrentThreadId();
            const HRESULT ole = ::OleInitialize(nullptr);
            {
                tarvix::CMacroDlg dialog;
                dialog.DoModal();
            }
            if (SUCCEEDED(ole)) ::OleUninitialize();
        });
        WaitFor([this] { return (m_window = FindDialog()) != nullptr; });
    }
    ~RunningMainWindow() {
        if (m_window) ::SendMessageW(m_window, WM_COMMAND, IDCANCEL, 0);
        m_thread.join();
    }
    RunningMainWindow(const RunningMainWindow&) = delete;
    RunningMainWindow& operator=(const RunningMainWindow&) = delete;

    HWND window() const { return m_window; }
    HWND item(int id) const { return ::GetDlgItem(m_window, id); }

    void Click(int id) const {
        ::SendMessageW(m_window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(item(id)));
    }

private:
    HWND FindDialog() const {
        if (m_threadId == 0) return nullptr;
        HWND found = nullptr;
        ::EnumThreadWindows(
            m_threadId,
            [](HWND window, LPARAM param) -> BOOL {
                wchar_t name[16] = {};
                ::GetClassNameW(window, name, 16);
                if (::lstrcmpW(name, L"#32770") != 0 || !::IsWindowVisible(window)) return TRUE;
                *reinterpret_cast<HWND*>(param) = window;
                return FALSE;
            },
            reinterpret_cast<LPARAM>(&found));
        return found;
    }

    std::thread m_thread;
    std::atomic<DWORD> m_threadId{0};
    HWND m_window = nullptr;
};

// A top-level window of this thread with a title, shown or not.
class TitledWindow {
public:
    TitledWindow(const wchar_t* title, bool visible) {
        m_window = ::CreateWindowExW(0, L"Static", title, WS_OVERLAPPEDWINDOW | (visible ? WS_VISIBLE : 0), 50, 50,
                                     200, 100, nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    }
    ~TitledWindow() {
        if (m_window) ::DestroyWindow(m_window);
    }
    TitledWindow(const TitledWindow&) = delete;
    TitledWindow& operator=(const TitledWindow&) = delete;
    HWND get() const { return m_window; }

private:
    HWND m_window;
};

bool Lists(const std::vector<std::wstring>& items, const wchar_t* title) {
    for (const std::wstring& item : items)
        if (item == title) return true;
    return false;
}

TEST(WindowList, OffersVisibleWindowsOnly) {
    const wchar_t kShown[] = L"看得見的視窗";
    const wchar_t kHidden[] = L"看不見的視窗";
    // Made after the shown one, so above it: listed, it would keep the
    // shown title out, as its own title begins with it.
    const wchar_t kHiddenLonger[] = L"看得見的視窗 之二";
    TitledWindow shown(kShown, true), hidden(kHidden, false), hiddenLonger(kHiddenLonger, false);
    TitledWindow untitled(L"", true);
    ASSERT_TRUE(shown.get() && hidden.get() && hiddenLonger.get() && untitled.get());

    RunningMainWindow main;
    ASSERT_NE(main.window(), nullptr);
    const HWND combo = main.item(IDC_WINDOW_COMBO);
    std::vector<std::wstring> items = ComboItems(combo);
    EXPECT_TRUE(Lists(items, kShown));
    EXPECT_FALSE(Lists(items, kHidden));
    EXPECT_FALSE(Lists(items, kHiddenLonger));
    EXPECT_FALSE(Lists(items, L""));
    EXPECT_EQ(::SendMessageW(combo, CB_GETCURSEL, 0, 0), 0);

    // Refresh follows what is shown now.
    ::ShowWindow(shown.get(), SW_HIDE);
    ::ShowWindow(hidden.get(), SW_SHOWNOACTIVATE);
    main.Click(IDC_REFRESH);
    items = ComboItems(combo);
    EXPECT_FALSE(Lists(items, kShown));
    EXPECT_TRUE(Lists(items, kHidden));
    EXPECT_FALSE(Lists(items, kHiddenLonger));
    EXPECT_EQ(::SendMessageW(combo, CB_GETCURSEL, 0, 0), 0);
}

// The script folder the window reads: "script\" in the current folder, as
// no application object names a program folder.
void WriteScript(const std::string& name, int hotkey) {
    ::CreateDirectoryW(L"script", nullptr);
    std::ofstream("script\\" + name, std::ios::binary)
        << "[General]\r\nDescription=d\r\nBeginHotkey=" << hotkey
        << "\r\nBeginHotkeyMod=0\r\nEnable=1\r\n[Repeat]\r\nType=0\r\nNumber=1\r\n\r\n[Script]\r\nKeyPress 65 1\r\n";
}

std::string ScriptFile(const std::string& name) {
    std::ifstream in("script\\" + name, std::ios::binary);
    return in ? std::string(std::istreambuf_iterator<char>(in), {}) : "(none)";
}

// One column of every row, as the list shows it.
std::vector<std::wstring> Column(HWND list, int column) {
    std::vector<std::wstring> texts;
    const auto count = ::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0);
    for (LRESULT row = 0; row < count; ++row) {
        wchar_t text[64] = {};
        LVITEMW item = {};
        item.iSubItem = column;
        item.pszText = text;
        item.cchTextMax = 64;
        ::SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
        texts.push_back(text);
    }
    return texts;
}

void Select(HWND list, std::initializer_list<int> rows) {
    LVITEMW item = {};
    item.stateMask = LVIS_SELECTED;
    ::SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&item));
    item.state = LVIS_SELECTED;
    for (int row : rows) ::SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

class ScriptRows : public ::testing::Test {
protected:
    void SetUp() override {
        WriteScript("f2.txt", 0x71);
        WriteScript("f10.txt", 0x79);
        WriteScript("f1.txt", 0x70);
    }
    void TearDown() override {
        for (const wchar_t* name : {L"script\\f1.txt", L"script\\f2.txt", L"script\\f10.txt"}) ::DeleteFileW(name);
        ::RemoveDirectoryW(L"script");
    }
};

// The rows stand in the order the user's locale gives the hotkey texts, as
// the sorted list control had them: "<F1>" before "<F10>", where the texts'
// bytes would put "<F10>" first.
TEST_F(ScriptRows, StandInTheLocalesOrder) {
    RunningMainWindow main;
    ASSERT_NE(main.window(), nullptr);
    EXPECT_EQ(Column(main.item(IDC_SCRIPT_LIST), 0), (std::vector<std::wstring>{L"<F1>", L"<F10>", L"<F2>"}));
}

// Several rows at once: 有效/無效 turns each selected row over, in the list
// and in its file; 刪除 asks once, then deletes each selected file and row.
TEST_F(ScriptRows, ToggleAndDeleteTakeEverySelectedRow) {
    RunningMainWindow main;
    ASSERT_NE(main.window(), nullptr);
    const HWND list = main.item(IDC_SCRIPT_LIST);
    Select(list, {0, 2});
    main.Click(IDC_TOGGLE_VALID);
    EXPECT_EQ(Column(list, 1), (std::vector<std::wstring>{L"", L"\u221A", L""}));
    EXPECT_NE(ScriptFile("f1.txt").find("Enable=0\r\n"), std::string::npos);
    EXPECT_NE(ScriptFile("f10.txt").find("Enable=1\r\n"), std::string::npos);
    EXPECT_NE(ScriptFile("f2.txt").find("Enable=0\r\n"), std::string::npos);

    // Posted: the question box is modal on the window's thread.
    ::PostMessageW(main.window(), WM_COMMAND, MAKEWPARAM(IDC_DELETE, BN_CLICKED),
                   reinterpret_cast<LPARAM>(main.item(IDC_DELETE)));
    struct Search {
        HWND main, found;
    } search = {main.window(), nullptr};
    ASSERT_TRUE(WaitFor([&] {
        ::EnumWindows(
            [](HWND window, LPARAM param) -> BOOL {
                auto& s = *reinterpret_cast<Search*>(param);
                wchar_t name[16] = {};
                ::GetClassNameW(window, name, 16);
                if (window == s.main || ::lstrcmpW(name, L"#32770") != 0 || !::IsWindowVisible(window)) return TRUE;
                s.found = window;
                return FALSE;
            },
            reinterpret_cast<LPARAM>(&search));
        return search.found != nullptr;
    })) << "no question before deleting";
    const HWND question = search.found;
    ::PostMessageW(question, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(WaitFor([&] { return ::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0) == 1; }));
    EXPECT_EQ(Column(list, 0), std::vector<std::wstring>{L"<F10>"});
    EXPECT_EQ(ScriptFile("f1.txt"), "(none)");
    EXPECT_EQ(ScriptFile("f2.txt"), "(none)");
    EXPECT_NE(ScriptFile("f10.txt"), "(none)");
}

// What the main window draws in pixels of its own, read from its controls.
struct DrawnSizes {
    std::array<int, 4> columns{};
    int listFontHeight = 0;
    std::vector<SIZE> pictures;  // each bitmap static's picture, in child order
};

DrawnSizes Measure(HWND dialog) {
    DrawnSizes sizes;
    const HWND list = ::GetDlgItem(dialog, IDC_SCRIPT_LIST);
    for (int column = 0; column < 4; ++column)
        sizes.columns[static_cast<size_t>(column)] =
            static_cast<int>(::SendMessageW(list, LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(column), 0));
    LOGFONTW font = {};
    if (const auto handle = reinterpret_cast<HFONT>(::SendMessageW(list, WM_GETFONT, 0, 0)))
        ::GetObjectW(handle, sizeof(font), &font);
    sizes.listFontHeight = font.lfHeight;
    for (HWND child = ::GetWindow(dialog, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        if ((::GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) != SS_BITMAP) continue;
        wchar_t name[16] = {};
        ::GetClassNameW(child, name, 16);
        if (::lstrcmpiW(name, L"Static") != 0) continue;
        BITMAP picture = {};
        if (const auto bitmap = reinterpret_cast<HBITMAP>(::SendMessageW(child, STM_GETIMAGE, IMAGE_BITMAP, 0)))
            ::GetObjectW(bitmap, sizeof(picture), &picture);
        sizes.pictures.push_back(SIZE{picture.bmWidth, picture.bmHeight});
    }
    return sizes;
}

// Sends the message the system sends when the window has moved to a monitor
// of another scale, and waits until the window has redrawn at it.
void ChangeDpi(HWND dialog, UINT dpi, const RECT& suggested) {
    ::SendMessageW(dialog, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
    const int fontHeight = tarvix::ui::FontHeightForDpi(130, dpi);
    ASSERT_TRUE(WaitFor([&] { return Measure(dialog).listFontHeight == fontHeight; }))
        << "the list font did not follow to " << dpi << " DPI";
}

TEST(MainWindowDpi, FollowsAMoveToAMonitorOfAnotherScale) {
    RunningMainWindow main;
    ASSERT_NE(main.window(), nullptr);
    const HWND dialog = main.window();

    // This prefix's screen is at 96 DPI: the design's own sizes.
    const DrawnSizes designed = Measure(dialog);
    // The columns' widths as designed, written out: the program's own
    // constant would follow a fault in it.
    const std::array<int, 4> designedColumns = {140, 60, 280, 110};
    EXPECT_EQ(designed.columns, designedColumns);
    EXPECT_EQ(designed.listFontHeight, tarvix::ui::FontHeightForDpi(130, 96));
    ASSERT_FALSE(designed.pictures.empty());

    RECT before;
    ::GetWindowRect(dialog, &before);
    const RECT at150 = {before.left + 40, before.top + 30, before.left + 40 + (before.right - before.left) * 3 / 2,
                        before.top + 30 + (before.bottom - before.top) * 3 / 2};
    ChangeDpi(dialog, 144, at150);
    RECT now;
    ::GetWindowRect(dialog, &now);
    EXPECT_EQ(now.left, at150.left);
    EXPECT_EQ(now.top, at150.top);
    EXPECT_EQ(now.right, at150.right);
    EXPECT_EQ(now.bottom, at150.bottom);
    DrawnSizes sizes = Measure(dialog);
    EXPECT_EQ(sizes.columns, (std::array<int, 4>{210, 90, 420, 165}));
    ASSERT_EQ(sizes.pictures.size(), designed.pictures.size());
    for (size_t i = 0; i < sizes.pictures.size(); ++i) {
        EXPECT_EQ(sizes.pictures[i].cx, ::MulDiv(designed.pictures[i].cx, 144, 96)) << i;
        EXPECT_EQ(sizes.pictures[i].cy, ::MulDiv(designed.pictures[i].cy, 144, 96)) << i;
    }

    // A column the user has widened keeps its width in proportion.
    const HWND list = main.item(IDC_SCRIPT_LIST);
    ::SendMessageW(list, LVM_SETCOLUMNWIDTH, 2, 300);
    const RECT at200 = {-1500, 20, -1500 + (before.right - before.left) * 2, 20 + (before.bottom - before.top) * 2};
    ChangeDpi(dialog, 192, at200);
    ::GetWindowRect(dialog, &now);
    EXPECT_EQ(now.left, at200.left);
    EXPECT_EQ(now.right, at200.right);
    sizes = Measure(dialog);
    EXPECT_EQ(sizes.columns[2], 400);
    EXPECT_EQ(sizes.columns[0], 280);
    for (size_t i = 0; i < sizes.pictures.size(); ++i)
        EXPECT_EQ(sizes.pictures[i].cx, designed.pictures[i].cx * 2) << i;

    // Back at 100 % every picture is its original again, not a copy of a copy.
    ChangeDpi(dialog, 96, before);
    sizes = Measure(dialog);
    EXPECT_EQ(sizes.columns[2], 200);
    for (size_t i = 0; i < sizes.pictures.size(); ++i) {
        EXPECT_EQ(sizes.pictures[i].cx, designed.pictures[i].cx) << i;
        EXPECT_EQ(sizes.pictures[i].cy, designed.pictures[i].cy) << i;
    }
}

}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);
    // The settings the window writes when it closes go nowhere that matters.
    const tarvix::wine_test::TempFolder folder(L"tarvix-main-window");
    wchar_t previous[MAX_PATH] = {};
    ::GetCurrentDirectoryW(MAX_PATH, previous);
    ::SetCurrentDirectoryW(folder.path().c_str());
    const int result = RUN_ALL_TESTS();
    ::SetCurrentDirectoryW(previous);
    return result;
}
