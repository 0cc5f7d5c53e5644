// The script editor's action list: rows kept one to one with the actions,
// the insertion point through every operation, the end marker's row, and
// the texts and colours rows show.
#include <gtest/gtest.h>

#include "editor_list.h"
#include "row_texts.h"
#include "test_support.h"

namespace tarvix {
namespace {

const char kNames11[] = "\n按鍵\n按住\n彈起\n左鍵單擊\n右鍵單擊\n左鍵雙擊\n左鍵按下\n左鍵彈起\n右鍵按下\n右鍵彈起\n"
                        "鼠標移到\n鼠標相對位移\n延遲\n輸入本文\n中鍵單擊\n中鍵按下\n中鍵彈起\n側鍵1單擊\n側鍵1按下\n"
                        "側鍵1彈起\n側鍵2單擊\n側鍵2按下\n側鍵2彈起\n滾輪\n水平滾輪\n";
const char kNames10[] = "\n按鍵\n按住\n彈起\n左鍵單擊\n右鍵單擊\n左鍵雙擊\n左鍵按下\n左鍵彈起\n右鍵按下\n右鍵彈起\n"
                        "鼠標移到\n延時\n輸入文本 \n";
const char kUnit[] = "毫秒";
using V = std::vector<std::string>;

using testing::A;

// Each row as its action's text ("|" for the end marker), after checking
// that the row still shows that action.
V Texts(const EditorList& list) {
    V texts;
    for (size_t i = 0; i < list.size(); ++i) {
        const std::string& text = list.action(i).text;
        const std::string& shown = list.row(i).texts.action;
        EXPECT_EQ(shown.substr(shown.size() - std::min(shown.size(), text.size())), text) << i;
        texts.push_back(list.action(i).kind == KindEndMarker ? "|" : text);
    }
    return texts;
}

void Insert(EditorList& list, std::initializer_list<const char*> texts) {
    for (const char* t : texts) list.Insert(A(KindSayString, 0, 0, t), {std::string("輸入本文") + t, "1"});
}

TEST(EditorList, InsertionsLandInOrderInFrontOfTheSelectedRowOrTheTop) {
    EditorList list;
    EXPECT_EQ(Texts(list), V{"|"});
    EXPECT_FALSE(list.HasActions());
    Insert(list, {"a", "b", "c"});
    EXPECT_EQ(list.insertionPoint(), 3);
    list.Select(1);
    Insert(list, {"x", "y"});
    list.Select(-1);  // no row selected: the top
    Insert(list, {"top"});
    EXPECT_EQ(Texts(list), (V{"top", "a", "x", "y", "b", "c", "|"}));
    EXPECT_EQ(std::pair(list.row(0).color, list.row(6).color), std::pair(0xAAFFFFu, 0xEEEEEEu)) << "text, end marker";
    EXPECT_TRUE(list.HasActions());
    list.Select(99);
    EXPECT_EQ(list.insertionPoint(), 0) << "a selection off the list counts as none";
}

// Each operation returns the row it selects, with the insertion point; -1
// when it cannot act (no selection, the end marker, an end of the list).
TEST(EditorList, DeleteUpAndDownCarryRowsAndNeverTheEndMarker) {
    EditorList list;
    Insert(list, {"a", "b", "c"});
    for (int row : {-1, 3, 7}) EXPECT_EQ(list.Delete(row), -1) << row;
    for (int row : {-1, 0, 3}) EXPECT_EQ(list.MoveUp(row), -1) << row;
    for (int row : {-1, 2, 3}) EXPECT_EQ(list.MoveDown(row), -1) << row;
    EXPECT_EQ(list.MoveUp(2), 1);
    EXPECT_EQ(list.insertionPoint(), 1);
    EXPECT_EQ(list.MoveDown(0), 1);
    EXPECT_EQ(Texts(list), (V{"c", "a", "b", "|"}));
    EXPECT_EQ(list.Delete(1), 1) << "the row that followed";
    EXPECT_EQ(list.Delete(1), 1) << "the last action: the end marker, appending again";
    Insert(list, {"d"});
    EXPECT_EQ(Texts(list), (V{"c", "d", "|"}));
    list.Delete(0);
    list.Delete(0);
    EXPECT_FALSE(list.HasActions());
}

// An opened text row has a space after the name; the editor works on its
// own copy, and one end marker ends the list whatever came after it.
TEST(EditorList, OpensOnACopyAndTheRecordChangesOnlyWhenTheActionsAreTaken) {
    const KindNames names(kNames11, Edition::V11);
    std::list<ScriptAction> record = {A(KindKeyPress, 65, 1), A(KindSayString, 0, 0, "x"),
                                      ScriptAction::EndMarker(), A(KindSayString, 0, 0, "ghost")};
    const std::list<ScriptAction> before = record;
    EditorList list(record, names, kUnit);
    EXPECT_EQ(list.size(), 3u);
    EXPECT_EQ(list.insertionPoint(), 2) << "opens on the end marker";
    EXPECT_EQ(list.row(1).texts.action, "輸入本文 x");
    list.Delete(0);
    list.Insert(A(KindDelay, 10), {"延遲10毫秒", "1"});
    EXPECT_EQ(record, before);
    const std::list<ScriptAction> taken = list.TakeActions();
    EXPECT_EQ(taken, (std::list<ScriptAction>{A(KindDelay, 10), A(KindSayString, 0, 0, "x"),
                                              ScriptAction::EndMarker()}));
    EXPECT_EQ(Texts(EditorList({A(KindSayString, 0, 0, "a")}, names, kUnit)), (V{"a", "|"})) << "gets one";
}

TEST(RowTexts, EveryKindAsAnOpenedScriptAndAPanelShowIt) {
    const KindNames names(kNames11, Edition::V11, "\n向上\n向下\n向左\n向右\n");
    const std::pair<ScriptAction, RowTexts> cases[] = {
        {A(KindKeyPress, 65, 3), {"按鍵<A>", "3"}},
        {A(KindKeyUp, 0x10074, 0), {"彈起<F5>", ""}},  // the low 16 bits; count 0 empty
        {A(KindLeftClick, 0), {"左鍵單擊", ""}},
        {A(KindMoveTo, 512, -384), {"鼠標移到 512 -384", "1"}},
        {A(KindDelay, 2000), {"延遲2000毫秒", "1"}},
        {A(KindSayString, 0, 0, " hi "), {"輸入本文  hi ", "1"}},
        {ScriptAction::EndMarker(), {"", ""}},
        // A wheel row reads as the panel item that made it, with the notches.
        {A(KindX1Down, 2), {"側鍵1按下", "2"}},
        {A(KindWheel, 360), {"滾輪向上", "3"}},
        {A(KindHWheel, -60), {"水平滾輪向左", "0.5"}},
        {A(KindHWheel, 280), {"水平滾輪向右", "2.33"}},
        {A(KindWheel, INT32_MIN), {"滾輪向下", "17895697.07"}},
        {A(KindWheel, 0), {"滾輪向上", ""}},
    };
    for (const auto& [action, texts] : cases) EXPECT_EQ(ListedRowTexts(action, names, kUnit), texts) << action.kind;
    // A panel's text row has no space after the name.
    EXPECT_EQ(InsertedRowTexts(A(KindSayString, 0, 0, " hi "), names, kUnit), (RowTexts{"輸入本文 hi ", "1"}));
    EXPECT_EQ(InsertedRowTexts(A(KindHWheel, 120), names, kUnit), (RowTexts{"水平滾輪向右", "1"}));
}

TEST(RowTexts, TheClassicEditionNamesItsLaterKindsFromItsShorterList) {
    const KindNames names(kNames10, Edition::V10);
    EXPECT_EQ(names.Name(KindMoveR), "") << "no MoveR in this edition";
    EXPECT_EQ(ListedRowTexts(A(KindDelay, 5), names, kUnit).action, "延時5毫秒");
    EXPECT_EQ(InsertedRowTexts(A(KindSayString, 0, 0, "x"), names, kUnit).action, "輸入文本 x");
    // A short or empty list leaves names empty rather than reading past it.
    EXPECT_EQ(ListedRowTexts(A(KindKeyPress, 65, 1), KindNames("", Edition::V11), kUnit), (RowTexts{"<A>", "1"}));
}

TEST(RowColor, ByCategory) {
    const uint32_t colors[] = {0xCCCCFFu, 0xFFFFAAu, 0xFFBBBBu, 0xCCFFCCu, 0xAAFFFFu, 0xEEEEEEu, 0xEEEEEEu};
    for (int32_t category = 0; category <= 6; ++category) EXPECT_EQ(RowColor(category), colors[category]) << category;
}

}  // namespace
}  // namespace tarvix
