// The action-line grammar as script files hold it, in both editions.
#include <gtest/gtest.h>

#include <tuple>

#include "script_action.h"

namespace tarvix {
namespace {

// The kind and numbers a line reads as, or "ignored".
std::string Read(std::string_view line, Edition edition = Edition::V11) {
    ScriptAction a;
    if (!ParseActionLine(line, edition, a)) return "ignored";
    return std::to_string(a.kind) + " " + std::to_string(a.param1) + " " + std::to_string(a.param2) +
           (a.text.empty() ? "" : "|" + a.text);
}

// Numbers by category, in any case and white space, wrapping like the
// runtime; a missing or bad number leaves its parameter and those after it
// 0. A word selects the first keyword containing it; kinds added later sit
// after SayString, so every word that named a kind before still names it.
TEST(ActionLineRead, KeywordsAndNumbers) {
    const std::pair<const char*, const char*> cases[] = {
        {"KeyPress 65 1", "0 65 1"},        {"KeyDown 17 1", "1 17 1"},          {"KeyUp 17 1", "2 17 1"},
        {"LeftClick +3 99", "3 3 0"},       {"RightClick 1", "4 1 0"},           {"LeftDoubleClick 1", "5 1 0"},
        {"LeftDown 1", "6 1 0"},            {"LeftUp 1", "7 1 0"},               {"RightDown 1", "8 1 0"},
        {"RightUp 1", "9 1 0"},             {"mOvEtO   300 \t  -7 words", "10 300 -7"}, {"MoveR -10 5", "11 -10 5"},
        {"Delay 500 ms", "12 500 0"},       {"SayString x", "13 0 0|x"},         {"MiddleClick 2", "14 2 0"},
        {"middledown 1", "15 1 0"},         {"MiddleUp 1", "16 1 0"},            {"X1Click 3", "17 3 0"},
        {"X1Down 1", "18 1 0"},             {"X1Up 1", "19 1 0"},                {"X2Click 1", "20 1 0"},
        {"X2Down 1", "21 1 0"},             {"X2Up 1", "22 1 0"},                {"Wheel -360", "23 -360 0"},
        {"HWheel 60", "24 60 0"},           {"MoveIn -5 7", "25 -5 7"},          {"keypress\t65\t1", "0 65 1"},
        {"KeyPress 65", "0 65 0"},          {"KeyPress x 5", "0 0 0"},           {"Delay 4294967295", "12 -1 0"},
        {"Delay 4294967296", "12 0 0"},     {"Delay -2147483648", "12 -2147483648 0"},
        {"DOWN 65 1", "1 65 1"},            {"Click 2", "3 2 0"},                {"Move 3 4", "10 3 4"},
        {"ay hi", "12 0 0"},                {"ays hi", "13 0 0"},                {"Up 1 1", "2 1 1"},
        // The text is the line after ten characters; a NUL ends the line.
        {"SayString  two", "13 0 0| two"},  {"SayString ", "13 0 0"},            {"SayString a", "13 0 0|a"},
        {"Say Hello", "13 0 0"},            {"saystring 100% sure", "13 0 0|100% sure"},
        {"SayString \xA4\xA4\xA4\xE5", "13 0 0|\xA4\xA4\xA4\xE5"},
        // Unknown words; a long first word is matched on its first 255 characters.
        {"Foo 1 2", "ignored"}, {"[Other]", "ignored"}, {"Enable=0", "ignored"}, {"KeyPressX 65 1", "ignored"},
        {"\v\f", "ignored"},    {"", "ignored"},
    };
    for (const auto& [line, read] : cases) EXPECT_EQ(Read(line), read) << line;
    EXPECT_EQ(Read(std::string("SayString ab\0cd", 15)), "13 0 0|ab");
    EXPECT_EQ(Read("KeyPress" + std::string(300, 'x') + " 65 1"), "ignored");
    EXPECT_EQ(Read(std::string(255, 'Q') + " 1"), "ignored");
}

TEST(ActionLineRead, CategoriesOfEveryKind) {
    const int32_t categories[] = {0, 0, 0, 1, 1, 1, 1, 1, 1, 1, 2, 2, 3, 4, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 2, 5};
    for (int32_t kind = 0; kind <= KindEndMarker; ++kind) EXPECT_EQ(CategoryOfKind(kind), categories[kind]) << kind;
}

TEST(ActionLineEdition10, HasNoMoveRAndNoLaterKindsAndCountsTheRestOneLower) {
    const std::pair<const char*, const char*> cases[] = {{"MoveR -10 5", "ignored"}, {"MiddleClick 1", "ignored"},
        {"X1Up 1", "ignored"}, {"X2Down 2", "ignored"}, {"Wheel -120", "ignored"}, {"HWheel 240", "ignored"},
        {"MoveIn 5 6", "ignored"}, {"Delay 5", "12 5 0"}, {"Move 1 2", "10 1 2"}};
    for (const auto& [line, read] : cases) EXPECT_EQ(Read(line, Edition::V10), read) << line;
    EXPECT_EQ(EditionKindNumber(Edition::V10, KindMoveTo), 10);
    EXPECT_EQ(EditionKindNumber(Edition::V10, KindEndMarker), 13);
    EXPECT_EQ(EditionKindNumber(Edition::V11, KindEndMarker), 26);
    EXPECT_EQ(KeywordList(Edition::V10), "\nKeyPress\nKeyDown\nKeyUp\nLeftClick\nRightClick\nLeftDoubleClick\n"
                                         "LeftDown\nLeftUp\nRightDown\nRightUp\nMoveTo\nDelay\nSayString\n");
}

TEST(ActionLineWrite, WrittenFormByCategoryAndEdition) {
    const std::tuple<ScriptAction, Edition, const char*> cases[] = {
        {{CategoryKey, KindKeyPress, "", 0x12340041, 1}, Edition::V11, "KeyPress 65 1"},  // the low 16 bits
        {{CategoryButton, KindLeftClick, "", -1, 7}, Edition::V11, "LeftClick -1"},
        {{CategoryMove, KindMoveR, "", -10, 5}, Edition::V11, "MoveR -10 5"},
        {{CategoryMove, KindMoveIn, "", 10, -3}, Edition::V11, "MoveIn 10 -3"},
        {{CategoryDelay, KindDelay, "", 500, 0}, Edition::V11, "Delay 500"},
        {{CategoryText, KindSayString, "50% %s %d", 0, 0}, Edition::V11, "SayString 50% %s %d"},
        {{CategoryText, KindSayString, "a\nKeyPress 13 1", 0, 0}, Edition::V11, "SayString a KeyPress 13 1"},
        {{CategoryButton, KindX2Up, "", 1, 0}, Edition::V11, "X2Up 1"},
        {{CategoryButton, KindWheel, "", -240, 0}, Edition::V11, "Wheel -240"},
        {ScriptAction::EndMarker(), Edition::V11, ""},
        {{CategoryMove, KindMoveR, "", 1, 1}, Edition::V10, ""},
        {{CategoryButton, KindWheel, "", 120, 0}, Edition::V10, ""},
    };
    for (const auto& [action, edition, line] : cases) EXPECT_EQ(FormatActionLine(action, edition), line);
}

TEST(ActionLineRoundTrip, WrittenLinesReadBackAsTheSameAction) {
    const ScriptAction actions[] = {
        {CategoryKey, KindKeyDown, "", 0xFFFF, -3},     {CategoryButton, KindRightUp, "", 2147483647, 0},
        {CategoryMove, KindMoveTo, "", -1920, 1080},    {CategoryDelay, KindDelay, "", -1, 0},
        {CategoryText, KindSayString, "  lead", 0, 0},
    };
    for (const ScriptAction& a : actions)
        for (Edition e : {Edition::V10, Edition::V11}) {
            ScriptAction back;
            EXPECT_TRUE(ParseActionLine(FormatActionLine(a, e), e, back));
            EXPECT_EQ(back, a) << FormatActionLine(a, e);
        }
}

}  // namespace
}  // namespace tarvix
