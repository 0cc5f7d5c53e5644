// Script files: the written layout, loading, round trips between editions,
// and the naming of new files.
#include <gtest/gtest.h>

#include <optional>
#include <utility>
#include <vector>

#include "script.h"
#include "temp_folder.h"

namespace tarvix {
namespace {

using testing::TempFolder;

const char kExample11[] =
    "[General]\r\n"
    "Description=Test\r\n"
    "BeginHotkey=116\r\n"
    "BeginHotkeyMod=2\r\n"
    "RunOnce=1\r\n"
    "Enable=1\r\n"
    "[Repeat]\r\n"
    "Type=0\r\n"
    "Number=3\r\n"
    "\r\n"
    "[Script]\r\n"
    "KeyPress 65 1\r\n"
    "Delay 500\r\n"
    "LeftClick 1\r\n"
    "MoveTo 512 384\r\n"
    "SayString Hello world\r\n";

const char kExample10[] =
    "[General]\r\n"
    "Description=Test\r\n"
    "BeginHotkey=116\r\n"
    "BeginHotkeyMod=2\r\n"
    "Enable=1\r\n"
    "[Repeat]\r\n"
    "Type=0\r\n"
    "Number=3\r\n"
    "[Script]\r\n"
    "KeyPress 65 1\r\n"
    "Delay 500\r\n"
    "LeftClick 1\r\n"
    "MoveTo 512 384\r\n"
    "SayString Hello world\r\n";

CScript Example(Edition edition) {
    CScript s(edition);
    s.SetProperties("Test", 116, 2, RepeatCount, 3);
    s.m_runOnce = 1;
    s.m_fileName = "Test1.txt";
    s.m_actions = {
        {CategoryKey, KindKeyPress, "", 65, 1},      {CategoryDelay, KindDelay, "", 500, 0},
        {CategoryButton, KindLeftClick, "", 1, 0},   {CategoryMove, KindMoveTo, "", 512, 384},
        {CategoryText, KindSayString, "Hello world", 0, 0}, ScriptAction::EndMarker(),
    };
    return s;
}

std::vector<ScriptAction> Actions(const CScript& s) { return {s.m_actions.begin(), s.m_actions.end()}; }

CScript LoadFrom(const TempFolder& dir, const std::string& name, Edition edition = Edition::V11) {
    CScript s(edition);
    s.Load(dir.path(), name);
    return s;
}

TEST(ScriptLayout, WorkedExampleBytesInBothEditions) {
    EXPECT_EQ(Example(Edition::V11).SerializedText(), kExample11);
    EXPECT_EQ(Example(Edition::V10).SerializedText(), kExample10);

    TempFolder dir;
    ASSERT_TRUE(Example(Edition::V11).Save(dir.path()));
    EXPECT_EQ(dir.Read("Test1.txt"), kExample11);
    EXPECT_EQ(dir.Count(), 1u) << "no temporary file is left beside the script";
}

TEST(ScriptLayout, EnableIsWrittenFromTheRecord) {
    CScript s = Example(Edition::V11);
    s.m_enabled = 0;
    EXPECT_NE(s.SerializedText().find("Enable=0\r\n"), std::string::npos);
    s.m_enabled = 7;
    EXPECT_NE(s.SerializedText().find("Enable=1\r\n"), std::string::npos);
}

TEST(ScriptLayout, SixteenBitFieldsAreUnsignedAndNumberSigned) {
    CScript s = Example(Edition::V11);
    s.SetProperties("x", 0xFFFF, 0x8001, 0xFFFF, -1);
    const std::string text = s.SerializedText();
    EXPECT_NE(text.find("BeginHotkey=65535\r\n"), std::string::npos);
    EXPECT_NE(text.find("BeginHotkeyMod=32769\r\n"), std::string::npos);
    EXPECT_NE(text.find("Type=65535\r\n"), std::string::npos);
    EXPECT_NE(text.find("Number=-1\r\n"), std::string::npos);
}

TEST(ScriptLayout, NoActionsStillWritesTheScriptHeader) {
    CScript s(Edition::V11);
    s.m_actions = {ScriptAction::EndMarker()};
    const std::string text = s.SerializedText();
    EXPECT_EQ(text.substr(text.size() - 12), "\r\n[Script]\r\n");
}

TEST(ScriptLayout, LineEndInDescriptionCannotInjectLines) {
    CScript s = Example(Edition::V11);
    s.m_description = "a\r\n[Script]\r\nKeyPress 13 1";
    TempFolder dir;
    ASSERT_TRUE(s.Save(dir.path()));
    const CScript back = LoadFrom(dir, "Test1.txt");
    EXPECT_EQ(Actions(back), Actions(s));
    EXPECT_EQ(back.m_description, "a  [Script]  KeyPress 13 1");
}

TEST(ScriptLoad, WorkedExampleLoadsAsFiveActionsAndTheEndMarker) {
    TempFolder dir;
    dir.Write("Test1.txt", kExample11);
    const CScript s = LoadFrom(dir, "Test1.txt");
    EXPECT_EQ(s.m_fileName, "Test1.txt");
    EXPECT_EQ(s.m_description, "Test");
    EXPECT_EQ(s.m_beginHotkey, 116);
    EXPECT_EQ(s.m_beginHotkeyMod, 2);
    EXPECT_EQ(s.m_repeatType, RepeatCount);
    EXPECT_EQ(s.m_repeatNumber, 3);
    EXPECT_EQ(s.m_runOnce, 1);
    EXPECT_EQ(s.m_enabled, 1);
    EXPECT_FALSE(s.m_running->IsSet());
    EXPECT_EQ(Actions(s), Actions(Example(Edition::V11)));
}

TEST(ScriptLoad, MissingKeysGiveDefaults) {
    TempFolder dir;
    dir.Write("a.txt", "[Script]\r\nDelay 1\r\n");
    const CScript s = LoadFrom(dir, "a.txt");
    EXPECT_EQ(s.m_enabled, 1);
    EXPECT_EQ(s.m_description, "");
    EXPECT_EQ(s.m_beginHotkey, 123);
    EXPECT_EQ(s.m_beginHotkeyMod, 0);
    EXPECT_EQ(s.m_repeatType, 0);
    EXPECT_EQ(s.m_repeatNumber, 1);
    EXPECT_EQ(s.m_runOnce, 1);
    EXPECT_EQ(s.m_actions.size(), 2u);
}

TEST(ScriptLoad, UnreadableFileGivesDefaultsAndOnlyTheEndMarker) {
    TempFolder dir;
    const CScript s = LoadFrom(dir, "missing.txt");
    EXPECT_EQ(s.m_fileName, "missing.txt");
    EXPECT_EQ(s.m_beginHotkey, 123);
    ASSERT_EQ(s.m_actions.size(), 1u);
    EXPECT_EQ(s.m_actions.back().kind, KindEndMarker);
    EXPECT_EQ(dir.Count(), 0u) << "loading writes nothing";
}

TEST(ScriptLoad, FileWithoutScriptSectionHasOnlyTheEndMarker) {
    TempFolder dir;
    dir.Write("a.txt", "[General]\r\nDescription=x\r\nKeyPress 65 1\r\n");
    const CScript s = LoadFrom(dir, "a.txt");
    ASSERT_EQ(s.m_actions.size(), 1u) << "lines before [Script] are never actions";
    EXPECT_EQ(s.m_description, "x");
}

TEST(ScriptLoad, ScriptHeaderInAnyCaseWithSpaces) {
    TempFolder dir;
    dir.Write("a.txt", "\t [sCRIPT]  \nKeyPress 65 1\n\n  \nEnable=0\n[Other]\nDelay 3");
    const CScript s = LoadFrom(dir, "a.txt");
    ASSERT_EQ(s.m_actions.size(), 3u);
    EXPECT_EQ(s.m_actions.front().kind, KindKeyPress);
    EXPECT_EQ(std::next(s.m_actions.begin())->param1, 3) << "LF-only file, no final line end";
    EXPECT_EQ(s.m_enabled, 1) << "Enable=0 after [Script] belongs to that section";
}

TEST(ScriptLoad, DescriptionTrimmedAndUnquoted) {
    TempFolder dir;
    dir.Write("a.txt", "[General]\r\nDescription=  \"My  script\"  \r\n");
    EXPECT_EQ(LoadFrom(dir, "a.txt").m_description, "My  script");
}

TEST(ScriptLoad, TextKeepsLeadingSpacesAndLosesTrailingOnes) {
    CScript s = Example(Edition::V11);
    s.m_actions = {{CategoryText, KindSayString, "  a % b  ", 0, 0}, ScriptAction::EndMarker()};
    TempFolder dir;
    ASSERT_TRUE(s.Save(dir.path()));
    EXPECT_NE(dir.Read("Test1.txt").find("SayString   a % b  \r\n"), std::string::npos);
    EXPECT_EQ(LoadFrom(dir, "Test1.txt").m_actions.front().text, "  a % b");
}

TEST(ScriptLoad, LongLinesLoadWhole) {
    CScript s = Example(Edition::V11);
    const std::string text(10000, 'k');
    std::string description;
    for (int i = 0; i < 1000; ++i) description += "\xA4\xA4 KeyPress 13 1 ";
    description += "end";
    s.m_description = description;
    s.m_actions = {{CategoryText, KindSayString, text + "KeyPress 13 1", 0, 0}, ScriptAction::EndMarker()};
    TempFolder dir;
    ASSERT_TRUE(s.Save(dir.path()));
    const CScript back = LoadFrom(dir, "Test1.txt");
    EXPECT_EQ(back.m_description, description);
    ASSERT_EQ(back.m_actions.size(), 2u) << "the tail of a long line never becomes an action";
    EXPECT_EQ(back.m_actions.front().text, text + "KeyPress 13 1");
}

TEST(ScriptLoad, SixteenBitFieldsKeepLowBits) {
    TempFolder dir;
    dir.Write("a.txt", "[General]\r\nBeginHotkey=65601\r\nBeginHotkeyMod=-1\r\n[Repeat]\r\nType=65538\r\n");
    const CScript s = LoadFrom(dir, "a.txt");
    EXPECT_EQ(s.m_beginHotkey, 65);
    EXPECT_EQ(s.m_beginHotkeyMod, 0xFFFF);
    EXPECT_EQ(s.m_repeatType, 2);
}

TEST(ScriptRoundTrip, SaveThenLoadGivesTheSameRecord) {
    for (Edition e : {Edition::V10, Edition::V11}) {
        CScript s = Example(e);
        s.m_enabled = 0;
        s.SetProperties("\xB4\xFA\xB8\xD5 test", 0x74, 7, RepeatSeconds, 90);
        TempFolder dir;
        ASSERT_TRUE(s.Save(dir.path()));
        const CScript back = LoadFrom(dir, s.m_fileName, e);
        EXPECT_EQ(back.m_description, s.m_description);
        EXPECT_EQ(back.m_beginHotkey, s.m_beginHotkey);
        EXPECT_EQ(back.m_beginHotkeyMod, s.m_beginHotkeyMod);
        EXPECT_EQ(back.m_repeatType, s.m_repeatType);
        EXPECT_EQ(back.m_repeatNumber, s.m_repeatNumber);
        EXPECT_EQ(back.m_enabled, 0);
        EXPECT_EQ(Actions(back), Actions(s));
        EXPECT_EQ(back.SerializedText(), s.SerializedText());
    }
}

TEST(ScriptRoundTrip, SaveReplacesTheOldFileWhole) {
    TempFolder dir;
    dir.Write("Test1.txt", std::string(5000, 'x'));
    ASSERT_TRUE(Example(Edition::V11).Save(dir.path()));
    EXPECT_EQ(dir.Read("Test1.txt"), kExample11);
}

TEST(ScriptRoundTrip, FailedSaveReportsAndKeepsTheOldFile) {
    TempFolder dir;
    CScript s = Example(Edition::V11);
    EXPECT_FALSE(s.Save(dir.path() + "no-such-folder/"));
    s.m_fileName.clear();
    EXPECT_FALSE(s.Save(dir.path()));
    EXPECT_EQ(dir.Count(), 0u);
}

TEST(ScriptEditions, FileOfEdition10LoadsIn11WithRunOnceOn) {
    TempFolder dir;
    dir.Write("Test1.txt", kExample10);
    const CScript s = LoadFrom(dir, "Test1.txt", Edition::V11);
    EXPECT_EQ(s.m_runOnce, 1);
    EXPECT_EQ(Actions(s), Actions(Example(Edition::V11)));
}

TEST(ScriptEditions, FileOfEdition11LoadsIn10WithoutMoveR) {
    CScript s = Example(Edition::V11);
    s.m_actions.insert(s.m_actions.begin(), {CategoryMove, KindMoveR, "", -10, 5});
    TempFolder dir;
    ASSERT_TRUE(s.Save(dir.path()));
    const CScript classic = LoadFrom(dir, "Test1.txt", Edition::V10);
    EXPECT_EQ(Actions(classic), Actions(Example(Edition::V10)));
    EXPECT_EQ(classic.m_runOnce, 0) << "edition 1.0 has no run-once flag to play by";
    EXPECT_EQ(classic.m_unreadLineCount, 1);
}

// A script made in edition 1.1 with relative moves and the run-once box
// unticked, as a user who keeps both editions has it.
const char kMadeIn11[] =
    "[General]\r\n"
    "Description=Test\r\n"
    "BeginHotkey=116\r\n"
    "BeginHotkeyMod=2\r\n"
    "RunOnce=0\r\n"
    "Enable=1\r\n"
    "[Repeat]\r\n"
    "Type=0\r\n"
    "Number=3\r\n"
    "\r\n"
    "[Script]\r\n"
    "KeyPress 65 1\r\n"
    "MoveR -10 5\r\n"
    "Delay 500\r\n"
    "MoveR 3 -4\r\n";

TEST(ScriptEditions, SaveIn10KeepsTheRunOnceOf11AndLeavesOutMoveR) {
    TempFolder dir;
    dir.Write("Test1.txt", kMadeIn11);
    CScript classic = LoadFrom(dir, "Test1.txt", Edition::V10);
    ASSERT_EQ(classic.m_keptRunOnce, std::optional<int32_t>(0));
    EXPECT_EQ(classic.m_unreadLineCount, 2);
    EXPECT_EQ(LinesToConfirmBeforeSaving(classic), 2);

    classic.m_description = "Renamed";
    ASSERT_TRUE(classic.Save(dir.path()));
    EXPECT_EQ(dir.Read("Test1.txt"),
              "[General]\r\n"
              "Description=Renamed\r\n"
              "BeginHotkey=116\r\n"
              "BeginHotkeyMod=2\r\n"
              "RunOnce=0\r\n"
              "Enable=1\r\n"
              "[Repeat]\r\n"
              "Type=0\r\n"
              "Number=3\r\n"
              "[Script]\r\n"
              "KeyPress 65 1\r\n"
              "Delay 500\r\n");

    const CScript back11 = LoadFrom(dir, "Test1.txt", Edition::V11);
    EXPECT_EQ(back11.m_runOnce, 0) << "edition 1.1 would refuse to start it while it runs";
    const CScript back10 = LoadFrom(dir, "Test1.txt", Edition::V10);
    EXPECT_EQ(back10.m_keptRunOnce, std::optional<int32_t>(0));
    EXPECT_EQ(back10.m_unreadLineCount, 0) << "nothing left to ask about";
    EXPECT_EQ(back10.SerializedText(), dir.Read("Test1.txt"));
}

TEST(ScriptEditions, RunOnceIsWrittenBackAsEdition11ReadsIt) {
    const std::pair<const char*, const char*> cases[] = {
        {"RunOnce=1", "RunOnce=1\r\n"},
        {"runonce = 0 ", "RunOnce=0\r\n"},
        {"RunOnce=\"0\"", "RunOnce=0\r\n"},
        {"RunOnce=", "RunOnce=1\r\n"},     // an empty value reads as the default
        {"RunOnce=7", "RunOnce=7\r\n"},
        {"RunOnce", nullptr},              // no "=": no key to either edition
    };
    for (const auto& [line, written] : cases) {
        TempFolder dir;
        dir.Write("a.txt", std::string("[General]\r\n") + line + "\r\nBeginHotkey=116\r\n[Script]\r\nDelay 1\r\n");
        const CScript classic = LoadFrom(dir, "a.txt", Edition::V10);
        const CScript current = LoadFrom(dir, "a.txt", Edition::V11);
        const std::string text = classic.SerializedText();
        if (!written) {
            EXPECT_EQ(text.find("RunOnce"), std::string::npos) << line;
            continue;
        }
        EXPECT_NE(text.find(std::string("BeginHotkeyMod=0\r\n") + written + "Enable=1\r\n"), std::string::npos)
            << line << "\n" << text;
        ASSERT_TRUE(classic.m_keptRunOnce) << line;
        EXPECT_EQ(*classic.m_keptRunOnce, current.m_runOnce) << line;
    }
}

TEST(ScriptEditions, OnlyLinesThatNameNoActionAreCounted) {
    TempFolder dir;
    dir.Write("a.txt",
              "[General]\r\nFoo 1 2\r\nMoveR 1 1\r\n"  // before [Script]: never actions
              "[Script]\r\n"
              "\r\n   \r\n\t\r\n"                   // blank lines hold nothing
              "mover 1 2\r\n"                          // MoveR in any case
              "  MOVER\t-1\t-2  \r\n"
              "Move 5 6\r\n"                           // part of a keyword: MoveTo to both
              "R 65 1\r\n"                             // part of KeyPress
              "Delay\r\n"                              // no number, still a delay
              "Foo 1 2\r\n"
              "Enable=0\r\n"
              "[Other]\r\n");
    const CScript classic = LoadFrom(dir, "a.txt", Edition::V10);
    const CScript current = LoadFrom(dir, "a.txt", Edition::V11);
    EXPECT_EQ(classic.m_unreadLineCount, 5);
    EXPECT_EQ(current.m_unreadLineCount, 3);
    EXPECT_EQ(classic.m_actions.size(), 4u);
    EXPECT_EQ(current.m_actions.size(), 6u);
    EXPECT_EQ(LinesToConfirmBeforeSaving(classic), 5);
    EXPECT_EQ(LinesToConfirmBeforeSaving(current), 0) << "edition 1.1 saves as it always has";
}

TEST(ScriptEditions, FilesWithNothingEdition10LacksAreWrittenAsBefore) {
    TempFolder dir;
    dir.Write("Test1.txt", kExample10);
    const CScript classic = LoadFrom(dir, "Test1.txt", Edition::V10);
    EXPECT_FALSE(classic.m_keptRunOnce);
    EXPECT_EQ(LinesToConfirmBeforeSaving(classic), 0);
    ASSERT_TRUE(classic.Save(dir.path()));
    EXPECT_EQ(dir.Read("Test1.txt"), kExample10);

    // Hand-written lines that say nothing are dropped without a question.
    dir.Write("b.txt", std::string(kExample10) + "\r\n \t\r\n");
    EXPECT_EQ(LinesToConfirmBeforeSaving(LoadFrom(dir, "b.txt", Edition::V10)), 0);

    // A new script of edition 1.0 has neither.
    EXPECT_EQ(Example(Edition::V10).SerializedText(), kExample10);
}

TEST(ScriptEditions, LoadingAgainStartsAfresh) {
    TempFolder dir;
    dir.Write("a.txt", kMadeIn11);
    dir.Write("b.txt", kExample10);
    CScript s(Edition::V10);
    s.Load(dir.path(), "a.txt");
    s.m_actions.clear();
    s.Load(dir.path(), "b.txt");
    EXPECT_FALSE(s.m_keptRunOnce);
    EXPECT_EQ(s.m_unreadLineCount, 0);
}

TEST(ChooseFileName, NumbersEachBaseFromOneAndFillsGaps) {
    TempFolder dir;
    auto choose = [&](const std::string& description) {
        CScript s;
        s.m_description = description;
        s.ChooseFileName(dir.path());
        dir.Write(s.m_fileName, "x");
        return s.m_fileName;
    };
    EXPECT_EQ(choose("Test"), "Test1.txt");
    EXPECT_EQ(choose("Test"), "Test2.txt");
    EXPECT_EQ(choose("Te?st"), "Te1.txt");
    EXPECT_EQ(choose("Test again"), "Test again1.txt");
    EXPECT_EQ(choose(""), "NoName1.txt");
    EXPECT_EQ(choose("*star"), "1.txt");
    std::filesystem::remove(dir.file("Test1.txt"));
    EXPECT_EQ(choose("Test"), "Test1.txt");
    EXPECT_EQ(choose("Test"), "Test3.txt");
}

TEST(ChooseFileName, CutsAtEveryCharacterAFileNameCannotHold) {
    const char* cut[] = {"a\\b", "a/b", "a:b", "a\"b", "a<b", "a>b", "a|b", "a*b", "a?b", "a\tb", "a\x01z"};
    for (const char* description : cut) EXPECT_EQ(FileNameBase(description), "a") << description;
    EXPECT_EQ(FileNameBase("a.b c-d_e'f(g)"), "a.b c-d_e'f(g)");
}

TEST(ChooseFileName, DoubleByteCharactersAreNeverCut) {
    // Big5 "許" is B3 5C and "功" is A5 5C: their trail byte is a backslash.
    EXPECT_EQ(FileNameBase("\xB3\x5C\xA5\x5C x"), "\xB3\x5C\xA5\x5C x");
    EXPECT_EQ(FileNameBase("\xB3\x5C/x"), "\xB3\x5C");
}

TEST(ChooseFileName, CutsWhereTheBytesAreNoBig5Character) {
    // Such bytes name no file the wide file functions can make: the name
    // would stand for another file or for none.
    EXPECT_EQ(FileNameBase("ab\xB3"), "ab") << "a lone lead byte at the end";
    EXPECT_EQ(FileNameBase("ab\xB3\x20z"), "ab") << "a lead byte before a byte no trail can be";
    EXPECT_EQ(FileNameBase("ab\x80z"), "ab");
    EXPECT_EQ(FileNameBase("ab\xFFz"), "ab");
    // UTF-8 text read from a file not written in Big5: cut where it stops
    // reading as Big5 (E4 B8 is a character, AD E6 too, 96 87 is none).
    EXPECT_EQ(FileNameBase("\xE4\xB8\xAD\xE6\x96\x87"), "\xE4\xB8\xAD\xE6");
    EXPECT_EQ(FileNameBase("\xA4\xA4\xA4\xE5"), "\xA4\xA4\xA4\xE5") << "中文 stays whole";
}

TEST(ChooseFileName, LongDescriptionsGiveUsableNames) {
    // 128 bytes, no more and no fewer: names made before keep their files.
    EXPECT_EQ(FileNameBase(std::string(1000, 'x')), std::string(128, 'x'));
    EXPECT_EQ(FileNameBase(std::string(128, 'x')), std::string(128, 'x'));
    std::string big5;
    for (int i = 0; i < 200; ++i) big5 += "\xA4\xA4";
    EXPECT_EQ(FileNameBase(big5), big5.substr(0, 128));
    // With an odd start the cut falls before the character that would
    // straddle the limit.
    EXPECT_EQ(FileNameBase("x" + big5), "x" + big5.substr(0, 126));
}

TEST(ChooseFileName, SkipsDeviceNames) {
    TempFolder dir;
    CScript s;
    s.m_description = "com";
    s.ChooseFileName(dir.path());
    EXPECT_EQ(s.m_fileName, "com10.txt");
    s.m_description = "LPT";
    s.ChooseFileName(dir.path());
    EXPECT_EQ(s.m_fileName, "LPT10.txt");
    s.m_description = "CON";
    s.ChooseFileName(dir.path());
    EXPECT_EQ(s.m_fileName, "CON1.txt");
}

}  // namespace
}  // namespace tarvix
