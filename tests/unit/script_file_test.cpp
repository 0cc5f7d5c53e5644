// Script files: the written layout, loading, round trips between editions,
// and the naming of new files.
#include <gtest/gtest.h>

#include <optional>
#include <utility>
#include <vector>

#include "script.h"
#include "test_support.h"

namespace tarvix {
namespace {

using testing::Fields;
using testing::TempFolder;

const char kExample11[] =
    "[General]\r\nDescription=Test\r\nBeginHotkey=116\r\nBeginHotkeyMod=2\r\nRunOnce=1\r\nEnable=1\r\n"
    "[Repeat]\r\nType=0\r\nNumber=3\r\n\r\n"
    "[Script]\r\nKeyPress 65 1\r\nDelay 500\r\nLeftClick 1\r\nMoveTo 512 384\r\nSayString Hello world\r\n";

const char kExample10[] =
    "[General]\r\nDescription=Test\r\nBeginHotkey=116\r\nBeginHotkeyMod=2\r\nEnable=1\r\n"
    "[Repeat]\r\nType=0\r\nNumber=3\r\n"
    "[Script]\r\nKeyPress 65 1\r\nDelay 500\r\nLeftClick 1\r\nMoveTo 512 384\r\nSayString Hello world\r\n";

CScript Example(Edition edition) {
    CScript s(edition);
    s.SetProperties("Test", 116, 2, RepeatCount, 3);
    s.m_runOnce = 1;
    s.m_fileName = "Test1.txt";
    s.m_actions = {MakeAction(KindKeyPress, 65, 1), MakeAction(KindDelay, 500, 0), MakeAction(KindLeftClick, 1, 0),
                   MakeAction(KindMoveTo, 512, 384), {CategoryText, KindSayString, "Hello world", 0, 0},
                   ScriptAction::EndMarker()};
    return s;
}

CScript LoadFrom(const TempFolder& dir, const std::string& name, Edition edition = Edition::V11) {
    CScript s(edition);
    s.Load(dir.path(), name);
    return s;
}

CScript LoadText(const std::string& text, Edition edition = Edition::V11) {
    CScript s(edition);
    s.LoadBytes("a.txt", &text);
    return s;
}

TEST(ScriptLayout, WorkedExampleBytesInBothEditionsAndBack) {
    EXPECT_EQ(Example(Edition::V10).SerializedText(), kExample10);
    TempFolder dir;
    ASSERT_TRUE(Example(Edition::V11).Save(dir.path()));
    EXPECT_EQ(dir.Read("Test1.txt"), kExample11);
    EXPECT_EQ(dir.Count(), 1u) << "no temporary file is left beside the script";
}

// 16-bit fields unsigned, the number signed; a line end in the description
// cannot start another line.
TEST(ScriptLayout, FieldsAreWrittenFromTheRecord) {
    CScript s = Example(Edition::V11);
    s.SetProperties("a\r\n[Script]\r\nKeyPress 13 1", 0xFFFF, 0x8001, 0xFFFF, -1);
    s.m_enabled = 7;
    s.m_actions = {ScriptAction::EndMarker()};
    EXPECT_EQ(s.SerializedText(), "[General]\r\nDescription=a  [Script]  KeyPress 13 1\r\nBeginHotkey=65535\r\n"
                                  "BeginHotkeyMod=32769\r\nRunOnce=1\r\nEnable=1\r\n"
                                  "[Repeat]\r\nType=65535\r\nNumber=-1\r\n\r\n[Script]\r\n");
    s.m_enabled = 0;
    EXPECT_NE(s.SerializedText().find("Enable=0\r\n"), std::string::npos);
}

// Missing keys give the defaults; so does a missing file, and loading
// writes nothing. Values are trimmed and unquoted; 16-bit fields keep their low bits.
TEST(ScriptLoad, MissingThingsGiveTheDefaultsAndValuesAreTrimmed) {
    TempFolder dir;
    EXPECT_EQ(Fields(LoadText("[Script]\r\nDelay 1\r\n")), "a.txt||123|0|0|1|1|1|1|Delay 1|");
    const CScript missing = LoadFrom(dir, "missing.txt");
    EXPECT_EQ(Fields(missing), "missing.txt||123|0|0|1|1|1|1|") << "the end marker alone";
    EXPECT_EQ(dir.Count(), 0u);
    EXPECT_EQ(Fields(LoadText("[General]\r\nDescription=  \"My  script\"  \r\nBeginHotkey=65601\r\n"
                              "BeginHotkeyMod=-1\r\n[Repeat]\r\nType=65538\r\n")),
              "a.txt|My  script|65|65535|2|1|1|1|1|");
}

// A text keeps its leading spaces and loses trailing ones; a long line
// loads whole, its tail never an action.
TEST(ScriptLoad, TextsAndLongLinesComeBackAsSaved) {
    CScript s = Example(Edition::V11);
    std::string description;
    for (int i = 0; i < 1000; ++i) description += "\xA4\xA4 KeyPress 13 1 ";
    s.m_description = description + "end";
    const std::string text = "  a % b" + std::string(10000, 'k') + "KeyPress 13 1";
    s.m_actions = {{CategoryText, KindSayString, text + "  ", 0, 0}, ScriptAction::EndMarker()};
    TempFolder dir;
    ASSERT_TRUE(s.Save(dir.path()));
    EXPECT_NE(dir.Read("Test1.txt").find("SayString   a % b"), std::string::npos);
    const CScript back = LoadFrom(dir, "Test1.txt");
    EXPECT_EQ(back.m_description, description + "end");
    ASSERT_EQ(back.m_actions.size(), 2u);
    EXPECT_EQ(back.m_actions.front().text, text);
}

TEST(ScriptRoundTrip, SaveThenLoadGivesTheSameRecord) {
    for (Edition e : {Edition::V10, Edition::V11}) {
        CScript s = Example(e);
        s.m_enabled = 0;
        s.SetProperties("\xB4\xFA\xB8\xD5 test", 0x74, 7, RepeatSeconds, 90);
        TempFolder dir;
        dir.Write(s.m_fileName, std::string(5000, 'x'));  // replaced whole
        ASSERT_TRUE(s.Save(dir.path()));
        const CScript back = LoadFrom(dir, s.m_fileName, e);
        if (e == Edition::V10) s.m_runOnce = 0;  // edition 1.0 has no run-once flag to play by
        EXPECT_EQ(Fields(back), Fields(s));
        EXPECT_EQ(back.SerializedText(), dir.Read(s.m_fileName));
    }
}

TEST(ScriptRoundTrip, FailedSaveReportsAndKeepsTheOldFile) {
    TempFolder dir;
    CScript s = Example(Edition::V11);
    EXPECT_FALSE(s.Save(dir.path() + "no-such-folder/"));
    s.m_fileName.clear();
    EXPECT_FALSE(s.Save(dir.path()));
    EXPECT_EQ(dir.Count(), 0u);
}

// Edition 1.0 loads a file of 1.1 without the kinds it lacks, asks before a
// save leaves them out, and writes back the run-once key as 1.1 reads it;
// 1.1 reads everything back.
TEST(ScriptEditions, AFileOf11ThroughEdition10) {
    CScript s = Example(Edition::V11);
    s.m_runOnce = 0;
    s.m_actions.insert(s.m_actions.begin(), {MakeAction(KindMoveR, -10, 5), MakeAction(KindMiddleClick, 1, 0),
                                             MakeAction(KindX2Up, 1, 0), MakeAction(KindWheel, -360, 0),
                                             MakeAction(KindMoveIn, 40, 0)});
    TempFolder dir;
    ASSERT_TRUE(s.Save(dir.path()));
    EXPECT_EQ(LoadFrom(dir, "Test1.txt", Edition::V11).m_actions, s.m_actions);
    CScript classic = LoadFrom(dir, "Test1.txt", Edition::V10);
    EXPECT_EQ(classic.m_actions, Example(Edition::V10).m_actions);
    EXPECT_EQ(classic.m_runOnce, 0) << "edition 1.0 has no run-once flag to play by";
    EXPECT_EQ(LinesToConfirmBeforeSaving(classic), 5);
    classic.m_description = "Renamed";
    ASSERT_TRUE(classic.Save(dir.path()));
    EXPECT_EQ(dir.Read("Test1.txt"),
              "[General]\r\nDescription=Renamed\r\nBeginHotkey=116\r\nBeginHotkeyMod=2\r\nRunOnce=0\r\nEnable=1\r\n"
              "[Repeat]\r\nType=0\r\nNumber=3\r\n[Script]\r\nKeyPress 65 1\r\nDelay 500\r\nLeftClick 1\r\n"
              "MoveTo 512 384\r\nSayString Hello world\r\n");
    EXPECT_EQ(LoadFrom(dir, "Test1.txt", Edition::V11).m_runOnce, 0) << "1.1 would refuse to start it while it runs";
    const CScript back10 = LoadFrom(dir, "Test1.txt", Edition::V10);
    EXPECT_EQ(LinesToConfirmBeforeSaving(back10), 0) << "nothing left to ask about";
    EXPECT_EQ(back10.SerializedText(), dir.Read("Test1.txt"));
    // Loading again starts afresh: no lines left to ask about, no run-once key kept.
    const std::string plain = kExample10;
    classic.m_actions.clear();
    classic.LoadBytes("b.txt", &plain);
    EXPECT_EQ(std::to_string(LinesToConfirmBeforeSaving(classic)) + classic.SerializedText(), "0" + plain);
}

// What each edition writes of the run-once and speed keys it read: 1.1
// plays by both (the speed out of range at the nearest bound, no number
// 100, written only when not 100); 1.0 plays at 100 and keeps the keys the
// file had, as 1.1 reads them; no "=" is no key to either.
TEST(ScriptEditions, RunOnceAndSpeedAreWrittenBackAsEdition11ReadsThem) {
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {"", "RunOnce=1\r\nEnable=1\r\n", "Enable=1\r\n"},
        {"RunOnce=1", "RunOnce=1\r\nEnable=1\r\n", "RunOnce=1\r\nEnable=1\r\n"},
        {"runonce = 0 ", "RunOnce=0\r\nEnable=1\r\n", "RunOnce=0\r\nEnable=1\r\n"},
        {"RunOnce=\"0\"", "RunOnce=0\r\nEnable=1\r\n", "RunOnce=0\r\nEnable=1\r\n"},
        {"RunOnce=", "RunOnce=1\r\nEnable=1\r\n", "RunOnce=1\r\nEnable=1\r\n"},
        {"RunOnce=7", "RunOnce=7\r\nEnable=1\r\n", "RunOnce=7\r\nEnable=1\r\n"},
        {"RunOnce", "RunOnce=1\r\nEnable=1\r\n", "Enable=1\r\n"},
        {"Speed=200", "RunOnce=1\r\nEnable=1\r\nSpeed=200\r\n", "Enable=1\r\nSpeed=200\r\n"},
        {"Speed=100", "RunOnce=1\r\nEnable=1\r\n", "Enable=1\r\nSpeed=100\r\n"},
        {"speed = 5", "RunOnce=1\r\nEnable=1\r\nSpeed=10\r\n", "Enable=1\r\nSpeed=10\r\n"},
        {"Speed=\" 250\"", "RunOnce=1\r\nEnable=1\r\nSpeed=250\r\n", "Enable=1\r\nSpeed=250\r\n"},
        {"Speed=99999999999", "RunOnce=1\r\nEnable=1\r\nSpeed=1000\r\n", "Enable=1\r\nSpeed=1000\r\n"},
        {"Speed=-50", "RunOnce=1\r\nEnable=1\r\nSpeed=10\r\n", "Enable=1\r\nSpeed=10\r\n"},
        {"Speed=fast", "RunOnce=1\r\nEnable=1\r\n", "Enable=1\r\nSpeed=100\r\n"},
    };
    for (const auto& [line, written11, written10] : cases) {
        const std::string text = std::string("[General]\r\n") + line + "\r\n[Script]\r\nDelay 1\r\n";
        for (const auto& [edition, written] :
             {std::pair(Edition::V11, written11), std::pair(Edition::V10, written10)}) {
            const std::string saved = LoadText(text, edition).SerializedText();
            const size_t at = saved.find("BeginHotkeyMod=0\r\n") + 18;
            EXPECT_EQ(saved.substr(at, saved.find("[Repeat]") - at), written) << line;
        }
        EXPECT_EQ(LoadText(text, Edition::V10).m_speed, 100u);
    }
}

// Lines before the script's header (in any case, with blanks) are never
// actions; after it each line is one, or is counted as naming none, to
// the end of the file, whatever its line ends; edition 1.0 asks before a
// save leaves those out, 1.1 saves as it always has.
TEST(ScriptLoad, OnlyLinesOfTheScriptSectionAreActionsAndTheRestAreCounted) {
    const std::string text = "[General]\nDescription=x\nKeyPress 65 1\nMoveR 1 1\n\t [sCRIPT]  \n"
                             "\n   \n\t\n"           // blank lines hold nothing
                             "mover 1 2\n  MOVER\t-1\t-2  \n"  // MoveR in any case
                             "MoveIn 3 4\n"             // 1.1 only
                             "Move 5 6\nR 65 1\n"       // parts of MoveTo and KeyPress
                             "Delay\nFoo 1 2\nEnable=0\n[Other]\nDelay 3";
    const CScript classic = LoadText(text, Edition::V10), current = LoadText(text, Edition::V11);
    EXPECT_EQ(current.m_description, "x");
    EXPECT_EQ(current.m_enabled, 1) << "Enable=0 after the header is no key of [General]";
    EXPECT_EQ(classic.m_actions.size(), 5u);
    EXPECT_EQ(current.m_actions.size(), 8u);
    EXPECT_EQ(std::prev(current.m_actions.end(), 2)->param1, 3);
    EXPECT_EQ(classic.m_unreadLineCount, 6);
    EXPECT_EQ(LinesToConfirmBeforeSaving(classic), 6);
    EXPECT_EQ(LinesToConfirmBeforeSaving(current), 0);
}

TEST(ChooseFileName, NumbersEachBaseFromOneFillsGapsAndSkipsDeviceNames) {
    TempFolder dir;
    std::vector<std::string> chosen;
    const auto choose = [&](std::initializer_list<const char*> descriptions) {
        for (const char* description : descriptions) {
            CScript s;
            s.m_description = description;
            s.ChooseFileName(dir.path());
            dir.Write(s.m_fileName, "x");
            chosen.push_back(s.m_fileName);
        }
    };
    choose({"Test", "Test", "Te?st", "Test again", "", "*star"});
    std::filesystem::remove(dir.file("Test1.txt"));
    choose({"Test", "Test", "com", "LPT", "CON"});
    EXPECT_EQ(chosen, (std::vector<std::string>{"Test1.txt", "Test2.txt", "Te1.txt", "Test again1.txt", "NoName1.txt",
        "1.txt", "Test1.txt", "Test3.txt", "com10.txt", "LPT10.txt", "CON1.txt"}));
}

// Cut at every character a file name cannot hold, and where the bytes are
// no Big5 character, but never inside one.
TEST(ChooseFileName, CutsWhereTheNameCouldHoldNoMore) {
    for (const char* description : {"a\\b", "a/b", "a:b", "a\"b", "a<b", "a>b", "a|b", "a*b", "a?b", "a\tb", "a\x01z"})
        EXPECT_EQ(FileNameBase(description), "a") << description;
    const std::pair<const char*, const char*> cases[] = {
        {"a.b c-d_e'f(g)", "a.b c-d_e'f(g)"},
        // Big5 "許" is B3 5C and "功" is A5 5C: their trail byte is a backslash.
        {"\xB3\x5C\xA5\x5C x", "\xB3\x5C\xA5\x5C x"},
        {"\xB3\x5C/x", "\xB3\x5C"},
        // Bytes that are no Big5 name no file the wide file functions can
        // make: a lone lead byte at the end, a lead byte before a byte no
        // trail can be, bytes no character starts with.
        {"ab\xB3", "ab"},
        {"ab\xB3\x20z", "ab"},
        {"ab\xB3\x7E", "ab\xB3\x7E"},
        {"ab\x80z", "ab"},
        // UTF-8 text from a file not written in Big5: cut where it stops
        // reading as Big5 (E4 B8 is a character, AD E6 too, 96 87 is none).
        {"\xE4\xB8\xAD\xE6\x96\x87", "\xE4\xB8\xAD\xE6"},
    };
    for (const auto& [description, base] : cases) EXPECT_EQ(FileNameBase(description), base) << description;
    // 128 bytes, no more and no fewer: names made before keep their files.
    // With an odd start the cut falls before the character that would
    // straddle the limit.
    std::string big5;
    for (int i = 0; i < 200; ++i) big5 += "\xA4\xA4";
    const std::pair<std::string, std::string> longCases[] = {{std::string(1000, 'x'), std::string(128, 'x')},
        {std::string(128, 'x'), std::string(128, 'x')}, {big5, big5.substr(0, 128)}, {"x" + big5, "x" + big5.substr(0, 126)}};
    for (const auto& [description, base] : longCases) EXPECT_EQ(FileNameBase(description), base) << description.size();
}

}  // namespace
}  // namespace tarvix
