#include "window_titles.h"

#include <gtest/gtest.h>

namespace tarvix {
namespace {

using Items = std::vector<std::string>;

TEST(WindowTitles, NewestTitleOnTopEmptyOnesNever) {
    WindowTitleList list;
    for (const char* title : {"Notepad", "", "Calculator", "Paint"}) list.Add(title);
    EXPECT_EQ(list.items(), (Items{"Paint", "Calculator", "Notepad"}));
}

TEST(WindowTitles, ATitleThatStartsAListedOneIsNotAdded) {
    WindowTitleList list;
    list.Add("Untitled - Notepad");
    list.Add("untitled");            // the start of a listed title, case ignored
    list.Add("Untitled - Notepad");  // the same title again
    list.Add("Untitled - Notepad (2)");  // only begins with a listed title
    EXPECT_EQ(list.items(), (Items{"Untitled - Notepad (2)", "Untitled - Notepad"}));
}

TEST(WindowTitles, DoubleByteTitlesCompareAsBytes) {
    WindowTitleList list;
    list.Add("\xB0\x4F\xA8\xC6\xA5\xBB");  // Big5 bytes
    list.Add("\xB0\x4F");
    list.Add("\xB0\x6F");  // differs only by the case fold of its trail byte
    EXPECT_EQ(list.items(), (Items{"\xB0\x6F", "\xB0\x4F\xA8\xC6\xA5\xBB"}));
}

}  // namespace
}  // namespace tarvix
