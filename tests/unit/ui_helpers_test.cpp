// The number boxes, lengths at other DPIs and the target window's title list.
#include <gtest/gtest.h>

#include <tuple>

#include "dpi_scale.h"
#include "number_text.h"
#include "window_titles.h"

namespace tarvix {
namespace {

TEST(NumberBox, WholeDecimalsInRangeWithBlanksAndSignsAndNothingElse) {
    const std::pair<const wchar_t*, std::optional<int32_t>> signedCases[] = {
        {L"  -17\t", -17}, {L"+5", 5}, {L"007", 7}, {L"2147483647", 2147483647}, {L"-2147483648", INT32_MIN},
        {L"", {}}, {L"-", {}}, {L"12a", {}}, {L"1 2", {}}, {L"1.5", {}}, {L"0x10", {}}, {L"2147483648", {}},
        {L"-2147483649", {}}, {L"99999999999999999999", {}}, {L"--1", {}}, {L"\xFF11", {}}};
    for (const auto& [text, value] : signedCases)
        EXPECT_EQ(ui::ParseSignedBoxText(text), value) << ::testing::PrintToString(std::wstring(text));
    EXPECT_EQ(ui::ParseUnsignedBoxText(L" +4294967295 "), 4294967295u);
    EXPECT_FALSE(ui::ParseUnsignedBoxText(L"-1"));
    EXPECT_FALSE(ui::ParseUnsignedBoxText(L"4294967296"));
}

TEST(DpiScale, ListColumnsAndFontsAt125150And200Percent) {
    // 58.5 rounds up, away from zero; an unknown DPI is taken as 96.
    const std::tuple<int, int, int> cases[] = {{140, 96, 140}, {39, 144, 59}, {65, 192, 130},
                                               {110, 120, 138}, {-3, 144, -5}, {100, 0, 100}};
    for (const auto& [length, dpi, scaled] : cases) EXPECT_EQ(ui::ScaleForDpi(length, dpi), scaled) << length;
    // 13 points: 17 pixels at 96 DPI (17.33), 35 at 192 (34.67).
    EXPECT_EQ(ui::FontHeightForDpi(130, 96), -17);
    EXPECT_EQ(ui::FontHeightForDpi(130, 192), -35);
}

// Newest on top, empty ones never, nor one that starts a listed title (case
// ignored, but not inside a double-byte character).
TEST(WindowTitles, NewestOnTopLeavingOutWhatAListedTitleBeginsWith) {
    WindowTitleList list;
    for (const char* title : {"Untitled - Notepad", "", "untitled", "Untitled - Notepad", "Calculator",
                              "Untitled - Notepad (2)", "\xB0\x4F\xA8\xC6", "\xB0\x4F", "\xB0\x6F"})
        list.Add(title);
    EXPECT_EQ(list.items(), (std::vector<std::string>{"\xB0\x6F", "\xB0\x4F\xA8\xC6", "Untitled - Notepad (2)",
                                                      "Calculator", "Untitled - Notepad"}));
}

}  // namespace
}  // namespace tarvix
