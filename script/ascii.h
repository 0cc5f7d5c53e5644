#pragma once

// ASCII rules for texts that are bytes in a double-byte code page or wide
// characters: only the ASCII letters fold, only ASCII blanks are trimmed,
// only ASCII digits count. The C library's functions follow the locale and
// would fold or skip bytes of double-byte characters.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tarvix::ascii {

// The blanks of the C locale's isspace.
template <typename Char>
constexpr bool IsCSpace(Char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Spaces, tabs and line ends.
template <typename Char>
constexpr bool IsBlankOrLineEnd(Char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

template <typename Char>
constexpr bool IsDigit(Char c) {
    return c >= '0' && c <= '9';
}

template <typename Char>
constexpr Char Upper(Char c) {
    return c >= 'a' && c <= 'z' ? static_cast<Char>(c - 'a' + 'A') : c;
}

inline std::string Upper(std::string s) {
    for (char& c : s) c = Upper(c);
    return s;
}

inline bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (Upper(a[i]) != Upper(b[i])) return false;
    return true;
}

template <typename Char, typename IsBlank>
constexpr std::basic_string_view<Char> TrimFront(std::basic_string_view<Char> s, IsBlank isBlank) {
    while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
    return s;
}

template <typename Char, typename IsBlank>
constexpr std::basic_string_view<Char> TrimBack(std::basic_string_view<Char> s, IsBlank isBlank) {
    while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
    return s;
}

template <typename Char, typename IsBlank>
constexpr std::basic_string_view<Char> Trim(std::basic_string_view<Char> s, IsBlank isBlank) {
    return TrimBack(TrimFront(s, isBlank), isBlank);
}

// A sign, when there is one, at the start of `s`; true for "-".
template <typename Char>
constexpr bool TakeSign(std::basic_string_view<Char>& s) {
    if (s.empty() || (s.front() != '+' && s.front() != '-')) return false;
    const bool negative = s.front() == '-';
    s.remove_prefix(1);
    return negative;
}

struct DecimalRead {
    int32_t value = 0;
    size_t digits = 0;    // how many digits were read
    size_t consumed = 0;  // bytes read, the sign included
};

// An optional sign and the decimal digits after it, from the start of `s`,
// as the C runtime reads "%d" and its profile functions read numbers: every
// digit counts, the total wraps modulo 2^32, and a sign with no digit after
// it reads as 0.
constexpr DecimalRead ReadWrappingDecimal(std::string_view s) {
    const size_t size = s.size();
    const bool negative = TakeSign(s);
    uint32_t total = 0;
    size_t digits = 0;
    while (digits < s.size() && IsDigit(s[digits])) {
        total = total * 10u + static_cast<uint32_t>(s[digits] - '0');
        ++digits;
    }
    const size_t consumed = size - s.size() + digits;
    return {static_cast<int32_t>(negative ? 0u - total : total), digits, consumed};
}

// The whole of `s` as decimal digits, at most `limit`; nothing when `s` is
// empty, holds anything else or is greater.
template <typename Char>
std::optional<uint64_t> ReadBoundedDigits(std::basic_string_view<Char> s, uint64_t limit) {
    if (s.empty()) return std::nullopt;
    uint64_t value = 0;
    for (Char c : s) {
        if (!IsDigit(c)) return std::nullopt;
        value = value * 10 + static_cast<uint64_t>(c - '0');
        if (value > limit) return std::nullopt;
    }
    return value;
}

}  // namespace tarvix::ascii
