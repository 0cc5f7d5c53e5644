#include "number_text.h"

#include "ascii.h"

namespace tarvix::ui {

namespace {

std::wstring_view Trimmed(std::wstring_view s) { return ascii::Trim(s, ascii::IsBlankOrLineEnd<wchar_t>); }

}  // namespace

std::optional<int32_t> ParseSignedBoxText(std::wstring_view text) {
    text = Trimmed(text);
    const bool negative = ascii::TakeSign(text);
    const auto value = ascii::ReadBoundedDigits(text, negative ? 2147483648ull : 2147483647ull);
    if (!value) return std::nullopt;
    return negative ? static_cast<int32_t>(-static_cast<int64_t>(*value)) : static_cast<int32_t>(*value);
}

std::optional<uint32_t> ParseUnsignedBoxText(std::wstring_view text) {
    text = Trimmed(text);
    if (!text.empty() && text.front() == L'+') text.remove_prefix(1);
    const auto value = ascii::ReadBoundedDigits(text, 4294967295ull);
    if (!value) return std::nullopt;
    return static_cast<uint32_t>(*value);
}

}  // namespace tarvix::ui
