// The shared ASCII rules: profile values, action lines, key names and number
// boxes all read through them, so each rule is held here on the inputs where
// a locale-following or sloppier rule would read differently.
#include <gtest/gtest.h>

#include "ascii.h"

namespace tarvix {
namespace {

TEST(Ascii, OnlyAsciiLettersFoldAndOnlyTheGivenBlanksAreTrimmed) {
    EXPECT_EQ(ascii::Upper(std::string("aZ09[]{}`~\xE1\xB4\xFA")), "AZ09[]{}`~\xE1\xB4\xFA");
    EXPECT_FALSE(ascii::EqualsNoCase("\xE1", "\xC1")) << "no Latin-1 folding";
    EXPECT_FALSE(ascii::EqualsNoCase("ab", "abc"));
    const std::string_view s = "\v\t a b \r\n\f";
    EXPECT_EQ(ascii::Trim(s, ascii::IsCSpace<char>), "a b");
    EXPECT_EQ(ascii::Trim(s, ascii::IsBlankOrLineEnd<char>), s);
    EXPECT_EQ(ascii::Trim(std::wstring_view(L"\t12 \n"), ascii::IsBlankOrLineEnd<wchar_t>), L"12");
}

// As the C runtime reads "%d": wrapping modulo 2^32, blanks the caller's to skip.
TEST(Ascii, WrappingDecimalReadsAsTheRuntimeAndBoundedDigitsRefuseWhatDoesNotFit) {
    const auto read = [](std::string_view s) { return ascii::ReadWrappingDecimal(s); };
    EXPECT_EQ(read("+123abc").value, 123);
    EXPECT_EQ(read("+123abc").consumed, 4u);
    EXPECT_EQ(read("-45").value, -45);
    EXPECT_EQ(read("2147483648").value, INT32_MIN);
    EXPECT_EQ(read("99999999999").value, 1215752191);
    EXPECT_EQ(read("-x").digits, 0u);
    EXPECT_EQ(read(" 5").digits, 0u);
    EXPECT_EQ(ascii::ReadBoundedDigits(std::string_view("4294967295"), 4294967295ull), 4294967295ull);
    EXPECT_FALSE(ascii::ReadBoundedDigits(std::string_view("4294967296"), 4294967295ull));
    EXPECT_FALSE(ascii::ReadBoundedDigits(std::string_view("99999999999999999999999"), 4294967295ull));
    EXPECT_FALSE(ascii::ReadBoundedDigits(std::wstring_view(L"1\uFF12"), 100)) << "full-width digits are no digits";
}

}  // namespace
}  // namespace tarvix
