// The shared ASCII rules: profile values, action lines, key names and number
// boxes all read through them, so each rule is held here on the inputs where
// a locale-following or sloppier rule would read differently.
#include <gtest/gtest.h>

#include "ascii.h"

namespace tarvix {
namespace {

TEST(Ascii, OnlyAsciiLettersFold) {
    EXPECT_EQ(ascii::Upper(std::string("aZ09[]{}`~\xE1\xB4\xFA")), "AZ09[]{}`~\xE1\xB4\xFA");
    EXPECT_TRUE(ascii::EqualsNoCase("[script]", "[SCRIPT]"));
    EXPECT_FALSE(ascii::EqualsNoCase("ab", "abc"));
    EXPECT_FALSE(ascii::EqualsNoCase("\xE1", "\xC1")) << "no Latin-1 folding";
    EXPECT_EQ(ascii::Upper(L'\u00E9'), L'\u00E9');
}

TEST(Ascii, TrimTakesOnlyTheGivenBlanks) {
    const std::string_view s = "\v\t a b \r\n\f";
    EXPECT_EQ(ascii::Trim(s, ascii::IsCSpace<char>), "a b");
    EXPECT_EQ(ascii::Trim(s, ascii::IsBlankOrLineEnd<char>), "\v\t a b \r\n\f");
    EXPECT_EQ(ascii::TrimFront(std::string_view(" \t x "), ascii::IsBlankOrLineEnd<char>), "x ");
    EXPECT_EQ(ascii::TrimBack(std::string_view(" x \t"), ascii::IsBlankOrLineEnd<char>), " x");
    EXPECT_TRUE(ascii::Trim(std::string_view(" \r\n"), ascii::IsCSpace<char>).empty());
    EXPECT_EQ(ascii::Trim(std::wstring_view(L"\t12 \n"), ascii::IsBlankOrLineEnd<wchar_t>), L"12");
}

TEST(Ascii, WrappingDecimalReadsAsTheRuntime) {
    const auto read = [](std::string_view s) { return ascii::ReadWrappingDecimal(s); };
    EXPECT_EQ(read("123abc").value, 123);
    EXPECT_EQ(read("123abc").consumed, 3u);
    EXPECT_EQ(read("-45").value, -45);
    EXPECT_EQ(read("+7 8").consumed, 2u);
    EXPECT_EQ(read("4294967296").value, 0) << "wraps modulo 2^32";
    EXPECT_EQ(read("2147483648").value, INT32_MIN);
    EXPECT_EQ(read("-2147483648").value, INT32_MIN);
    EXPECT_EQ(read("99999999999").value, static_cast<int32_t>(99999999999ll % 4294967296ll));
    const ascii::DecimalRead signOnly = read("-x");
    EXPECT_EQ(signOnly.digits, 0u);
    EXPECT_EQ(signOnly.value, 0);
    EXPECT_EQ(read(" 5").digits, 0u) << "blanks are the caller's to skip";
    EXPECT_EQ(read("0x10").value, 0);
}

TEST(Ascii, BoundedDigitsRefuseWhatDoesNotFit) {
    EXPECT_EQ(ascii::ReadBoundedDigits(std::string_view("4294967295"), 4294967295ull), 4294967295ull);
    EXPECT_FALSE(ascii::ReadBoundedDigits(std::string_view("4294967296"), 4294967295ull));
    EXPECT_FALSE(ascii::ReadBoundedDigits(std::string_view("99999999999999999999999"), 4294967295ull));
    EXPECT_FALSE(ascii::ReadBoundedDigits(std::string_view(""), 10));
    EXPECT_FALSE(ascii::ReadBoundedDigits(std::wstring_view(L"1\uFF12"), 100)) << "full-width digits are no digits";
    std::wstring_view signed_ = L"-12";
    EXPECT_TRUE(ascii::TakeSign(signed_));
    EXPECT_EQ(signed_, L"12");
}

}  // namespace
}  // namespace tarvix
