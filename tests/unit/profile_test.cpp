#include "profile.h"

#include <gtest/gtest.h>

#include <tuple>


#include "test_support.h"

namespace tarvix {
namespace {

using testing::TempFolder;

// A key read from a text as a string (default "def") and as a number
// (default 5), and whether it is there at all.
TEST(ProfileRead, ValuesAsTheProfileFunctionsReadThem) {
    const std::tuple<const char*, const char*, const char*, const char*, int32_t, bool> cases[] = {
        // Names ignore the case of ASCII letters only, and the blanks around them.
        {"[ General ]\r\n  endHOTKEY \t=  66  \r\n", "general", "EndHotkey", "66", 66, true},
        {"[\xE1]\r\nk=1\r\n", "\xC1", "k", "def", 5, false},
        // One pair of matching quotes is taken off.
        {"[s]\na=\"quoted text\"\n", "s", "a", "quoted text", 0, true},
        {"[s]\na=\"\"twice\"\"\n", "s", "a", "\"twice\"", 0, true},
        {"[s]\na=\"open\n", "s", "a", "\"open", 0, true},
        {"[s]\na=\"\n", "s", "a", "\"", 0, true},
        // An empty value is there but holds no number; a line without "=" is no key.
        {"[s]\na=''\n", "s", "a", "", 5, true},
        {"[s]\na=\n", "s", "a", "", 5, true},
        {"[s]\na\n", "s", "a", "def", 5, false},
        // Signed decimals with their leading digits, wrapping modulo 2^32.
        {"[n]\na=12abc\n", "n", "a", "12abc", 12, true},
        {"[n]\na=4294967297\n", "n", "a", "4294967297", 1, true},
        {"[n]\na=\"33\"\n", "n", "a", "33", 33, true},
        // Only the first 29 characters of a number count; where the quotes
        // fill them the closing quote's cut takes the last digit.
        {"[n]\na=00000000000000000000000000007\n", "n", "a", "00000000000000000000000000007", 7, true},
        {"[n]\na=000000000000000000000000000007\n", "n", "a", "000000000000000000000000000007", 0, true},
        {"[n]\na=\"00000000000000000000000000007\"\n", "n", "a", "00000000000000000000000000007", 0, true},
        // A key may be named like its section; its header is no key.
        {"[General]\r\nGeneral=7\r\n", "General", "general", "7", 7, true},
        {"[Repeat]\r\nRepeat\r\n", "Repeat", "Repeat", "def", 5, false},
        // A UTF-8 mark, the DOS end-of-file mark old editors leave, a header
        // running to its last "]", blanks before a quoted number's digits.
        {"\xEF\xBB\xBF[General]\r\nEnable=0\x1a\r\n", "General", "Enable", "0", 0, true},
        {"[a]b]\r\nk=\" 12\"\r\n", "a]b", "k", " 12", 12, true},
        {"[a]b]\r\nk=1\r\n", "a", "k", "def", 5, false},
        // Only the first of repeated sections and keys counts.
        {"[s]\nk=1\nk=2\n[t]\nk=3\n[S]\nk=4\nonly=5\n", "s", "k", "1", 1, true},
        {"[s]\nk=1\n[S]\nonly=5\n", "s", "only", "def", 5, false},
        // Line ends of every kind, and none at the end.
        {"[s]\ra=1\rb=2", "s", "b", "2", 2, true},
        // Action lines and keys before any section are no keys.
        {"Enable=9\n[Script]\nKeyDown 65\nSayString [a]=b\n", "Script", "SayString [a]", "b", 0, true},
        {"Enable=9\n[Script]\nKeyDown 65\n", "Script", "Enable", "def", 5, false},
        {"[ Name ] trailing\nx=2\n", "Name", "x", "2", 2, true},
    };
    for (const auto& [text, section, key, asText, asNumber, there] : cases) {
        // Short texts live inside the string object: the parsed lines must
        // not point into the one moved from.
        ProfileDocument parsed(text);
        const ProfileDocument doc = std::move(parsed);
        EXPECT_EQ(doc.GetString(section, key, "def"), asText) << text;
        EXPECT_EQ(doc.GetInt(section, key, 5), asNumber) << text;
        EXPECT_EQ(doc.HasKey(section, key), there) << text;
    }
    // Trailing blanks leave a default, but never its first character.
    EXPECT_EQ(ProfileDocument().GetString("a", "b", "   "), " ");
    EXPECT_EQ(ProfileDocument().GetString("a", "b", "x  "), "x");
    EXPECT_EQ(ProfileDocument("[n]\nmin=-2147483648\n").GetInt("n", "min", 0), INT32_MIN);
}

// A value replaced in place keeps every other byte; a key goes after the
// last line of its section, or in a new section at the end, with the line
// end the file has.
TEST(ProfileWrite, WhereAKeyGoesAndHowItsLineEnds) {
    const std::tuple<const char*, const char*, const char*, const char*> cases[] = {
        {"[Script]\r\nFileName=a.txt\r\nEnable  =  1 ; note\r\nKeyDown 65\r\n", "script", "ENABLE",
         "[Script]\r\nFileName=a.txt\r\nEnable  =  0\r\nKeyDown 65\r\n"},
        {"[a]\nx=1\n\n[b]\ny=2\n", "A", "New", "[a]\nx=1\nNew=0\n\n[b]\ny=2\n"},
        {"[a]\nx=1\n\n[b]\ny=2\n", "b", "z", "[a]\nx=1\n\n[b]\ny=2\nz=0\n"},
        {"", "General", "EndHotkey", "[General]\r\nEndHotkey=0\r\n"},
        {"[a]\r\nx=1", "General", "EnableType", "[a]\r\nx=1\r\n[General]\r\nEnableType=0\r\n"},
        {"[a]\nx=1", "b", "y", "[a]\nx=1\n[b]\ny=0\n"},
        {"[a]\nx=1", "a", "z", "[a]\nx=1\nz=0\n"},
        // A key named like its section is replaced or added, never the
        // header; a key without "=" gets its value.
        {"[General]\r\nGeneral=7\r\n", "General", "General", "[General]\r\nGeneral=0\r\n"},
        {"[General]\r\nEnable=1\r\n", "general", "GENERAL", "[General]\r\nEnable=1\r\nGENERAL=0\r\n"},
        {"[a]\nflag\nother=1\n", "a", "flag", "[a]\nflag=0\nother=1\n"},
        // Hand-edited files with lone CRs: the platform takes one as a line
        // end, script lines are split at LF only. An added key must neither
        // split a script line in two nor run on into one: it ends as the
        // line before it, and where only CRs are left of a script line an
        // LF ends it first.
        {"[General]\r\nDescription=x\r[Script]  \r\nKeyDown 65\r\n", "General", "Enable",
         "[General]\r\nDescription=x\rEnable=0\r[Script]  \r\nKeyDown 65\r\n"},
        {"[Script]\r\nSayString hi\r\r", "Repeat", "Number", "[Script]\r\nSayString hi\r\r\n[Repeat]\r\nNumber=0\r\n"},
        {"[Script]\r\nSayString hi\r\r[Repeat]\r\r", "Repeat", "Number",
         "[Script]\r\nSayString hi\r\r[Repeat]\r\nNumber=0\r\n\r"},
        {"[Script]\r\nSayString hi\r\r\n[General]\r\n", "Script", "Added",
         "[Script]\r\nSayString hi\r\nAdded=0\r\n\r\n[General]\r\n"},
        {"[General]\rEnable=1\r", "General", "RunOnce", "[General]\rEnable=1\r\nRunOnce=0\r\n"},
    };
    for (const auto& [before, section, key, after] : cases) {
        ProfileDocument doc(before);
        doc.SetString(section, key, "0");
        EXPECT_EQ(doc.Text(), after) << before;
    }
}

// Creating the file is the settings' test.
TEST(ProfileFile, WriteUpdatesAndLeavesTheRestAlone) {
    TempFolder dir;
    dir.Write("s.txt", "[Script]\r\nEnable=1\r\nKeyDown 65\r\nSayString \xA4\xA4=1\r\n");
    ASSERT_TRUE(WriteProfileKey(dir.file("s.txt"), "Script", "Enable", "0"));
    EXPECT_EQ(dir.Read("s.txt"), "[Script]\r\nEnable=0\r\nKeyDown 65\r\nSayString \xA4\xA4=1\r\n");
    EXPECT_EQ(ProfileDocument::FromFile(dir.file("none.ini")).Text(), "");
    EXPECT_FALSE(WriteProfileKey(dir.file("missing/tarvix.ini"), "a", "b", "c"))
        << "a folder in the way is a failure, not an empty file";
}

}  // namespace
}  // namespace tarvix
