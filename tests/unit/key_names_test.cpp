// Key names and hotkey texts as the lists show them.
#include <gtest/gtest.h>

#include <set>

#include "key_names.h"

namespace tarvix {
namespace {

TEST(KeyName, NamedKeys) {
    EXPECT_EQ(KeyName(0x14), "<CapsLock>");
    EXPECT_EQ(KeyName(91), "<Win>");
    EXPECT_EQ(KeyName(92), "<Win>");
    EXPECT_EQ(KeyName(93), "<Right Mouse>");
    EXPECT_EQ(KeyName(8), "<BackSpace>");
    EXPECT_EQ(KeyName(13), "<Enter>");
    EXPECT_EQ(KeyName(0x13), "<Pause/Break>");
    EXPECT_EQ(KeyName(189), "-");
    EXPECT_EQ(KeyName(220), "\\");
    EXPECT_EQ(KeyName(192), "`");
}

TEST(KeyName, FunctionKeysInOrder) {
    for (int i = 0; i < 12; ++i) EXPECT_EQ(KeyName(0x70 + i), "<F" + std::to_string(i + 1) + ">");
}

TEST(KeyName, KeypadIsNamedExceptTheSeparator) {
    for (int code = 0x60; code <= 0x6F; ++code) {
        const std::string name = KeyName(code);
        if (code == 0x6C) EXPECT_EQ(name, "<L>");
        else EXPECT_EQ(name.rfind("<Num ", 0), 0u) << std::hex << code << " " << name;
    }
    EXPECT_EQ(KeyName(0x60), "<Num 0>");
    EXPECT_EQ(KeyName(0x69), "<Num 9>");
}

TEST(KeyName, UnnamedKeysShowTheirCharacter) {
    EXPECT_EQ(KeyName('A'), "<A>");
    EXPECT_EQ(KeyName('Z'), "<Z>");
    EXPECT_EQ(KeyName('0'), "<0>");
    EXPECT_EQ(KeyName(0x2C), "<,>");
    EXPECT_EQ(KeyName(0x7C), "<|>");
    EXPECT_EQ(KeyName(0xE5), "<\xE5>");
    EXPECT_EQ(KeyName(0), "<>") << "code 0 gives a visible text without NUL";
}

TEST(KeyName, OnlyTheLow16BitsCount) {
    EXPECT_EQ(KeyName(0x10041), "<A>");
    EXPECT_EQ(KeyName(0x7FFF0074), "<F5>");
    EXPECT_EQ(KeyName(0x141), "<A>") << "the character is the code's low byte";
    EXPECT_EQ(KeyName(0x161), "<a>") << "codes above a byte are not upper-cased";
}

TEST(KeyName, TableHas63PairsWithUniqueCodes) {
    const std::string& table = KeyNameTable();
    std::set<std::string> codes;
    size_t pos = 0, lines = 0;
    while (pos < table.size()) {
        const size_t end = table.find('\n', pos);
        ASSERT_NE(end, std::string::npos) << "every line ends with a newline";
        const std::string line = table.substr(pos, end - pos);
        if (lines % 2 == 0) {
            EXPECT_EQ(line.rfind("0x", 0), 0u) << line;
            EXPECT_TRUE(codes.insert(line).second) << "duplicate " << line;
        } else {
            EXPECT_EQ(line.find("0x"), std::string::npos) << "a name line holds 0x: " << line;
        }
        ++lines;
        pos = end + 1;
    }
    EXPECT_EQ(lines, 126u);
}

TEST(HotkeyText, ModifiersAlwaysCtrlAltShift) {
    EXPECT_EQ(HotkeyText(123, 0), "<F12>");
    EXPECT_EQ(HotkeyText(65, 3), "Ctrl+Shift+<A>");
    EXPECT_EQ(HotkeyText(116, 6), "Ctrl+Alt+<F5>");
    EXPECT_EQ(HotkeyText(189, 1), "Shift+-");
    EXPECT_EQ(HotkeyText(65, 15), "Ctrl+Alt+Shift+<A>");
    EXPECT_EQ(HotkeyText(65, 8), "<A>");
    EXPECT_EQ(HotkeyText(65, 0xFF00), "<A>") << "only the low byte carries modifiers";
}

}  // namespace
}  // namespace tarvix
