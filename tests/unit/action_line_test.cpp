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

TEST(ActionLineRead, ParametersByCategory) {
    ScriptAction a = Parse("KeyPress 65 1");
    EXPECT_EQ(a.param1, 65);
    EXPECT_EQ(a.param2, 1);
    a = Parse("MoveR -10 5");
    EXPECT_EQ(a.param1, -10);
    EXPECT_EQ(a.param2, 5);
    a = Parse("Delay 500 ms");
    EXPECT_EQ(a.param1, 500);
    a = Parse("LeftClick +3 99");
    EXPECT_EQ(a.param1, 3);
    EXPECT_EQ(a.param2, 0) << "a button action reads one number only";
}

TEST(ActionLineRead, AnyCaseAndAnyWhiteSpaceBetweenFields) {
    const ScriptAction a = Parse("keypress\t65\t1");
    EXPECT_EQ(a.kind, KindKeyPress);
    EXPECT_EQ(a.param1, 65);
    EXPECT_EQ(a.param2, 1);
    const ScriptAction b = Parse("mOvEtO   300 \t  -7 trailing words");
    EXPECT_EQ(b.kind, KindMoveTo);
    EXPECT_EQ(b.param1, 300);
    EXPECT_EQ(b.param2, -7);
}

TEST(ActionLineRead, WordSelectsFirstKeywordContainingIt) {
    EXPECT_EQ(Parse("press 65 1").kind, KindKeyPress);
    EXPECT_EQ(Parse("DOWN 65 1").kind, KindKeyDown);
    EXPECT_EQ(Parse("Click 2").kind, KindLeftClick);
    EXPECT_EQ(Parse("Move 3 4").kind, KindMoveTo);
    EXPECT_EQ(Parse("R 65 1").kind, KindKeyPress);
    EXPECT_EQ(Parse("Double 1").kind, KindLeftDoubleClick);
    EXPECT_EQ(Parse("ay hi").kind, KindDelay) << "DELAY comes before SAYSTRING";
    EXPECT_EQ(Parse("ays hi").kind, KindSayString);
}

TEST(ActionLineRead, UnknownWordsAreIgnored) {
    EXPECT_TRUE(Ignored("Foo 1 2"));
    EXPECT_TRUE(Ignored("[Other]"));
    EXPECT_TRUE(Ignored("Enable=0"));
    EXPECT_TRUE(Ignored("KeyPressX 65 1"));
    EXPECT_TRUE(Ignored("\v\f"));
    EXPECT_TRUE(Ignored(""));
}

TEST(ActionLineRead, MissingOrBadNumbersLeaveParametersUnset) {
    ScriptAction a = Parse("KeyPress");
    EXPECT_EQ(a.param1, 0);
    EXPECT_EQ(a.param2, 0);
    a = Parse("KeyPress 65");
    EXPECT_EQ(a.param1, 65);
    EXPECT_EQ(a.param2, 0);
    a = Parse("KeyPress x 5");
    EXPECT_EQ(a.param1, 0);
    EXPECT_EQ(a.param2, 0) << "the second number is not read once the first fails";
    a = Parse("Delay - 5");
    EXPECT_EQ(a.param1, 0);
    a = Parse("Delay 12abc");
    EXPECT_EQ(a.param1, 12);
}

TEST(ActionLineRead, NumbersWrapLikeTheRuntime) {
    EXPECT_EQ(Parse("Delay 4294967295").param1, -1);
    EXPECT_EQ(Parse("Delay 4294967296").param1, 0);
    EXPECT_EQ(Parse("Delay -2147483648").param1, INT32_MIN);
}

TEST(ActionLineRead, TextIsTheLineAfterTenCharacters) {
    EXPECT_EQ(Parse("SayString Hello world").text, "Hello world");
    EXPECT_EQ(Parse("SayString").text, "");
    EXPECT_EQ(Parse("SayString ").text, "");
    EXPECT_EQ(Parse("SayString  two").text, " two");
    EXPECT_EQ(Parse("Say Hello").text, "") << "nine characters: the text is empty";
    EXPECT_EQ(Parse("saystring 100% sure").text, "100% sure");
    EXPECT_EQ(Parse("SayString \xA4\xA4\xA4\xE5").text, "\xA4\xA4\xA4\xE5");
}

TEST(ActionLineRead, LongFirstWordIsMatchedOnItsFirst255Characters) {
    const std::string longWord = "KeyPress" + std::string(300, 'x') + " 65 1";
    EXPECT_TRUE(Ignored(longWord));
    std::string word = std::string(255, 'Q');  // no keyword holds Q
    EXPECT_TRUE(Ignored(word + " 1"));
}

TEST(ActionLineRead, LineEndsAtNul) {
    const std::string line("SayString ab\0cd", 15);
    EXPECT_EQ(Parse(line).text, "ab");
}

TEST(ActionLineEdition10, HasNoMoveRAndCountsLaterKindsOneLower) {
    EXPECT_TRUE(Ignored("MoveR -10 5", Edition::V10));
    EXPECT_EQ(Parse("Delay 5", Edition::V10).kind, KindDelay);
    EXPECT_EQ(EditionKindNumber(Edition::V10, KindDelay), 11);
    EXPECT_EQ(EditionKindNumber(Edition::V10, KindSayString), 12);
    EXPECT_EQ(EditionKindNumber(Edition::V10, KindEndMarker), 13);
    EXPECT_EQ(EditionKindNumber(Edition::V10, KindMoveTo), 10);
    EXPECT_EQ(EditionKindNumber(Edition::V11, KindEndMarker), 14);
    EXPECT_EQ(Parse("Move 1 2", Edition::V10).kind, KindMoveTo);
    EXPECT_EQ(KeywordList(Edition::V10).find("MoveR"), std::string::npos);
    EXPECT_EQ(KeywordList(Edition::V11).front(), '\n');
    EXPECT_EQ(KeywordList(Edition::V11).back(), '\n');
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
