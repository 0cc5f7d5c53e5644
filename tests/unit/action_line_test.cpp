// The action-line grammar as script files hold it, in both editions.
#include <gtest/gtest.h>

#include "script_action.h"

namespace tarvix {
namespace {

ScriptAction Parse(std::string_view line, Edition edition = Edition::V11) {
    ScriptAction action;
    action.kind = -1;
    EXPECT_TRUE(ParseActionLine(line, edition, action)) << line;
    return action;
}

bool Ignored(std::string_view line, Edition edition = Edition::V11) {
    ScriptAction action;
    return !ParseActionLine(line, edition, action);
}

TEST(ActionLineRead, EveryKeywordSelectsItsKind) {
    struct Case { const char* line; int32_t kind; int32_t category; };
    const Case cases[] = {
        {"KeyPress 65 1", KindKeyPress, CategoryKey},       {"KeyDown 17 1", KindKeyDown, CategoryKey},
        {"KeyUp 17 1", KindKeyUp, CategoryKey},             {"LeftClick 1", KindLeftClick, CategoryButton},
        {"RightClick 1", KindRightClick, CategoryButton},   {"LeftDoubleClick 1", KindLeftDoubleClick, CategoryButton},
        {"LeftDown 1", KindLeftDown, CategoryButton},       {"LeftUp 1", KindLeftUp, CategoryButton},
        {"RightDown 1", KindRightDown, CategoryButton},     {"RightUp 1", KindRightUp, CategoryButton},
        {"MoveTo 1 2", KindMoveTo, CategoryMove},           {"MoveR 1 2", KindMoveR, CategoryMove},
        {"Delay 5", KindDelay, CategoryDelay},              {"SayString x", KindSayString, CategoryText},
    };
    for (const Case& c : cases) {
        const ScriptAction a = Parse(c.line);
        EXPECT_EQ(a.kind, c.kind) << c.line;
        EXPECT_EQ(a.category, c.category) << c.line;
    }
}

// Numbers by category, in any case and white space, wrapping like the
// runtime; a missing or bad number leaves its parameter and those after it 0.
TEST(ActionLineRead, ParametersByCategory) {
    struct Case { const char* line; int32_t kind, param1, param2; };
    const Case cases[] = {
        {"KeyPress 65 1", KindKeyPress, 65, 1},
        {"MoveR -10 5", KindMoveR, -10, 5},
        {"Delay 500 ms", KindDelay, 500, 0},
        {"LeftClick +3 99", KindLeftClick, 3, 0},  // a button action reads one number only
        {"keypress\t65\t1", KindKeyPress, 65, 1},
        {"mOvEtO   300 \t  -7 trailing words", KindMoveTo, 300, -7},
        {"KeyPress", KindKeyPress, 0, 0},
        {"KeyPress 65", KindKeyPress, 65, 0},
        {"KeyPress x 5", KindKeyPress, 0, 0},
        {"Delay - 5", KindDelay, 0, 0},
        {"Delay 12abc", KindDelay, 12, 0},
        {"Delay 4294967295", KindDelay, -1, 0},
        {"Delay 4294967296", KindDelay, 0, 0},
        {"Delay -2147483648", KindDelay, INT32_MIN, 0},
        // A word selects the first keyword containing it.
        {"press 65 1", KindKeyPress, 65, 1},
        {"DOWN 65 1", KindKeyDown, 65, 1},
        {"Click 2", KindLeftClick, 2, 0},
        {"Move 3 4", KindMoveTo, 3, 4},
        {"R 65 1", KindKeyPress, 65, 1},
        {"Double 1", KindLeftDoubleClick, 1, 0},
        {"ay hi", KindDelay, 0, 0},  // DELAY comes before SAYSTRING
        {"ays hi", KindSayString, 0, 0},
    };
    for (const Case& c : cases) {
        const ScriptAction a = Parse(c.line);
        EXPECT_EQ(a.kind, c.kind) << c.line;
        EXPECT_EQ(a.param1, c.param1) << c.line;
        EXPECT_EQ(a.param2, c.param2) << c.line;
    }
}

TEST(ActionLineRead, UnknownWordsAreIgnored) {
    for (const char* line : {"Foo 1 2", "[Other]", "Enable=0", "KeyPressX 65 1", "\v\f", ""})
        EXPECT_TRUE(Ignored(line)) << line;
    // A long first word is matched on its first 255 characters.
    EXPECT_TRUE(Ignored("KeyPress" + std::string(300, 'x') + " 65 1"));
    EXPECT_TRUE(Ignored(std::string(255, 'Q') + " 1"));  // no keyword holds Q
}

TEST(ActionLineRead, TextIsTheLineAfterTenCharacters) {
    EXPECT_EQ(Parse("SayString Hello world").text, "Hello world");
    EXPECT_EQ(Parse("SayString").text, "");
    EXPECT_EQ(Parse("SayString ").text, "");
    EXPECT_EQ(Parse("SayString a").text, "a");
    EXPECT_EQ(Parse("SayString  two").text, " two");
    EXPECT_EQ(Parse("Say Hello").text, "") << "nine characters: the text is empty";
    EXPECT_EQ(Parse("saystring 100% sure").text, "100% sure");
    EXPECT_EQ(Parse("SayString \xA4\xA4\xA4\xE5").text, "\xA4\xA4\xA4\xE5");
}

TEST(ActionLineRead, LineEndsAtNul) { EXPECT_EQ(Parse(std::string("SayString ab\0cd", 15)).text, "ab"); }

TEST(ActionLineEdition10, HasNoMoveRAndCountsLaterKindsOneLower) {
    EXPECT_TRUE(Ignored("MoveR -10 5", Edition::V10));
    for (const char* line : {"MiddleClick 1", "X1Up 1", "X2Down 2", "Wheel -120", "HWheel 240", "MoveIn 5 6"})
        EXPECT_TRUE(Ignored(line, Edition::V10)) << line;
    EXPECT_EQ(Parse("Delay 5", Edition::V10).kind, KindDelay);
    EXPECT_EQ(EditionKindNumber(Edition::V10, KindDelay), 11);
    EXPECT_EQ(EditionKindNumber(Edition::V10, KindSayString), 12);
    EXPECT_EQ(EditionKindNumber(Edition::V10, KindEndMarker), 13);
    EXPECT_EQ(EditionKindNumber(Edition::V10, KindMoveTo), 10);
    EXPECT_EQ(EditionKindNumber(Edition::V11, KindEndMarker), 26);
    EXPECT_EQ(Parse("Move 1 2", Edition::V10).kind, KindMoveTo);
    EXPECT_EQ(KeywordList(Edition::V10).find("MoveR"), std::string::npos);
    EXPECT_EQ(KeywordList(Edition::V11).front(), '\n');
    EXPECT_EQ(KeywordList(Edition::V11).back(), '\n');
}

// Kinds added later sit after SayString, so every word that named a kind
// before still names the same one.
TEST(ActionLineRead, LaterKindsOfEdition11) {
    struct Case {
        const char* line;
        int32_t kind, category, param1, param2;
    };
    for (const Case& c : std::initializer_list<Case>{
             {"MiddleClick 2", 14, 1, 2, 0},  {"middledown 1", 15, 1, 1, 0}, {"MiddleUp 1", 16, 1, 1, 0},
             {"X1Click 3", 17, 1, 3, 0},      {"X1Down 1", 18, 1, 1, 0},     {"X1Up 1", 19, 1, 1, 0},
             {"X2Click 1", 20, 1, 1, 0},      {"X2Down 1", 21, 1, 1, 0},     {"X2Up 1", 22, 1, 1, 0},
             {"Wheel -360", 23, 1, -360, 0},  {"HWheel 60", 24, 1, 60, 0},   {"MoveIn -5 7", 25, 2, -5, 7},
             {"Middle 1", 14, 1, 1, 0},       {"Up 1 1", 2, 0, 1, 1},        {"In x", 13, 4, 0, 0},
             {"Move 1 2", 10, 2, 1, 2},       {"Click 1", 3, 1, 1, 0},       {"Wheel", 23, 1, 0, 0},
         }) {
        const ScriptAction a = Parse(c.line);
        EXPECT_EQ(a.kind, c.kind) << c.line;
        EXPECT_EQ(a.category, c.category) << c.line;
        EXPECT_EQ(a.param1, c.param1) << c.line;
        EXPECT_EQ(a.param2, c.param2) << c.line;
    }
    EXPECT_EQ(FormatActionLine({CategoryButton, KindWheel, "", -240, 0}, Edition::V11), "Wheel -240");
    EXPECT_EQ(FormatActionLine({CategoryButton, KindX2Up, "", 1, 0}, Edition::V11), "X2Up 1");
    EXPECT_EQ(FormatActionLine({CategoryMove, KindMoveIn, "", 10, -3}, Edition::V11), "MoveIn 10 -3");
    EXPECT_EQ(FormatActionLine({CategoryButton, KindWheel, "", 120, 0}, Edition::V10), "");
}

TEST(ActionLineWrite, WrittenFormByCategory) {
    ScriptAction key{CategoryKey, KindKeyPress, "", 65, 1};
    EXPECT_EQ(FormatActionLine(key, Edition::V11), "KeyPress 65 1");
    key.param1 = 0x12340041;
    EXPECT_EQ(FormatActionLine(key, Edition::V11), "KeyPress 65 1") << "only the low 16 bits are written";
    EXPECT_EQ(FormatActionLine({CategoryButton, KindLeftClick, "", -1, 7}, Edition::V11), "LeftClick -1");
    EXPECT_EQ(FormatActionLine({CategoryMove, KindMoveR, "", -10, 5}, Edition::V11), "MoveR -10 5");
    EXPECT_EQ(FormatActionLine({CategoryDelay, KindDelay, "", 500, 0}, Edition::V11), "Delay 500");
    EXPECT_EQ(FormatActionLine({CategoryText, KindSayString, "50% %s %d", 0, 0}, Edition::V11),
              "SayString 50% %s %d");
    EXPECT_EQ(FormatActionLine(ScriptAction::EndMarker(), Edition::V11), "");
    EXPECT_EQ(FormatActionLine({CategoryMove, KindMoveR, "", 1, 1}, Edition::V10), "");
}

TEST(ActionLineWrite, LineEndInTextCannotStartAnotherAction) {
    const ScriptAction text{CategoryText, KindSayString, "a\nKeyPress 13 1", 0, 0};
    const std::string line = FormatActionLine(text, Edition::V11);
    EXPECT_EQ(line.find('\n'), std::string::npos);
    EXPECT_EQ(Parse(line).kind, KindSayString);
}

TEST(ActionLineRoundTrip, WrittenLinesReadBackAsTheSameAction) {
    const ScriptAction actions[] = {
        {CategoryKey, KindKeyDown, "", 0xFFFF, -3},     {CategoryButton, KindRightUp, "", 2147483647, 0},
        {CategoryMove, KindMoveTo, "", -1920, 1080},    {CategoryDelay, KindDelay, "", -1, 0},
        {CategoryText, KindSayString, "  lead", 0, 0},
    };
    for (const ScriptAction& a : actions) {
        for (Edition e : {Edition::V10, Edition::V11}) {
            const ScriptAction back = Parse(FormatActionLine(a, e), e);
            EXPECT_EQ(back, a) << FormatActionLine(a, e);
        }
    }
}

}  // namespace
}  // namespace tarvix
