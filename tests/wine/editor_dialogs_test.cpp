// The editor's dialogs as the program shows them, driven without a user: the
// items the script editor's template gives its drop-down lists, the controls
// of the dialog layer, the repeat dialog and the coordinate capture dialog.
//
// A dialog runs its own modal loop; the cases act from inside it through a
// thread timer. Each tick runs the next step of the case. Posted messages are
// handled before a timer message is made, so a message a step posts has been
// handled by the time the next step runs. Message boxes that a step's action
// raises are read and closed by the ticks that the box's own loop handles,
// while the step waits in its SendMessage.
//
// Built twice, against each edition's resources (editor_dialogs_test_classic
// for edition 1.0).
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <deque>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "controls.h"
#include "dialog.h"
#include "dialog_init.h"
#include "edition_config.h"
#include "point_capture_dlg.h"
#include "recording_runner.h"
#include "repeat_dlg.h"
#include "repeat_type.h"
#include "resource.h"
#include "text.h"
#include "wine_support.h"

namespace {

using tarvix::ui::ResourceString;
using tarvix::ui::ResourceStringWith;

using tarvix::wine_test::ComboItems;
using tarvix::wine_test::Utf8;

std::string Quoted(const std::wstring& text) { return "\"" + Utf8(text) + "\""; }

std::string Joined(const std::vector<std::wstring>& items) {
    std::string text;
    for (const std::wstring& item : items) text += " " + Quoted(item);
    return text;
}

std::wstring WindowText(HWND window) {
    const int length = ::GetWindowTextLengthW(window);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    text.resize(static_cast<size_t>(::GetWindowTextW(window, text.data(), length + 1)));
    return text;
}

std::wstring ItemText(HWND dialog, int id) { return WindowText(::GetDlgItem(dialog, id)); }

std::wstring ClassName(HWND window) {
    wchar_t name[64] = {};
    ::GetClassNameW(window, name, 64);
    return name;
}

// The entries of a list resource string that begins and ends with a newline.
std::vector<std::wstring> NewlineEntries(const std::wstring& text) {
    std::vector<std::wstring> entries;
    if (text.empty() || text.front() != L'\n') return entries;
    size_t start = 1;
    for (size_t end; (end = text.find(L'\n', start)) != std::wstring::npos; start = end + 1)
        entries.push_back(text.substr(start, end - start));
    return entries;
}

// ---------------------------------------------------------------- driving

struct MessageBoxSeen {
    std::wstring caption;
    std::vector<std::wstring> texts;  // of its static controls
};

const tarvix::ui::Dialog* g_dialogUnderTest = nullptr;
std::deque<std::function<void(HWND)>> g_steps;
bool g_inStep = false;
std::vector<MessageBoxSeen> g_boxes;

HWND DialogWindow() { return g_dialogUnderTest ? g_dialogUnderTest->GetSafeHwnd() : nullptr; }

BOOL CALLBACK CollectStaticText(HWND child, LPARAM param) {
    if (ClassName(child) == L"Static") {
        const std::wstring text = WindowText(child);
        if (!text.empty()) reinterpret_cast<MessageBoxSeen*>(param)->texts.push_back(text);
    }
    return TRUE;
}

// A visible dialog box of this thread other than the dialog under test is a
// message box it raised: keep what it says and answer it with OK.
BOOL CALLBACK CloseMessageBox(HWND window, LPARAM) {
    if (window == DialogWindow() || !::IsWindowVisible(window) || ClassName(window) != L"#32770")
        return TRUE;
    MessageBoxSeen box;
    box.caption = WindowText(window);
    ::EnumChildWindows(window, CollectStaticText, reinterpret_cast<LPARAM>(&box));
    g_boxes.push_back(box);
    ::ShowWindow(window, SW_HIDE);  // counted once, whatever tick comes next
    ::PostMessageW(window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    return TRUE;
}

void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    ::EnumThreadWindows(::GetCurrentThreadId(), CloseMessageBox, 0);
    const HWND dialog = DialogWindow();
    if (g_inStep || g_steps.empty() || !dialog) return;
    auto step = std::move(g_steps.front());
    g_steps.pop_front();
    g_inStep = true;
    step(dialog);
    g_inStep = false;
}

// Runs the dialog modally with the steps acting on it, one per tick, and
// returns what DoModal returned. A case ends the dialog in its last step; if
// it is still open after that, it is cancelled so that the program goes on.
INT_PTR RunDialog(tarvix::ui::Dialog& dialog, const std::string& name,
                  std::vector<std::function<void(HWND)>> steps) {
    g_steps.assign(steps.begin(), steps.end());
    g_steps.push_back([name](HWND hwnd) {
        if (!::IsWindowVisible(hwnd)) return;
        EXPECT_TRUE(false) << name + ": the dialog is still open after the case's last step";
        ::SendMessageW(hwnd, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    });
    g_boxes.clear();
    g_dialogUnderTest = &dialog;
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 10, Tick);
    const INT_PTR result = dialog.DoModal();
    ::KillTimer(nullptr, timer);
    g_dialogUnderTest = nullptr;
    // What is left is at most the check above, which a case that closed
    // its dialog never reaches.
    EXPECT_TRUE(g_steps.size() <= 1) << name + ": every step of the case ran before the dialog closed";
    g_steps.clear();
    return result;
}

void Command(HWND dialog, int id) { ::SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }

void Type(HWND dialog, int id, const wchar_t* text) { ::SetDlgItemTextW(dialog, id, text); }

bool Checked(HWND dialog, int id) { return ::IsDlgButtonChecked(dialog, id) == BST_CHECKED; }

bool Open(HWND dialog) { return ::IsWindowVisible(dialog) != FALSE; }

// Presses OK and returns the message boxes it raised.
std::vector<MessageBoxSeen> PressOk(HWND dialog) {
    const size_t before = g_boxes.size();
    Command(dialog, IDOK);
    return std::vector<MessageBoxSeen>(g_boxes.begin() + static_cast<std::ptrdiff_t>(before), g_boxes.end());
}

bool Says(const MessageBoxSeen& box, const std::wstring& text) {
    return std::find(box.texts.begin(), box.texts.end(), text) != box.texts.end();
}

void ExpectNoBoxes(const std::vector<MessageBoxSeen>& boxes, const std::string& what) {
    EXPECT_TRUE(boxes.empty()) << what + ": no message box, but one said" + Joined(boxes.front().texts);
}

// One box captioned with the program's name that says `text`.
void ExpectBoxSaying(const std::vector<MessageBoxSeen>& boxes, const std::wstring& text,
                     const std::string& what) {
    ASSERT_EQ(boxes.size(), 1u) << what + ": one message box";
    EXPECT_EQ(Utf8(boxes[0].caption), Utf8(tarvix::ui::ApplicationName())) << what + ": box caption";
    EXPECT_TRUE(Says(boxes[0], text)) << what + ": box says " + Quoted(text) + "; it said" + Joined(boxes[0].texts);
}

// The dialog closed with OK and the repeat setting it gives.
void ExpectRepeat(const tarvix::CRepeatDlg& dialog, INT_PTR result, int type, int number, const std::string& what) {
    EXPECT_EQ(result, IDOK) << what + " closes";
    EXPECT_EQ(dialog.repeatType(), type) << what;
    EXPECT_EQ(dialog.repeatNumber(), number) << what;
}

// ---------------------------------------------------------------- resources

// Records what the template's lists hold when the dialog's own
// initialisation begins.
class ListProbe : public tarvix::ui::Dialog {
public:
    ListProbe(UINT templateId, std::vector<int> comboIds)
        : tarvix::ui::Dialog(templateId), m_comboIds(std::move(comboIds)) {}
    std::vector<std::vector<std::wstring>> items;
    std::vector<int> selections;

protected:
    BOOL OnInitDialog() override {
        for (int id : m_comboIds) {
            items.push_back(ComboItems(GetDlgItem(id)));
            selections.push_back(static_cast<int>(::SendMessageW(GetDlgItem(id), CB_GETCURSEL, 0, 0)));
        }
        EndDialog(IDOK);
        return TRUE;
    }

private:
    std::vector<int> m_comboIds;
};

TEST(EditorTemplate, ListsHoldTheirItemsBeforeInitialisation) {
    ListProbe probe(IDD_SCRIPT, {IDC_KEY_KIND, IDC_BUTTON_KIND, IDC_DELAY_UNIT, IDC_POINT_COMBO});
    ASSERT_EQ(probe.DoModal(), IDOK) << "editor template opens";
    ASSERT_EQ(probe.items.size(), 4u);
    std::vector<std::wstring> buttons = {L"左鍵單擊", L"右鍵單擊", L"左鍵雙擊", L"左鍵按下",
                                         L"左鍵彈起", L"右鍵按下", L"右鍵彈起"};
    if (kProgramEdition == tarvix::Edition::V11)
        buttons.insert(buttons.end(), {L"中鍵單擊", L"中鍵按下", L"中鍵彈起", L"側鍵1單擊", L"側鍵1按下",
                                       L"側鍵1彈起", L"側鍵2單擊", L"側鍵2按下", L"側鍵2彈起", L"滾輪向上",
                                       L"滾輪向下", L"滾輪向左", L"滾輪向右"});
    const std::vector<std::vector<std::wstring>> want = {{L"按鍵", L"按住", L"彈起"}, buttons, {L"秒", L"毫秒"}, {}};
    // The list of captured points is filled by the editor itself.
    for (size_t i = 0; i < want.size(); ++i)
        EXPECT_TRUE(probe.items[i] == want[i]) << "list " << i << ": got" + Joined(probe.items[i]);
}

TEST(DialogInit, ListDataParsing) {
    using tarvix::ui::ParseDialogInit;
    // Two items, then the terminating zero and bytes after it that must not
    // be read.
    const unsigned char good[] = {
        0x08, 0x04, 0x03, 0x04, 4, 0, 0, 0, 0xE7, 0xA7, 0x92, 0,  // 1032: 秒
        0x18, 0x04, 0x01, 0x04, 2, 0, 0, 0, 'a', 'b',             // 1048: "ab", no zero byte
        0x00, 0x00, 0x09, 0x04, 0x03, 0x04};
    auto items = ParseDialogInit(good, sizeof(good));
    ASSERT_EQ(items.size(), 2u) << "entries before the end mark";
    EXPECT_TRUE(items[0].controlId == 1032 && items[0].code == 0x0403 && items[0].text == L"秒") << "UTF-8 text";
    EXPECT_TRUE(items[1].controlId == 1048 && items[1].text == L"ab") << "text without its zero byte";
    // A length that runs past the block drops that entry and the rest.
    const unsigned char overlong[] = {0x08, 0x04, 0x03, 0x04, 1, 0, 0, 0, 'x',
                                      0x08, 0x04, 0x03, 0x04, 200, 0, 0, 0, 'y', 'z'};
    items = ParseDialogInit(overlong, sizeof(overlong));
    EXPECT_TRUE(items.size() == 1 && items[0].text == L"x") << "an entry longer than the block is dropped";
    // Cut inside an entry's header, and no end mark at all.
    EXPECT_EQ(ParseDialogInit(overlong, 12).size(), 1u) << "a header cut short is dropped";
    EXPECT_TRUE(ParseDialogInit(good, 1).empty() && ParseDialogInit(nullptr, 0).empty());
}

// The display names of the kinds, as each edition's resources hold them.
std::vector<std::wstring> WantedKindNames(tarvix::Edition edition) {
    switch (edition) {
    case tarvix::Edition::V10:
        return {L"按鍵",     L"按住",     L"彈起",     L"左鍵單擊", L"右鍵單擊", L"左鍵雙擊", L"左鍵按下",
                L"左鍵彈起", L"右鍵按下", L"右鍵彈起", L"鼠標移到", L"延時",     L"輸入文本 ", L""};
    case tarvix::Edition::V11:
        return {L"按鍵",     L"按住",     L"彈起",     L"左鍵單擊", L"右鍵單擊",     L"左鍵雙擊", L"左鍵按下",
                L"左鍵彈起", L"右鍵按下", L"右鍵彈起", L"鼠標移到", L"鼠標相對位移", L"延遲",     L"輸入本文",
                L"中鍵單擊", L"中鍵按下", L"中鍵彈起", L"側鍵1單擊", L"側鍵1按下",   L"側鍵1彈起", L"側鍵2單擊",
                L"側鍵2按下", L"側鍵2彈起", L"滾輪",   L"水平滾輪", L"視窗內移到",  L""};
    }
    return {};
}

// The row texts the editor builds come from this list: one name per kind of
// the edition, in kind order, the end marker's empty.
TEST(EditorResources, KindNames) {
    const std::vector<std::wstring> kinds = NewlineEntries(ResourceString(IDS_KIND_NAMES));
    EXPECT_TRUE(kinds == WantedKindNames(kProgramEdition)) << "kind names: got" + Joined(kinds);
}

// Message texts take their one value in place of the placeholder; a path may
// itself hold a percent sign, and a text without a placeholder stands as it is.
TEST(EditorResources, PlaceholderFilledIn) {
    const std::wstring path = L"C:\\100%s\\a.txt";
    const std::wstring text = ResourceStringWith(IDS_SAVE_FAILED, path);
#if defined(TARVIX_EDITION_CLASSIC)
    const std::wstring want = L"無法保存宏文件：\nC:\\100%s\\a.txt\n請確認 script 文件夾可以寫入，然後再按一次確定。";
#else
    const std::wstring want = L"無法儲存腳本檔案：\nC:\\100%s\\a.txt\n請確認腳本資料夾可以寫入，然後再按一次確定。";
#endif
    EXPECT_EQ(Utf8(text), Utf8(want));
    EXPECT_EQ(Utf8(ResourceStringWith(IDS_KIND_NAMES, path)), Utf8(ResourceString(IDS_KIND_NAMES)));
}

#if !defined(TARVIX_EDITION_CLASSIC)
// After a recording the editor says what it could not keep and why, one
// message each, in this order, and nothing when all went well.
TEST(EditorResources, RecordingEndMessages) {
    using tarvix::RecordingResult;
    const auto texts = [](const RecordingResult& result) {
        std::vector<std::string> out;
        for (const auto& message : tarvix::RecordingEndMessages(result))
            out.push_back(Utf8(message.text) + (message.icon == MB_ICONEXCLAMATION ? " (!)" : ""));
        return out;
    };
    EXPECT_TRUE(texts(RecordingResult{}).empty());
    RecordingResult all;
    all.full = all.inputMissed = true;
    all.leftOut.otherSideButtons = 12;
    EXPECT_EQ(texts(all), (std::vector<std::string>{
                              "錄製已達 100000 個輸入，自動停止。\n已錄製的動作都已保留。",
                              "錄製時系統曾暫停輸入監視，有些輸入可能沒有錄到。\n請檢查錄製的動作。 (!)",
                              "以下輸入腳本無法保存，未錄製：\n側鍵1、2以外的滑鼠側鍵 12 次"}));
}
#endif

// ---------------------------------------------------------------- repeat dialog

TEST(RepeatDialog, OpensWithItsDefaults) {
    tarvix::CRepeatDlg dialog;
    const INT_PTR result = RunDialog(dialog, "repeat defaults", {[](HWND d) {
        // Writing 1 minute into its box at initialisation is no choice of
        // the span.
        EXPECT_TRUE(Checked(d, IDC_REPEAT_COUNT_RADIO) && !Checked(d, IDC_REPEAT_SECONDS_RADIO)) << "repeat dialog opens on the count";
        EXPECT_EQ(Utf8(ItemText(d, IDC_REPEAT_COUNT) + ItemText(d, IDC_REPEAT_HOURS) + ItemText(d, IDC_REPEAT_MINUTES) +
                       ItemText(d, IDC_REPEAT_SECS)),
                  "1010") << "count, hours, minutes, seconds";
        ExpectNoBoxes(PressOk(d), "OK at once");
    }});
    ExpectRepeat(dialog, result, tarvix::RepeatCount, 1, "OK at once");
}

TEST(RepeatDialog, TypingChoosesTheType) {
    tarvix::CRepeatDlg dialog;
    const INT_PTR result = RunDialog(dialog, "repeat typing", {[](HWND d) {
        std::vector<MessageBoxSeen> before = g_boxes;
        Type(d, IDC_REPEAT_MINUTES, L"");
        EXPECT_TRUE(Checked(d, IDC_REPEAT_SECONDS_RADIO) && !Checked(d, IDC_REPEAT_COUNT_RADIO)) << "emptying the minutes chooses the span";
        EXPECT_EQ(g_boxes.size(), before.size()) << "an emptied box is not complained about while typing";
        Type(d, IDC_REPEAT_COUNT, L"7");
        EXPECT_TRUE(Checked(d, IDC_REPEAT_COUNT_RADIO) && !Checked(d, IDC_REPEAT_SECONDS_RADIO)) << "typing a count chooses the count";
        Type(d, IDC_REPEAT_SECS, L"30");
        EXPECT_TRUE(Checked(d, IDC_REPEAT_SECONDS_RADIO)) << "typing seconds chooses the span";
        Type(d, IDC_REPEAT_COUNT, L"8");
        Type(d, IDC_REPEAT_HOURS, L"0");
        EXPECT_TRUE(Checked(d, IDC_REPEAT_SECONDS_RADIO) && !Checked(d, IDC_REPEAT_COUNT_RADIO)) << "typing hours chooses the span";
        Type(d, IDC_REPEAT_MINUTES, L"1");
        ExpectNoBoxes(PressOk(d), "OK on 1 min 30 s");
    }});
    ExpectRepeat(dialog, result, tarvix::RepeatSeconds, 90, "1 min 30 s");
}

// A 0 gets the program's input error, a box without a whole number the
// framework's prompt; either way the dialog stays open for the correction.
TEST(RepeatDialog, RefusesZeroAndNoNumber) {
    tarvix::CRepeatDlg dialog;
    const std::wstring inputError = ResourceString(IDS_INPUT_ERROR);
    const INT_PTR result = RunDialog(dialog, "repeat refusals", {[&](HWND d) {
        Type(d, IDC_REPEAT_COUNT, L"abc");
        const std::vector<MessageBoxSeen> boxes = PressOk(d);
        EXPECT_TRUE(boxes.size() == 1 && !Says(boxes[0], inputError) && !boxes[0].texts.empty())
            << "a count of abc is met with the number prompt";
        Type(d, IDC_REPEAT_COUNT, L"0");
        ExpectBoxSaying(PressOk(d), inputError, "count 0");
        Type(d, IDC_REPEAT_HOURS, L"0");
        Type(d, IDC_REPEAT_MINUTES, L"0");
        Type(d, IDC_REPEAT_SECS, L"0");
        ExpectBoxSaying(PressOk(d), inputError, "span 0 h 0 min 0 s");
        EXPECT_TRUE(Open(d)) << "the refusals keep the dialog open";
        Type(d, IDC_REPEAT_SECS, L"5");
        ExpectNoBoxes(PressOk(d), "span 5 s after the refusals");
    }});
    ExpectRepeat(dialog, result, tarvix::RepeatSeconds, 5, "5 s after refusals");
}

// ---------------------------------------------------------------- capture dialog

std::string TempSettingsFile() {
    char folder[MAX_PATH];
    char file[MAX_PATH];
    ::GetTempPathA(MAX_PATH, folder);
    ::GetTempFileNameA(folder, "tvx", 0, file);  // creates it, empty
    return file;
}

std::string FileBytes(const std::string& path) {
    std::ostringstream bytes;
    bytes << std::ifstream(path, std::ios::binary).rdbuf();
    return bytes.str();
}

std::vector<std::wstring> PointBoxes(HWND dialog) {
    std::vector<std::wstring> shown;
    for (int i = 0; i < 9; ++i) shown.push_back(ItemText(dialog, IDC_POINT_EDIT_FIRST + i));
    return shown;
}

// Read with the system's own profile function, not the program's.
int ProfileInt(const std::string& path, const std::string& key) {
    return static_cast<int>(::GetPrivateProfileIntA("Position", key.c_str(), -12345, path.c_str()));
}

TEST(CaptureDialog, WritesAndShowsTheCapturedPoint) {
    const std::string ini = TempSettingsFile();
    ::WritePrivateProfileStringA("Position", "Position5X", "7", ini.c_str());
    ::WritePrivateProfileStringA("Position", "Position5Y", "-8", ini.c_str());
    ::WritePrivateProfileStringA(nullptr, nullptr, nullptr, ini.c_str());  // flush
    const std::string stored = FileBytes(ini);

    tarvix::CPointCaptureDlg dialog(ini);
    std::vector<std::wstring> shownAtStart;
    const INT_PTR result = RunDialog(
        dialog, "capture",
        {[&](HWND d) {
             shownAtStart = PointBoxes(d);
             ::SetCursorPos(321, 54);
             ::PostMessageW(d, WM_HOTKEY, 9, 0);
             ::PostMessageW(d, WM_HOTKEY, static_cast<WPARAM>(-1), 0);
             ::PostMessageW(d, WM_HOTKEY, 0x41, 0);
         },
         [&](HWND d) {
             EXPECT_TRUE(FileBytes(ini) == stored && PointBoxes(d) == shownAtStart)
                 << "reports other than 0..8 leave the file and the boxes as they were";
             ::SetCursorPos(123, 45);
             ::PostMessageW(d, WM_HOTKEY, 2, 0);
         },
         [&](HWND d) {
             POINT cursor = {};
             ::GetCursorPos(&cursor);
             EXPECT_TRUE(cursor.x == 123 && cursor.y == 45) << "pointer at 123,45 for the capture";
             EXPECT_EQ(Utf8(ItemText(d, IDC_POINT_EDIT_FIRST + 2)), "X=123 Y=45") << "captured point 3 shown";
             for (int i = 0; i < 9; ++i) {
                 const std::string key = "Position" + std::to_string(i);
                 const int x = i == 2 ? 123 : i == 5 ? 7 : -12345, y = i == 2 ? 45 : i == 5 ? -8 : -12345;
                 EXPECT_TRUE(ProfileInt(ini, key + "X") == x && ProfileInt(ini, key + "Y") == y)
                     << key << " in the file: only point 3 written";
             }
             ::SetCursorPos(200, 300);
             ::PostMessageW(d, WM_HOTKEY, 2, 0);  // again: the last capture wins
         },
         [&](HWND d) {
             EXPECT_TRUE(ProfileInt(ini, "Position2X") == 200 && ProfileInt(ini, "Position2Y") == 300)
                 << "point 3 captured again";
             EXPECT_EQ(Utf8(ItemText(d, IDC_POINT_EDIT_FIRST + 2)), "X=200 Y=300") << "point 3 shown again";
             Command(d, IDCANCEL);
         }});
    EXPECT_EQ(result, IDCANCEL) << "the exit button ends the capture dialog";
    std::vector<std::wstring> want(9, L"X=0 Y=0");
    want[5] = L"X=7 Y=-8";
    EXPECT_TRUE(shownAtStart == want) << "the boxes show the file's points, 0 0 when missing: got " + Joined(shownAtStart);
    ::DeleteFileA(ini.c_str());
}

}  // namespace

int main(int argc, char** argv) {
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);
    std::printf("edition %s\n", kProgramTraits.version);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
