#include "number_text.h"

namespace tarvix::ui {

namespace {

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n'; }

std::wstring_view Trimmed(std::wstring_view s) {
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return s;
}

// Digits only; nullopt when there are none, something else, or the value
// passes the limit.
std::optional<uint64_t> Digits(std::wstring_view s, uint64_t limit) {
    if (s.empty()) return std::nullopt;
    uint64_t value = 0;
    for (wchar_t c : s) {
        if (c < L'0' || c > L'9') return std::nullopt;
        value = value * 10 + static_cast<uint64_t>(c - L'0');
        if (value > limit) return std::nullopt;
    }
    return value;
}

}  // namespace

std::optional<int32_t> ParseSignedBoxText(std::wstring_view text) {
    text = Trimmed(text);
    bool negative = false;
    if (!text.empty() && (text.front() == L'-' || text.front() == L'+')) {
        negative = text.front() == L'-';
        text.remove_prefix(1);
    }
    const auto value = Digits(text, negative ? 2147483648ull : 2147483647ull);
    if (!value) return std::nullopt;
    return negative ? static_cast<int32_t>(-static_cast<int64_t>(*value)) : static_cast<int32_t>(*value);
}

std::optional<uint32_t> ParseUnsignedBoxText(std::wstring_view text) {
    text = Trimmed(text);
    if (!text.empty() && text.front() == L'+') text.remove_prefix(1);
    const auto value = Digits(text, 4294967295ull);
    if (!value) return std::nullopt;
    return static_cast<uint32_t>(*value);
}

}  // namespace tarvix::ui
