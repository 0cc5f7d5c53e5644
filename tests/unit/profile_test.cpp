#include "profile.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "temp_folder.h"

namespace tarvix {
namespace {

using testing::TempFolder;
using Texts = std::vector<std::string>;
using Numbers = std::vector<int32_t>;

// The values of `keys` in `section`, each read as text or as a number.
Texts Strings(const ProfileDocument& doc, const std::string& section, const Texts& keys, const std::string& def = "") {
    Texts values;
    for (const std::string& key : keys) values.push_back(doc.GetString(section, key, def));
    return values;
}

Numbers Ints(const ProfileDocument& doc, const std::string& section, const Texts& keys, int32_t def = 0) {
    Numbers values;
    for (const std::string& key : keys) values.push_back(doc.GetInt(section, key, def));
    return values;
}

TEST(ProfileRead, NamesIgnoreCaseAndSurroundingBlanks) {
    const ProfileDocument doc("[ General ]\r\n  endHOTKEY \t=  66  \r\n[position]\r\nPosition0X=-12\r\n");
    EXPECT_EQ(doc.GetInt("general", "EndHotkey", 0), 66);
    EXPECT_EQ(doc.GetString("GENERAL", "endhotkey", "x"), "66");
    EXPECT_EQ(doc.GetInt("Position", "position0x", 0), -12);
    EXPECT_FALSE(doc.HasKey("General", "Position0X"));
}

TEST(ProfileRead, OnePairOfMatchingQuotesIsRemoved) {
    const ProfileDocument doc(
        "[s]\na=\"quoted text\"\nb='single'\nc=\"\"twice\"\"\nd=\"open\ne=mixed\"\nf=\"a'\ng=\"\nh=''\n");
    EXPECT_EQ(Strings(doc, "s", {"a", "b", "c", "d", "e", "f", "g", "h"}),
              (Texts{"quoted text", "single", "\"twice\"", "\"open", "mixed\"", "\"a'", "\"", ""}));
}

TEST(ProfileRead, MissingThingsGiveTheDefault) {
    const ProfileDocument doc("[s]\nempty=\nnovalue\n");
    EXPECT_EQ(Strings(doc, "s", {"missing", "empty", "novalue"}, "def"), (Texts{"def", "", "def"}))
        << "an empty value is there; a line without \"=\" is no key";
    EXPECT_EQ(doc.GetString("nosection", "a", "def"), "def");
    EXPECT_EQ(Ints(doc, "s", {"missing", "empty"}, 7), (Numbers{7, 7})) << "an empty value holds no number";
    EXPECT_TRUE(doc.HasKey("s", "empty"));
    EXPECT_FALSE(doc.HasKey("s", "novalue"));
    EXPECT_EQ(ProfileDocument().GetInt("a", "b", -3), -3);
}

TEST(ProfileRead, IntegersAreSignedDecimalWithTheirLeadingDigits) {
    const ProfileDocument doc(
        "[n]\nplain=42\nneg=-5\nplus=+9\ntail=12abc\nword=abc\nhex=0x10\n"
        "big=4294967297\nmin=-2147483648\nquoted=\"33\"\n");
    // Wrapping modulo 2^32, as the platform does.
    EXPECT_EQ(Ints(doc, "n", {"plain", "neg", "plus", "tail", "word", "hex", "big", "min", "quoted"}, 5),
              (Numbers{42, -5, 9, 12, 0, 0, 1, INT32_MIN, 33}));
}

TEST(ProfileRead, OnlyTheFirst29CharactersOfANumberCount) {
    const std::string zeros28(28, '0');
    const ProfileDocument doc("[n]\nfits=" + zeros28 + "7\nlong=" + zeros28 + "07\n"
                              "quoted=\"" + zeros28 + "7\"\n");
    // 29 characters are read whole, the 30th is cut off; where the quotes
    // fill the buffer the closing quote's cut takes the last digit.
    EXPECT_EQ(Ints(doc, "n", {"fits", "long", "quoted"}, 5), (Numbers{7, 0, 0}));
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
    EXPECT_EQ(Ints(doc, "s", {"k", "only"}), (Numbers{1, 0}));
    EXPECT_EQ(doc.GetInt("t", "k", 0), 3);
}

TEST(ProfileRead, LineEndsOfEveryKindAndNoFinalNewline) {
    for (const char* text : {"[s]\r\na=1\r\nb=2", "[s]\na=1\nb=2", "[s]\ra=1\rb=2"})
        EXPECT_EQ(Ints(ProfileDocument(text), "s", {"a", "b"}), (Numbers{1, 2})) << text;
}

TEST(ProfileRead, ActionLinesAndKeysBeforeAnySectionAreNotKeys) {
    const ProfileDocument doc(
        "Enable=9\n[Script]\nEnable=1\nKeyDown 65\nSayString [a]=b\n[ Name ] trailing\nx=2\n");
    EXPECT_EQ(Strings(doc, "Script", {"Enable", "KeyDown 65", "SayString [a]"}, "none"), (Texts{"1", "none", "b"}));
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

// The text after one write of `value` to `key` in `section`.
std::string AfterWrite(const std::string& before, const char* section, const char* key, const char* value) {
    ProfileDocument doc(before);
    doc.SetString(section, key, value);
    return doc.Text();
}

TEST(ProfileWrite, ReplacesAValueAndKeepsEveryOtherByte) {
    const std::string before =
        "[Script]\r\nFileName=a.txt\r\nEnable  =  1 ; note\r\nDescription=x\r\nKeyDown 65\r\nDelay 100\r\n";
    ProfileDocument doc(before);
    doc.SetString("script", "ENABLE", "0");
    EXPECT_EQ(doc.Text(),
              "[Script]\r\nFileName=a.txt\r\nEnable  =  0\r\nDescription=x\r\nKeyDown 65\r\nDelay 100\r\n");
    doc.SetString("Script", "Enable", "1");
    EXPECT_EQ(doc.GetInt("Script", "Enable", 9), 1);
}

TEST(ProfileWrite, WhereAKeyGoesAndHowItsLineEnds) {
    struct Case {
        const char* before;
        const char* section;
        const char* key;
        const char* value;
        const char* after;
    };
    const Case cases[] = {
        // After the last line of its section, or in a new section at the end.
        {"[a]\nx=1\n\n[b]\ny=2\n", "A", "New", "3", "[a]\nx=1\nNew=3\n\n[b]\ny=2\n"},
        {"[a]\nx=1\n\n[b]\ny=2\n", "b", "z", "4", "[a]\nx=1\n\n[b]\ny=2\nz=4\n"},
        {"", "General", "EndHotkey", "65", "[General]\r\nEndHotkey=65\r\n"},
        // The file's own line end, also where the last line has none.
        {"[a]\r\nx=1", "General", "EnableType", "1", "[a]\r\nx=1\r\n[General]\r\nEnableType=1\r\n"},
        {"[a]\nx=1", "b", "y", "2", "[a]\nx=1\n[b]\ny=2\n"},
        {"[a]\nx=1", "a", "z", "3", "[a]\nx=1\nz=3\n"},
        {"[a]\nx=1\n", "b", "y", "2", "[a]\nx=1\n[b]\ny=2\n"},
        // A key named like its section is replaced or added, never the header.
        {"[General]\r\nGeneral=7\r\n", "General", "General", "8", "[General]\r\nGeneral=8\r\n"},
        {"[General]\r\nEnable=1\r\n", "general", "GENERAL", "1", "[General]\r\nEnable=1\r\nGENERAL=1\r\n"},
        // A key without "=" gets its value.
        {"[a]\nflag\nother=1\n", "a", "flag", "on", "[a]\nflag=on\nother=1\n"},
        // Hand-edited files with lone CRs: the platform takes one as a line
        // end, script lines are split at LF only. An added key must neither
        // split a script line in two nor run on into one: it ends as the
        // line before it, and where only CRs are left of a script line an
        // LF ends it first.
        {"[General]\r\nDescription=x\r[Script]  \r\nKeyDown 65\r\n", "General", "Enable", "0",
         "[General]\r\nDescription=x\rEnable=0\r[Script]  \r\nKeyDown 65\r\n"},
        {"[Script]\r\nSayString hi\r\r", "Repeat", "Number", "7",
         "[Script]\r\nSayString hi\r\r\n[Repeat]\r\nNumber=7\r\n"},
        {"[Script]\r\nSayString hi\r\r[Repeat]\r\r", "Repeat", "Number", "7",
         "[Script]\r\nSayString hi\r\r[Repeat]\r\nNumber=7\r\n\r"},
        {"[Script]\r\nSayString hi\r\r\n[General]\r\n", "Script", "Added", "1",
         "[Script]\r\nSayString hi\r\nAdded=1\r\n\r\n[General]\r\n"},
        {"[General]\rEnable=1\r", "General", "RunOnce", "0", "[General]\rEnable=1\r\nRunOnce=0\r\n"},
    };
    for (const Case& c : cases) EXPECT_EQ(AfterWrite(c.before, c.section, c.key, c.value), c.after) << c.before;
}

TEST(ProfileFile, WriteCreatesUpdatesAndLeavesTheRestAlone) {
    TempFolder dir;
    ASSERT_TRUE(WriteProfileKey(dir.file("tarvix.ini"), "General", "EnableType", "1"));
    EXPECT_EQ(dir.Read("tarvix.ini"), "[General]\r\nEnableType=1\r\n");

    dir.Write("s.txt", "[Script]\r\nEnable=1\r\nKeyDown 65\r\nSayString \xA4\xA4=1\r\n");
    ASSERT_TRUE(WriteProfileKey(dir.file("s.txt"), "Script", "Enable", "0"));
    EXPECT_EQ(dir.Read("s.txt"), "[Script]\r\nEnable=0\r\nKeyDown 65\r\nSayString \xA4\xA4=1\r\n");
    EXPECT_EQ(dir.Count(), 2u);  // no temporary file left behind

    EXPECT_EQ(ProfileDocument::FromFile(dir.file("none.ini")).Text(), "");
    EXPECT_FALSE(WriteProfileKey(dir.file("missing/tarvix.ini"), "a", "b", "c"))
        << "a folder in the way is a failure, not an empty file";
}

}  // namespace
}  // namespace tarvix
