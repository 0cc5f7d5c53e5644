// The real main window, made once on a thread of its own as the program makes
// it, and asked from outside as another window would: its script rows, and
// what a change of DPI does to it. Which windows its target list offers is
// decided in the portable code and chosen from end to end.
//
// The program folder is the current folder (the application object is not
// started), a fresh temporary one holding three scripts, so what the window
// writes goes nowhere that matters.
#include <windows.h>
#include <commctrl.h>
#include <ole2.h>

#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "edition_config.h"
#include "macro_dlg.h"
#include "resource.h"
#include "wine_support.h"

// hook.dll asks the program which digits capture points.
extern "C" __declspec(dllexport) const int tarvix_capture_on_keypad = kProgramTraits.capturesOnKeypad ? 1 : 0;

namespace {

using tarvix::wine_test::FileBytes;
using tarvix::wine_test::WaitFor;
using Texts = std::vector<std::wstring>;

// The main window, running its own message loop on a thread of its own.
class RunningMainWindow {
public:
    RunningMainWindow() {
        m_thread = std::thread([this] {
            m_threadId = ::GetCurrentThreadId();
            const HRESULT ole = ::OleInitialize(nullptr);
            tarvix::CMacroDlg().DoModal();
            if (SUCCEEDED(ole)) ::OleUninitialize();
        });
        WaitFor([this] { return m_threadId && (m_window = tarvix::wine_test::ShownDialog(m_threadId)); }, 20000);
    }
    ~RunningMainWindow() {
        if (m_window) ::SendMessageW(m_window, WM_COMMAND, IDCANCEL, 0);
        m_thread.join();
    }
    HWND item(int id) const { return ::GetDlgItem(m_window, id); }
    void Click(int id) const {
        ::SendMessageW(m_window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(item(id)));
    }

    std::atomic<DWORD> m_threadId{0};
    HWND m_window = nullptr;

private:
    std::thread m_thread;
};

RunningMainWindow* g_main = nullptr;

// One column of every row, as the list shows it.
Texts Column(int column) {
    Texts texts;
    const HWND list = g_main->item(IDC_SCRIPT_LIST);
    for (LRESULT row = 0, count = ::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0); row < count; ++row) {
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

std::array<int, 4> ColumnWidths() {
    std::array<int, 4> widths{};
    for (int i = 0; i < 4; ++i)
        widths[i] = static_cast<int>(::SendMessageW(g_main->item(IDC_SCRIPT_LIST), LVM_GETCOLUMNWIDTH, i, 0));
    return widths;
}

int ListFontHeight() {
    LOGFONTW font = {};
    ::GetObjectW(reinterpret_cast<HFONT>(::SendMessageW(g_main->item(IDC_SCRIPT_LIST), WM_GETFONT, 0, 0)),
                 sizeof font, &font);
    return font.lfHeight;
}

// Each bitmap static's picture, in child order.
std::vector<SIZE> Pictures() {
    std::vector<SIZE> sizes;
    for (HWND child = ::GetWindow(g_main->m_window, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        if ((::GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) != SS_BITMAP) continue;
        BITMAP picture = {};
        ::GetObjectW(reinterpret_cast<HBITMAP>(::SendMessageW(child, STM_GETIMAGE, IMAGE_BITMAP, 0)), sizeof picture,
                     &picture);
        sizes.push_back(SIZE{picture.bmWidth, picture.bmHeight});
    }
    return sizes;
}

// The system's message for a move to a monitor of another scale, from this
// prefix's 96 DPI (the design's own sizes) to each in turn: the window takes
// the suggested place, and the list font (written out: 13 points), the
// column widths and every picture follow once it is redrawn. A column the
// user has widened keeps its width in proportion; back at 100 % every
// picture is its original again, not a copy of a copy.
TEST(MainWindow, FollowsAMoveToAMonitorOfAnotherScale) {
    EXPECT_EQ(ColumnWidths(), (std::array<int, 4>{140, 60, 280, 110}));
    EXPECT_EQ(ListFontHeight(), -17);
    const std::vector<SIZE> designed = Pictures();
    ASSERT_FALSE(designed.empty());
    RECT before;
    ::GetWindowRect(g_main->m_window, &before);
    const struct {
        int dpi, fontHeight, widen;  // widen: column 2 set to this width before the move
        std::array<int, 4> widths;
    } moves[] = {{144, -26, 0, {210, 90, 420, 165}}, {192, -35, 300, {280, 120, 400, 220}}, {96, -17, 0, {140, 60, 200, 110}}};
    for (const auto& m : moves) {
        if (m.widen) ::SendMessageW(g_main->item(IDC_SCRIPT_LIST), LVM_SETCOLUMNWIDTH, 2, m.widen);
        const LONG left = before.left - (m.dpi - 96) * 10;  // on a monitor left of the first one at 192
        const RECT suggested = {left, before.top, left + ::MulDiv(before.right - before.left, m.dpi, 96),
                                before.top + ::MulDiv(before.bottom - before.top, m.dpi, 96)};
        ::SendMessageW(g_main->m_window, 0x02E0 /* WM_DPICHANGED */, MAKEWPARAM(m.dpi, m.dpi),
                       reinterpret_cast<LPARAM>(&suggested));
        ASSERT_TRUE(WaitFor([&] { return ListFontHeight() == m.fontHeight; })) << m.dpi;
        RECT now;
        ::GetWindowRect(g_main->m_window, &now);
        EXPECT_TRUE(now.left == suggested.left && now.right == suggested.right) << "the suggested place at " << m.dpi;
        EXPECT_EQ(ColumnWidths(), m.widths) << m.dpi;
        const std::vector<SIZE> pictures = Pictures();
        ASSERT_EQ(pictures.size(), designed.size());
        for (size_t i = 0; i < pictures.size(); ++i)
            EXPECT_TRUE(pictures[i].cx == ::MulDiv(designed[i].cx, m.dpi, 96) &&
                        pictures[i].cy == ::MulDiv(designed[i].cy, m.dpi, 96))
                << "picture " << i << " at " << m.dpi;
    }
}

// The rows stand in the order the user's locale gives the hotkey texts:
// "<F1>" before "<F10>", where the texts' bytes would put "<F10>" first.
// 有效/無效 turns each selected row over, in the list and in its file; 刪除
// asks once, then deletes each selected file and row.
TEST(MainWindow, RowsInTheLocalesOrderToggledAndDeletedTogether) {
    EXPECT_EQ(Column(0), (Texts{L"<F1>", L"<F10>", L"<F2>"}));
    const HWND list = g_main->item(IDC_SCRIPT_LIST);
    LVITEMW item = {};
    item.stateMask = item.state = LVIS_SELECTED;
    for (const WPARAM row : {0, 2}) ::SendMessageW(list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
    g_main->Click(IDC_TOGGLE_VALID);
    EXPECT_EQ(Column(1), (Texts{L"", L"\u221A", L""}));
    const auto enabled = [](const wchar_t* name) {
        const std::string bytes = FileBytes(std::wstring(L"script\\") + name);
        return bytes == "(none)" ? "none" : bytes.find("Enable=1\r\n") != std::string::npos ? "1" : "0";
    };
    EXPECT_EQ(std::string(enabled(L"f1.txt")) + enabled(L"f10.txt") + enabled(L"f2.txt"), "010");

    // Posted: the question box is modal on the window's thread.
    ::PostMessageW(g_main->m_window, WM_COMMAND, MAKEWPARAM(IDC_DELETE, BN_CLICKED), 0);
    HWND question = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (question = tarvix::wine_test::ShownDialog(g_main->m_threadId, g_main->m_window)); }))
        << "a question before deleting";
    ::PostMessageW(question, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(WaitFor([&] { return ::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0) == 1; }));
    EXPECT_EQ(Column(0), Texts{L"<F10>"});
    EXPECT_EQ(std::string(enabled(L"f1.txt")) + enabled(L"f10.txt") + enabled(L"f2.txt"), "none1none");
}

}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);
    ::SetCurrentDirectoryW(tarvix::wine_test::NewTempFolder(L"tarvix-main-window").c_str());
    ::CreateDirectoryW(L"script", nullptr);
    // The script folder the window reads: "script\" in the current folder, as
    // no application object names a program folder.
    for (const auto& [name, key] : {std::pair{L"f2.txt", "113"}, std::pair{L"f10.txt", "121"}, std::pair{L"f1.txt", "112"}})
        tarvix::wine_test::WriteBytes(std::wstring(L"script\\") + name,
                                      std::string("[General]\r\nDescription=d\r\nBeginHotkey=") + key +
                                          "\r\nBeginHotkeyMod=0\r\nEnable=1\r\n[Repeat]\r\nType=0\r\nNumber=1\r\n\r\n"
                                          "[Script]\r\nKeyPress 65 1\r\n");
    int result = 1;
    {
        RunningMainWindow main;
        g_main = &main;
        if (main.m_window) result = RUN_ALL_TESTS();
        else std::fprintf(stderr, "the main window did not open\n");
    }
    return result;
}
