// Key names and hotkey texts as the lists show them.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <tuple>

#include "key_names.h"

namespace tarvix {
namespace {

// The virtual-key codes of the system, written down here independently of
// the table, so a name moved to a neighbouring code shows; other keys show
// their character, of the code's low byte (upper-cased only below 256).
TEST(KeyName, EachNameBelongsToItsCode) {
    const std::map<int32_t, std::string> names = {
        {0x08, "<BackSpace>"}, {0x09, "<Tab>"},     {0x0D, "<Enter>"},    {0x10, "<Shift>"},
        {0x11, "<Ctrl>"},      {0x12, "<Alt>"},     {0x13, "<Pause/Break>"}, {0x14, "<CapsLock>"},
        {0x1B, "<Esc>"},       {0x20, "<Space>"},   {0x21, "<PageUp>"},   {0x22, "<PageDown>"},
        {0x23, "<End>"},       {0x24, "<Home>"},    {0x25, "<Left>"},     {0x26, "<Up>"},
        {0x27, "<Right>"},     {0x28, "<Down>"},    {0x2D, "<Insert>"},   {0x2E, "<Delete>"},
        {0x5B, "<Win>"},       {0x5C, "<Win>"},     {0x5D, "<Right Mouse>"},
        {0x60, "<Num 0>"}, {0x61, "<Num 1>"}, {0x62, "<Num 2>"}, {0x63, "<Num 3>"}, {0x64, "<Num 4>"},
        {0x65, "<Num 5>"}, {0x66, "<Num 6>"}, {0x67, "<Num 7>"}, {0x68, "<Num 8>"}, {0x69, "<Num 9>"},
        {0x6A, "<Num *>"}, {0x6B, "<Num +>"}, {0x6D, "<Num ->"}, {0x6E, "<Num .>"}, {0x6F, "<Num />"},
        {0x70, "<F1>"}, {0x71, "<F2>"}, {0x72, "<F3>"}, {0x73, "<F4>"}, {0x74, "<F5>"}, {0x75, "<F6>"},
        {0x76, "<F7>"}, {0x77, "<F8>"}, {0x78, "<F9>"}, {0x79, "<F10>"}, {0x7A, "<F11>"}, {0x7B, "<F12>"},
        {0x90, "<Num Lock>"}, {0x91, "<Scroll Lock>"},
        {0xBA, ";"},  {0xBB, "="},  {0xBC, ","},  {0xBD, "-"},  {0xBE, "."},  {0xBF, "/"},
        {0xC0, "`"},  {0xDB, "["},  {0xDC, "\\"}, {0xDD, "]"},  {0xDE, "'"},
        {'A', "<A>"}, {'0', "<0>"}, {0x7C, "<|>"}, {0xE5, "<\xE5>"}, {0x6C, "<L>"}, {0xA3, "<Right Ctrl>"},
        {0xA5, "<Right Alt>"}, {0, "<>"}, {0x10041, "<A>"}, {0x7FFF0074, "<F5>"}, {0x161, "<a>"},
    };
    for (const auto& [code, name] : names) EXPECT_EQ(KeyName(code), name) << std::hex << code;
}

TEST(HotkeyText, ModifiersAlwaysCtrlAltShiftFromTheLowByte) {
    const std::tuple<uint16_t, uint16_t, const char*> cases[] = {
        {123, 0, "<F12>"}, {116, 6, "Ctrl+Alt+<F5>"}, {189, 1, "Shift+-"}, {65, 15, "Ctrl+Alt+Shift+<A>"}, {65, 0xFF08, "<A>"}};
    for (const auto& [vk, mods, text] : cases) EXPECT_EQ(HotkeyText(vk, mods), text) << vk << " " << mods;
}

}  // namespace
}  // namespace tarvix
