// The editor's dialogs as the program shows them, driven without a user: the
// items the script editor's template gives its lists, the texts the editor
// builds from its resources, and the repeat dialog. The capture dialog is
// driven from end to end.
//
// A dialog runs its own modal loop; a case acts from inside it through a
// thread timer, and waits for what it posted while serving the messages.
// A message box that an action raises is read and closed by the ticks that
// the box's own loop serves, while the case waits in its SendMessage.
//
// Built twice, against each edition's resources (editor_dialogs_test_classic
// for edition 1.0).
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "dialog.h"
#include "dialog_init.h"
#include "edition_config.h"
#include "recording_runner.h"
#include "repeat_dlg.h"
#include "repeat_type.h"
#include "resource.h"
#include "text.h"
#include "wine_support.h"

namespace {

using tarvix::ui::ResourceString;
using tarvix::wine_test::Utf8;
using tarvix::wine_test::WindowText;
using Texts = std::vector<std::wstring>;
constexpr bool kClassic = kProgramEdition == tarvix::Edition::V10;

const tarvix::ui::Dialog* g_under = nullptr;  // the dialog the case acts on
std::function<void(HWND)> g_case;
std::wstring g_boxes;  // the static texts of the message boxes seen, each line "[text]"

void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    const HWND dialog = g_under ? g_under->GetSafeHwnd() : nullptr;
    if (!dialog) return;
    // A message box the dialog raised, counted once, whatever tick comes
    // before it closes. Not hidden: under Wine without a window manager each
    // window taken off the screen waits two seconds for the display.
    static HWND answered = nullptr;
    const HWND box = tarvix::wine_test::ShownDialog(::GetCurrentThreadId(), dialog);
    if (!box) answered = nullptr;
    if (box && box != answered) {
        for (HWND c = ::GetWindow(box, GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT))
            if (tarvix::wine_test::HasClass(c, L"Static") && ::GetWindowTextLengthW(c)) g_boxes += L"[" + WindowText(c) + L"]";
        ::PostMessageW(answered = box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    }
    if (auto run = std::move(g_case)) {
        g_case = nullptr;
        run(dialog);
        EXPECT_FALSE(::IsWindowVisible(dialog)) << "the case closed its dialog";
        if (::IsWindowVisible(dialog)) ::PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    }
}

// Runs the dialog modally with the case acting on it; what DoModal returned.
INT_PTR RunDialog(tarvix::ui::Dialog& dialog, std::function<void(HWND)> run) {
    g_case = std::move(run);
    g_boxes.clear();
    g_under = &dialog;
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 10, Tick);
    const INT_PTR result = dialog.DoModal();
    ::KillTimer(nullptr, timer);
    g_under = nullptr;
    return result;
}

void Command(HWND dialog, int id) { ::SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }
void Type(HWND dialog, int id, const wchar_t* text) { ::SetDlgItemTextW(dialog, id, text); }
bool Checked(HWND dialog, int id) { return ::IsDlgButtonChecked(dialog, id) == BST_CHECKED; }
std::string ItemText(HWND dialog, int id) { return Utf8(WindowText(::GetDlgItem(dialog, id))); }

// Presses OK; what the message boxes it raised said.
std::string PressOk(HWND dialog) {
    g_boxes.clear();
    Command(dialog, IDOK);
    return Utf8(g_boxes);
}

// Records what the template's lists hold when the dialog's own
// initialisation begins.
class ListProbe : public tarvix::ui::Dialog {
public:
    ListProbe() : tarvix::ui::Dialog(IDD_SCRIPT) {}
    std::vector<Texts> items;

protected:
    BOOL OnInitDialog() override {
        for (int id : {IDC_KEY_KIND, IDC_BUTTON_KIND, IDC_DELAY_UNIT, IDC_POINT_COMBO})
            items.push_back(tarvix::wine_test::ComboItems(GetDlgItem(id)));
        EndDialog(IDOK);
        return TRUE;
    }
};

TEST(EditorTemplate, ListsHoldTheirItemsBeforeInitialisation) {
    ListProbe probe;
    ASSERT_EQ(probe.DoModal(), IDOK);
    Texts buttons = {L"左鍵單擊", L"右鍵單擊", L"左鍵雙擊", L"左鍵按下", L"左鍵彈起", L"右鍵按下", L"右鍵彈起"};
    if (!kClassic)
        buttons.insert(buttons.end(), {L"中鍵單擊", L"中鍵按下", L"中鍵彈起", L"側鍵1單擊", L"側鍵1按下",
                                       L"側鍵1彈起", L"側鍵2單擊", L"側鍵2按下", L"側鍵2彈起", L"滾輪向上",
                                       L"滾輪向下", L"滾輪向左", L"滾輪向右"});
    // The list of captured points is filled by the editor itself.
    EXPECT_EQ(probe.items, (std::vector<Texts>{{L"按鍵", L"按住", L"彈起"}, buttons, {L"秒", L"毫秒"}, {}}));

    // A list entry whose length runs past the block is dropped with the rest.
    const unsigned char block[] = {0x08, 0x04, 0x03, 0x04, 1, 0, 0, 0, 'x', 0x08, 0x04, 0x03, 0x04, 200, 0, 0, 0, 'y'};
    const auto parsed = tarvix::ui::ParseDialogInit(block, sizeof block);
    EXPECT_TRUE(parsed.size() == 1 && parsed[0].controlId == 1032 && parsed[0].text == L"x");
}

// The texts the editor builds, written out: one name per kind in kind order
// (the end marker's empty), a message with its value in place of the
// placeholder (a path may itself hold a percent sign), and what a recording
// could not keep.
TEST(EditorResources, KindNamesMessagesAndRecordingOutcomes) {
    const std::wstring kinds =
        kClassic ? L"\n按鍵\n按住\n彈起\n左鍵單擊\n右鍵單擊\n左鍵雙擊\n左鍵按下\n左鍵彈起\n右鍵按下\n右鍵彈起\n鼠標移到\n延時\n"
                   L"輸入文本 \n\n"
                 : L"\n按鍵\n按住\n彈起\n左鍵單擊\n右鍵單擊\n左鍵雙擊\n左鍵按下\n左鍵彈起\n右鍵按下\n右鍵彈起\n鼠標移到\n"
                   L"鼠標相對位移\n延遲\n輸入本文\n中鍵單擊\n中鍵按下\n中鍵彈起\n側鍵1單擊\n側鍵1按下\n側鍵1彈起\n"
                   L"側鍵2單擊\n側鍵2按下\n側鍵2彈起\n滾輪\n水平滾輪\n視窗內移到\n\n";
    EXPECT_EQ(Utf8(ResourceString(IDS_KIND_NAMES)), Utf8(kinds));
    EXPECT_EQ(Utf8(tarvix::ui::ResourceStringWith(IDS_SAVE_FAILED, L"C:\\100%s\\a.txt")),
              kClassic ? "無法保存宏文件：\nC:\\100%s\\a.txt\n請確認 script 文件夾可以寫入，然後再按一次確定。"
                       : "無法儲存腳本檔案：\nC:\\100%s\\a.txt\n請確認腳本資料夾可以寫入，然後再按一次確定。");
    if (kClassic) return;
    tarvix::RecordingResult all;
    EXPECT_TRUE(tarvix::RecordingEndMessages(all).empty()) << "nothing when all went well";
    all.full = all.inputMissed = true;
    all.leftOut.otherSideButtons = 12;
    std::string said;
    for (const auto& message : tarvix::RecordingEndMessages(all))
        said += Utf8(message.text) + (message.icon == MB_ICONEXCLAMATION ? " (!)|" : "|");
    EXPECT_EQ(said,
              "錄製已達 100000 個輸入，自動停止。\n已錄製的動作都已保留。|"
              "錄製時系統曾暫停輸入監視，有些輸入可能沒有錄到。\n請檢查錄製的動作。 (!)|"
              "以下輸入腳本無法保存，未錄製：\n側鍵1、2以外的滑鼠側鍵 12 次|");
}

// The dialog opens on a count of 1; typing into a box chooses its type; a
// box without a whole number gets the framework's prompt and a 0 the
// program's input error, the dialog staying open for the correction.
TEST(RepeatDialog, TypingChoosesTheTypeAndRefusalsKeepItOpen) {
    tarvix::CRepeatDlg dialog;
    const INT_PTR result = RunDialog(dialog, [](HWND d) {
        EXPECT_TRUE(Checked(d, IDC_REPEAT_COUNT_RADIO) && !Checked(d, IDC_REPEAT_SECONDS_RADIO));
        EXPECT_EQ(ItemText(d, IDC_REPEAT_COUNT) + ItemText(d, IDC_REPEAT_HOURS) + ItemText(d, IDC_REPEAT_MINUTES) +
                      ItemText(d, IDC_REPEAT_SECS),
                  "1010");
        Type(d, IDC_REPEAT_MINUTES, L"");
        EXPECT_TRUE(Checked(d, IDC_REPEAT_SECONDS_RADIO) && !Checked(d, IDC_REPEAT_COUNT_RADIO)) << "emptied minutes";
        EXPECT_EQ(Utf8(g_boxes), "") << "an emptied box is not complained about while typing";
        Type(d, IDC_REPEAT_MINUTES, L"1");
        Type(d, IDC_REPEAT_COUNT, L"abc");
        EXPECT_TRUE(Checked(d, IDC_REPEAT_COUNT_RADIO) && !Checked(d, IDC_REPEAT_SECONDS_RADIO)) << "typed count";
        const std::string prompt = PressOk(d);
        EXPECT_TRUE(!prompt.empty() && prompt != "[輸入有誤！]") << prompt;
        Type(d, IDC_REPEAT_COUNT, L"0");
        EXPECT_EQ(PressOk(d), "[輸入有誤！]");
        Type(d, IDC_REPEAT_SECS, L"30");
        EXPECT_TRUE(Checked(d, IDC_REPEAT_SECONDS_RADIO)) << "typed seconds";
        EXPECT_TRUE(::IsWindowVisible(d)) << "the refusals kept the dialog open";
        EXPECT_EQ(PressOk(d), "");
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(dialog.repeatType(), tarvix::RepeatSeconds);
    EXPECT_EQ(dialog.repeatNumber(), 90);
}

}  // namespace

int main(int argc, char** argv) {
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
