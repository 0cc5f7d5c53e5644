#include "number_text.h"

#include <gtest/gtest.h>

namespace tarvix::ui {
namespace {

TEST(NumberBox, SignedValuesWithBlanksAndSigns) {
    EXPECT_EQ(ParseSignedBoxText(L"42"), 42);
    EXPECT_EQ(ParseSignedBoxText(L"  -17\t"), -17);
    EXPECT_EQ(ParseSignedBoxText(L"+5"), 5);
    EXPECT_EQ(ParseSignedBoxText(L"2147483647"), 2147483647);
    EXPECT_EQ(ParseSignedBoxText(L"-2147483648"), INT32_MIN);
    EXPECT_EQ(ParseSignedBoxText(L"007"), 7);
}

TEST(NumberBox, SignedNonNumbersAreRefusedNotWrapped) {
    for (const wchar_t* text : {L"", L"  ", L"-", L"+", L"12a", L"a12", L"1 2", L"1.5", L"0x10",
                                L"2147483648", L"-2147483649", L"99999999999999999999", L"--1",
                                L"\xFF11"}) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(text)));
        EXPECT_FALSE(ParseSignedBoxText(text).has_value());
    }
}

TEST(NumberBox, UnsignedTakesTheWholeRangeAndNoMinus) {
    EXPECT_EQ(ParseUnsignedBoxText(L"4294967295"), 4294967295u);
    EXPECT_EQ(ParseUnsignedBoxText(L" +3 "), 3u);
    EXPECT_EQ(ParseUnsignedBoxText(L"0"), 0u);
    EXPECT_FALSE(ParseUnsignedBoxText(L"-1").has_value());
    EXPECT_FALSE(ParseUnsignedBoxText(L"4294967296").has_value());
    EXPECT_FALSE(ParseUnsignedBoxText(L"").has_value());
}

}  // namespace
}  // namespace tarvix::ui
