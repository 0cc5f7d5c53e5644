// The script editor's action list: rows kept one to one with the actions,
// the insertion point through every operation, the end marker's row.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "editor_list.h"
#include "row_texts.h"

namespace tarvix {
namespace {

const char kNames11[] = "\n按鍵\n按住\n彈起\n左鍵單擊\n右鍵單擊\n左鍵雙擊\n左鍵按下\n左鍵彈起\n右鍵按下\n右鍵彈起\n"
                        "鼠標移到\n鼠標相對位移\n延遲\n輸入本文\n";
const char kNames10[] = "\n按鍵\n按住\n彈起\n左鍵單擊\n右鍵單擊\n左鍵雙擊\n左鍵按下\n左鍵彈起\n右鍵按下\n右鍵彈起\n"
                        "鼠標移到\n延時\n輸入文本 \n";
const char kUnit[] = "毫秒";

ScriptAction Action(int32_t kind, int32_t p1 = 0, int32_t p2 = 0, std::string text = {}) {
    ScriptAction a;
    a.kind = kind;
    a.category = CategoryOfKind(kind);
    a.param1 = p1;
    a.param2 = p2;
    a.text = std::move(text);
    return a;
}

// A distinct text per action, so the tests can follow rows around.
ScriptAction Say(const std::string& text) { return Action(KindSayString, 0, 0, text); }

std::vector<std::string> Texts(const EditorList& list) {
    std::vector<std::string> texts;
    for (size_t i = 0; i < list.size(); ++i) {
        EXPECT_EQ(list.row(i).color, RowColor(list.action(i).category)) << "row " << i;
        texts.push_back(list.action(i).kind == KindEndMarker ? "|" : list.action(i).text);
        const std::string& shown = list.row(i).texts.action;
        const std::string& text = list.action(i).text;
        EXPECT_TRUE(shown.size() >= text.size() && shown.compare(shown.size() - text.size(), text.size(), text) == 0)
            << "row and action apart at " << i;
    }
    return texts;
}

void Insert(EditorList& list, const std::string& text) {
    list.Insert(Say(text), {"輸入本文" + text, "1"});
}

using V = std::vector<std::string>;

TEST(EditorList, ANewScriptIsTheEndMarkerAloneAndInsertionsLandInOrderInFrontOfIt) {
    EditorList list;
    EXPECT_EQ(list.size(), 1u);
    EXPECT_FALSE(list.HasActions());
    EXPECT_EQ(list.row(0).texts, RowTexts{});
    EXPECT_EQ(list.row(0).color, 0xEEEEEEu) << "the end marker's row is light grey";
    EXPECT_EQ(list.insertionPoint(), 0);
    Insert(list, "a");
    Insert(list, "b");
    Insert(list, "c");
    EXPECT_EQ(Texts(list), (V{"a", "b", "c", "|"}));
    EXPECT_TRUE(list.HasActions());
    EXPECT_EQ(list.insertionPoint(), 3);
}

TEST(EditorList, SelectionMovesTheInsertionPointAndASeriesStaysInFrontOfTheSelectedRow) {
    EditorList list;
    for (const char* t : {"a", "b", "c"}) Insert(list, t);
    list.Select(1);
    Insert(list, "x");
    Insert(list, "y");
    EXPECT_EQ(Texts(list), (V{"a", "x", "y", "b", "c", "|"}));
    // No row selected: the next action goes to the top.
    list.Select(-1);
    Insert(list, "top");
    EXPECT_EQ(Texts(list), (V{"top", "a", "x", "y", "b", "c", "|"}));
    // A selection off the list counts as none.
    list.Select(99);
    EXPECT_EQ(list.insertionPoint(), 0);
}

TEST(EditorList, DeleteRemovesTheActionWithItsRowButNeverTheEndMarker) {
    EditorList list;
    for (const char* t : {"a", "b", "c"}) Insert(list, t);
    EXPECT_EQ(list.Delete(3), -1) << "the end marker's row";
    EXPECT_EQ(list.Delete(-1), -1) << "no selection";
    EXPECT_EQ(list.Delete(7), -1);
    EXPECT_EQ(Texts(list), (V{"a", "b", "c", "|"}));

    // The row that followed is selected, and the next action goes there.
    EXPECT_EQ(list.Delete(1), 1);
    EXPECT_EQ(Texts(list), (V{"a", "c", "|"}));
    EXPECT_EQ(list.insertionPoint(), 1);
    // Deleting the last action selects the end marker: appending again.
    EXPECT_EQ(list.Delete(1), 1);
    EXPECT_EQ(list.insertionPoint(), 1);
    Insert(list, "d");
    EXPECT_EQ(Texts(list), (V{"a", "d", "|"}));
    list.Delete(0);
    list.Delete(0);
    EXPECT_EQ(Texts(list), (V{"|"}));
    EXPECT_FALSE(list.HasActions());
}

TEST(EditorList, UpAndDownCarryTheActionWithItsTextsAndColourAndStopAtTheEnds) {
    EditorList list;
    list.Insert(Action(KindKeyPress, 65, 1), {"按鍵<A>", "1"});
    list.Insert(Action(KindDelay, 500), {"延遲500毫秒", "1"});
    list.Insert(Say("hi"), {"輸入本文hi", "1"});

    EXPECT_EQ(list.MoveUp(0), -1) << "the first row";
    EXPECT_EQ(list.MoveDown(2), -1) << "the last action: only the end marker is below it";
    EXPECT_EQ(list.MoveDown(3), -1) << "the end marker does not move";
    EXPECT_EQ(list.MoveUp(3), -1);
    EXPECT_EQ(list.MoveUp(-1), -1);

    EXPECT_EQ(list.MoveUp(2), 1);
    EXPECT_EQ(list.insertionPoint(), 1);
    EXPECT_EQ(list.action(1).kind, KindSayString);
    EXPECT_EQ(list.row(1).texts, (RowTexts{"輸入本文hi", "1"}));
    EXPECT_EQ(list.row(1).color, 0xAAFFFFu) << "a moved text row stays light yellow";
    EXPECT_EQ(list.row(2).color, 0xCCFFCCu);

    EXPECT_EQ(list.MoveDown(0), 1);
    EXPECT_EQ(list.insertionPoint(), 1);
    EXPECT_EQ(list.action(0).kind, KindSayString);
    EXPECT_EQ(list.action(1).kind, KindKeyPress);
    EXPECT_EQ(list.row(1).texts, (RowTexts{"按鍵<A>", "1"}));
    EXPECT_EQ(list.action(3).kind, KindEndMarker);
}

TEST(EditorList, OpensOnACopyAndTheRecordChangesOnlyWhenTheActionsAreTaken) {
    const KindNames names(kNames11, Edition::V11);
    std::list<ScriptAction> record = {Action(KindKeyPress, 65, 1), Say("x"), ScriptAction::EndMarker()};
    const std::list<ScriptAction> before = record;
    EditorList list(record, names, kUnit);
    EXPECT_EQ(list.size(), 3u);
    EXPECT_EQ(list.insertionPoint(), 2) << "opens on the end marker";
    EXPECT_EQ(list.row(1).texts.action, "輸入本文 x") << "an opened text row has a space";

    list.Delete(0);
    list.Insert(Action(KindDelay, 10), {"延遲10毫秒", "1"});
    EXPECT_EQ(record, before) << "the editor works on its own copy";

    const std::list<ScriptAction> taken = list.TakeActions();
    ASSERT_EQ(taken.size(), 3u);
    EXPECT_EQ(taken.front().kind, KindDelay) << "inserted where the deleted row was";
    EXPECT_EQ(std::next(taken.begin())->text, "x");
    EXPECT_EQ(taken.back().kind, KindEndMarker);
}

TEST(EditorList, AListWithoutEndMarkerGetsOneAndNothingAfterItIsKept) {
    const KindNames names(kNames11, Edition::V11);
    EditorList bare({Say("a")}, names, kUnit);
    EXPECT_EQ(Texts(bare), (V{"a", "|"}));
    EditorList trailing({Say("a"), ScriptAction::EndMarker(), Say("ghost")}, names, kUnit);
    EXPECT_EQ(Texts(trailing), (V{"a", "|"}));
}

TEST(RowTexts, EveryCategoryAsAnOpenedScriptShowsIt) {
    const KindNames names(kNames11, Edition::V11);
    auto listed = [&](const ScriptAction& a) { return ListedRowTexts(a, names, kUnit); };
    EXPECT_EQ(listed(Action(KindKeyPress, 65, 3)), (RowTexts{"按鍵<A>", "3"}));
    EXPECT_EQ(listed(Action(KindKeyUp, 0x10074, 0)), (RowTexts{"彈起<F5>", ""})) << "low 16 bits; count 0 empty";
    EXPECT_EQ(listed(Action(KindRightUp, 2)), (RowTexts{"右鍵彈起", "2"}));
    EXPECT_EQ(listed(Action(KindLeftClick, 0)), (RowTexts{"左鍵單擊", ""}));
    EXPECT_EQ(listed(Action(KindMoveTo, 512, -384)), (RowTexts{"鼠標移到 512 -384", "1"}));
    EXPECT_EQ(listed(Action(KindMoveR, -5, 0)), (RowTexts{"鼠標相對位移 -5 0", "1"}));
    EXPECT_EQ(listed(Action(KindDelay, 2000)), (RowTexts{"延遲2000毫秒", "1"}));
    EXPECT_EQ(listed(Say(" hi ")), (RowTexts{"輸入本文  hi ", "1"}));
    EXPECT_EQ(listed(ScriptAction::EndMarker()), (RowTexts{"", ""}));
    // A panel's text row has no space after the name.
    EXPECT_EQ(InsertedRowTexts(Say(" hi "), names, kUnit), (RowTexts{"輸入本文 hi ", "1"}));
    EXPECT_EQ(InsertedRowTexts(Action(KindDelay, 3), names, kUnit), (RowTexts{"延遲3毫秒", "1"}));
}

// A wheel row reads as the panel item that made it, with the notches.
TEST(RowTexts, WheelRowsNameTheirDirectionAndCountNotches) {
    const std::string names11 = std::string(kNames11) + "中鍵單擊\n中鍵按下\n中鍵彈起\n側鍵1單擊\n側鍵1按下\n側鍵1彈起\n"
                                "側鍵2單擊\n側鍵2按下\n側鍵2彈起\n滾輪\n水平滾輪\n";
    const KindNames names(names11, Edition::V11, "\n向上\n向下\n向左\n向右\n");
    auto listed = [&](const ScriptAction& a) { return ListedRowTexts(a, names, kUnit); };
    EXPECT_EQ(listed(Action(KindX1Down, 2)), (RowTexts{"側鍵1按下", "2"}));
    EXPECT_EQ(listed(Action(KindWheel, 360)), (RowTexts{"滾輪向上", "3"}));
    EXPECT_EQ(listed(Action(KindWheel, -120)), (RowTexts{"滾輪向下", "1"}));
    EXPECT_EQ(listed(Action(KindHWheel, -60)), (RowTexts{"水平滾輪向左", "0.5"}));
    EXPECT_EQ(listed(Action(KindHWheel, 280)), (RowTexts{"水平滾輪向右", "2.33"}));
    EXPECT_EQ(listed(Action(KindWheel, INT32_MIN)), (RowTexts{"滾輪向下", "17895697.07"}));
    EXPECT_EQ(listed(Action(KindWheel, 0)), (RowTexts{"滾輪向上", ""}));
    EXPECT_EQ(InsertedRowTexts(Action(KindHWheel, 120), names, kUnit), (RowTexts{"水平滾輪向右", "1"}));
}

TEST(RowTexts, TheClassicEditionNamesItsLaterKindsFromItsShorterList) {
    const KindNames names(kNames10, Edition::V10);
    EXPECT_EQ(names.Name(KindMoveR), "") << "no MoveR in this edition";
    EXPECT_EQ(names.Name(KindDelay), "延時");
    EXPECT_EQ(names.Name(KindEndMarker), "");
    EXPECT_EQ(ListedRowTexts(Action(KindDelay, 5), names, kUnit).action, "延時5毫秒");
    EXPECT_EQ(InsertedRowTexts(Say("x"), names, kUnit).action, "輸入文本 x") << "the name's own space";
    // A short or empty list leaves names empty rather than reading past it.
    const KindNames none("", Edition::V11);
    EXPECT_EQ(ListedRowTexts(Action(KindKeyPress, 65, 1), none, kUnit), (RowTexts{"<A>", "1"}));
}

TEST(RowColor, ByCategory) {
    const uint32_t colors[] = {0xCCCCFFu, 0xFFFFAAu, 0xFFBBBBu, 0xCCFFCCu, 0xAAFFFFu, 0xEEEEEEu};
    const int32_t categories[] = {CategoryKey, CategoryButton, CategoryMove, CategoryDelay, CategoryText, CategoryEnd};
    for (size_t i = 0; i < 6; ++i) EXPECT_EQ(RowColor(categories[i]), colors[i]) << categories[i];
    EXPECT_EQ(RowColor(42), 0xEEEEEEu);
}

}  // namespace
}  // namespace tarvix
