#include "profile.h"

#include <gtest/gtest.h>

#include <utility>

#include "temp_folder.h"

namespace tarvix {
namespace {

using testing::TempFolder;

TEST(ProfileRead, NamesIgnoreCaseAndSurroundingBlanks) {
    const ProfileDocument doc("[ General ]\r\n  endHOTKEY \t=  66  \r\n[position]\r\nPosition0X=-12\r\n");
    EXPECT_EQ(doc.GetInt("general", "EndHotkey", 0), 66);
    EXPECT_EQ(doc.GetString("GENERAL", "endhotkey", "x"), "66");
    EXPECT_EQ(doc.GetInt("Position", "position0x", 0), -12);
    EXPECT_FALSE(doc.HasKey("General", "Position0X"));
}

TEST(ProfileRead, OnePairOfMatchingQuotesIsRemoved) {
    const ProfileDocument doc(
        "[s]\na=\"quoted text\"\nb='single'\nc=\"\"twice\"\"\nd=\"open\ne=mixed\"\nf=\"a'\n");
    EXPECT_EQ(doc.GetString("s", "a", ""), "quoted text");
    EXPECT_EQ(doc.GetString("s", "b", ""), "single");
    EXPECT_EQ(doc.GetString("s", "c", ""), "\"twice\"");
    EXPECT_EQ(doc.GetString("s", "d", ""), "\"open");
    EXPECT_EQ(doc.GetString("s", "e", ""), "mixed\"");
    EXPECT_EQ(doc.GetString("s", "f", ""), "\"a'");
}

TEST(ProfileRead, MissingThingsGiveTheDefault) {
    const ProfileDocument doc("[s]\nempty=\nnovalue\n");
    EXPECT_EQ(doc.GetString("s", "missing", "def"), "def");
    EXPECT_EQ(doc.GetString("nosection", "a", "def"), "def");
    EXPECT_EQ(doc.GetInt("s", "missing", 7), 7);
    // An empty value is there (the string is empty) but holds no number.
    EXPECT_EQ(doc.GetString("s", "empty", "def"), "");
    EXPECT_TRUE(doc.HasKey("s", "empty"));
    EXPECT_EQ(doc.GetInt("s", "empty", 7), 7);
    // A line without "=" is no key.
    EXPECT_EQ(doc.GetString("s", "novalue", "def"), "def");
    EXPECT_FALSE(doc.HasKey("s", "novalue"));
    EXPECT_EQ(ProfileDocument().GetInt("a", "b", -3), -3);
}

TEST(ProfileRead, IntegersAreSignedDecimalWithTheirLeadingDigits) {
    const ProfileDocument doc(
        "[n]\nplain=42\nneg=-5\nplus=+9\ntail=12abc\nword=abc\nhex=0x10\n"
        "big=4294967297\nmin=-2147483648\nquoted=\"33\"\n");
    EXPECT_EQ(doc.GetInt("n", "plain", 0), 42);
    EXPECT_EQ(doc.GetInt("n", "neg", 0), -5);
    EXPECT_EQ(doc.GetInt("n", "plus", 0), 9);
    EXPECT_EQ(doc.GetInt("n", "tail", 0), 12);
    EXPECT_EQ(doc.GetInt("n", "word", 5), 0);
    EXPECT_EQ(doc.GetInt("n", "hex", 5), 0);
    EXPECT_EQ(doc.GetInt("n", "big", 0), 1);  // wraps modulo 2^32
    EXPECT_EQ(doc.GetInt("n", "min", 0), INT32_MIN);
    EXPECT_EQ(doc.GetInt("n", "quoted", 0), 33);
}

TEST(ProfileRead, OnlyTheFirst29CharactersOfANumberCount) {
    const std::string zeros28(28, '0');
    const ProfileDocument doc("[n]\nfits=" + zeros28 + "7\nlong=" + zeros28 + "07\n"
                              "quoted=\"" + zeros28 + "7\"\n");
    EXPECT_EQ(doc.GetInt("n", "fits", 0), 7) << "29 characters are read whole";
    EXPECT_EQ(doc.GetInt("n", "long", 5), 0) << "the 30th character is cut off";
    // The quotes fill the buffer: the closing quote's cut takes the digit.
    EXPECT_EQ(doc.GetInt("n", "quoted", 5), 0);
}

TEST(ProfileRead, AKeyMayBeNamedLikeItsSection) {
    const ProfileDocument doc("[General]\r\nGeneral=7\r\n[Repeat]\r\nRepeat\r\n");
    EXPECT_EQ(doc.GetInt("General", "General", 0), 7);
    EXPECT_TRUE(doc.HasKey("General", "general"));
    EXPECT_FALSE(doc.HasKey("Repeat", "Repeat")) << "the header line is no key of its section";
}

TEST(ProfileRead, TheEdgesOfNamesValuesAndFiles) {
    // A UTF-8 mark before the first section, the DOS end-of-file mark old
    // editors leave, a header whose name runs to its last "]".
    const ProfileDocument doc("\xEF\xBB\xBF[General]\r\nEnable=0\x1a\r\n[a]b]\r\nk=\" 12\"\r\n");
    EXPECT_EQ(doc.GetInt("General", "Enable", 5), 0);
    EXPECT_EQ(doc.GetString("General", "Enable", ""), "0");
    EXPECT_EQ(doc.GetInt("a]b", "k", 5), 12) << "blanks before the digits of a quoted number";
    EXPECT_FALSE(doc.HasKey("a", "k"));
    // Trailing blanks leave a default, but never its first character.
    EXPECT_EQ(doc.GetString("General", "none", "   "), " ");
    EXPECT_EQ(doc.GetString("General", "none", "x  "), "x");
}

TEST(ProfileRead, OnlyTheFirstOfRepeatedSectionsAndKeysCounts) {
    const ProfileDocument doc("[s]\nk=1\nk=2\n[t]\nk=3\n[S]\nk=4\nonly=5\n");
    EXPECT_EQ(doc.GetInt("s", "k", 0), 1);
    EXPECT_EQ(doc.GetInt("t", "k", 0), 3);
    EXPECT_EQ(doc.GetInt("s", "only", 0), 0);
}

TEST(ProfileRead, LineEndsOfEveryKindAndNoFinalNewline) {
    for (const char* text : {"[s]\r\na=1\r\nb=2", "[s]\na=1\nb=2", "[s]\ra=1\rb=2"}) {
        SCOPED_TRACE(text);
        const ProfileDocument doc(text);
        EXPECT_EQ(doc.GetInt("s", "a", 0), 1);
        EXPECT_EQ(doc.GetInt("s", "b", 0), 2);
    }
}

TEST(ProfileRead, ActionLinesAndKeysBeforeAnySectionAreNotKeys) {
    const ProfileDocument doc(
        "Enable=9\n[Script]\nEnable=1\nKeyDown 65\nSayString [a]=b\n[ Name ] trailing\nx=2\n");
    EXPECT_EQ(doc.GetInt("Script", "Enable", 0), 1);
    EXPECT_EQ(doc.GetString("Script", "KeyDown 65", "none"), "none");
    EXPECT_EQ(doc.GetString("Script", "SayString [a]", "none"), "b");
    EXPECT_EQ(doc.GetInt("Name", "x", 0), 2);
}

TEST(ProfileRead, SurvivesBeingMoved) {
    // Short texts live inside the string object; the parsed lines must not
    // point into the old one.
    ProfileDocument first("[a]\nb=c\n");
    ProfileDocument moved = std::move(first);
    ProfileDocument assigned;
    assigned = std::move(moved);
    EXPECT_EQ(assigned.GetString("a", "b", ""), "c");
}

TEST(ProfileWrite, ReplacesAValueAndKeepsEveryOtherByte) {
    const std::string before =
        "[Script]\r\nFileName=a.txt\r\nEnable  =  1 ; note\r\nDescription=x\r\n"
        "KeyDown 65\r\nDelay 100\r\n";
    ProfileDocument doc(before);
    doc.SetString("script", "ENABLE", "0");
    EXPECT_EQ(doc.Text(),
              "[Script]\r\nFileName=a.txt\r\nEnable  =  0\r\nDescription=x\r\n"
              "KeyDown 65\r\nDelay 100\r\n");
    doc.SetString("Script", "Enable", "1");
    EXPECT_EQ(doc.GetInt("Script", "Enable", 9), 1);
}

TEST(ProfileWrite, AddsAKeyAfterTheLastLineOfItsSection) {
    ProfileDocument doc("[a]\nx=1\n\n[b]\ny=2\n");
    doc.SetString("A", "New", "3");
    EXPECT_EQ(doc.Text(), "[a]\nx=1\nNew=3\n\n[b]\ny=2\n");
    doc.SetString("b", "z", "4");
    EXPECT_EQ(doc.Text(), "[a]\nx=1\nNew=3\n\n[b]\ny=2\nz=4\n");
}

TEST(ProfileWrite, AddsASectionAtTheEndWithTheFilesLineEnd) {
    ProfileDocument crlf("[a]\r\nx=1");
    crlf.SetString("General", "EnableType", "1");
    EXPECT_EQ(crlf.Text(), "[a]\r\nx=1\r\n[General]\r\nEnableType=1\r\n");

    ProfileDocument empty;
    empty.SetString("General", "EndHotkey", "65");
    empty.SetString("General", "EndHotkeyMod", "3");
    EXPECT_EQ(empty.Text(), "[General]\r\nEndHotkey=65\r\nEndHotkeyMod=3\r\n");
}

TEST(ProfileWrite, AFileWithoutAFinalLineEndGetsItsOwnLineEnd) {
    ProfileDocument lf("[a]\nx=1");
    lf.SetString("b", "y", "2");
    EXPECT_EQ(lf.Text(), "[a]\nx=1\n[b]\ny=2\n");
    ProfileDocument lfKey("[a]\nx=1");
    lfKey.SetString("a", "z", "3");
    EXPECT_EQ(lfKey.Text(), "[a]\nx=1\nz=3\n");
}

TEST(ProfileWrite, AKeyNamedLikeItsSectionIsReplacedNotTheHeader) {
    ProfileDocument doc("[General]\r\nGeneral=7\r\n");
    doc.SetString("General", "General", "8");
    EXPECT_EQ(doc.Text(), "[General]\r\nGeneral=8\r\n");
    ProfileDocument added("[General]\r\nEnable=1\r\n");
    added.SetString("general", "GENERAL", "1");
    EXPECT_EQ(added.Text(), "[General]\r\nEnable=1\r\nGENERAL=1\r\n");
}

TEST(ProfileWrite, GivesAKeyWithoutEqualsItsValue) {
    ProfileDocument doc("[a]\nflag\nother=1\n");
    doc.SetString("a", "flag", "on");
    EXPECT_EQ(doc.Text(), "[a]\nflag=on\nother=1\n");
}

TEST(ProfileWrite, AnAddedLineEndsAsTheLineBeforeIt) {
    // Hand-edited files with lone CRs: the platform takes one as a line end,
    // script lines are split at LF only. An added key must neither split a
    // script line in two nor run on into one.
    struct Case {
        const char* before;
        const char* section;
        const char* key;
        const char* value;
        const char* after;
    };
    const Case cases[] = {
        // Within the file: the added line ends with CR alone, as the one before.
        {"[General]\r\nDescription=x\r[Script]  \r\nKeyDown 65\r\n", "General", "Enable", "0",
         "[General]\r\nDescription=x\rEnable=0\r[Script]  \r\nKeyDown 65\r\n"},
        // Where only CRs are left of the script line, an LF ends it first.
        {"[Script]\r\nSayString hi\r\r", "Repeat", "Number", "7",
         "[Script]\r\nSayString hi\r\r\n[Repeat]\r\nNumber=7\r\n"},
        {"[Script]\r\nSayString hi\r\r[Repeat]\r\r", "Repeat", "Number", "7",
         "[Script]\r\nSayString hi\r\r[Repeat]\r\nNumber=7\r\n\r"},
        {"[Script]\r\nSayString hi\r\r\n[General]\r\n", "Script", "Added", "1",
         "[Script]\r\nSayString hi\r\nAdded=1\r\n\r\n[General]\r\n"},
        {"[General]\rEnable=1\r", "General", "RunOnce", "0", "[General]\rEnable=1\r\nRunOnce=0\r\n"},
        // LF files stay LF files.
        {"[a]\nx=1\n", "b", "y", "2", "[a]\nx=1\n[b]\ny=2\n"},
    };
    for (const Case& c : cases) {
        ProfileDocument doc(c.before);
        doc.SetString(c.section, c.key, c.value);
        EXPECT_EQ(doc.Text(), c.after) << c.before;
    }
}

TEST(ProfileFile, WriteCreatesUpdatesAndLeavesTheRestAlone) {
    TempFolder dir;
    const std::string path = dir.file("tarvix.ini");
    ASSERT_TRUE(WriteProfileKey(path, "General", "EnableType", "1"));
    EXPECT_EQ(dir.Read("tarvix.ini"), "[General]\r\nEnableType=1\r\n");

    dir.Write("s.txt", "[Script]\r\nEnable=1\r\nKeyDown 65\r\nSayString \xA4\xA4=1\r\n");
    ASSERT_TRUE(WriteProfileKey(dir.file("s.txt"), "Script", "Enable", "0"));
    EXPECT_EQ(dir.Read("s.txt"), "[Script]\r\nEnable=0\r\nKeyDown 65\r\nSayString \xA4\xA4=1\r\n");
    EXPECT_EQ(dir.Count(), 2u);  // no temporary file left behind

    EXPECT_EQ(ProfileDocument::FromFile(dir.file("none.ini")).Text(), "");
}

TEST(ProfileFile, AFolderInTheWayIsAFailureNotAnEmptyFile) {
    TempFolder dir;
    EXPECT_FALSE(WriteProfileKey(dir.file("missing/tarvix.ini"), "a", "b", "c"));
}

}  // namespace
}  // namespace tarvix
