#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace tarvix::ui {

// How a number box's text is read: blanks around the number are allowed, a
// sign (only "+" for an unsigned box) and at least one digit, nothing else,
// and the value must fit the member. Anything else is no number, and the
// user is asked again rather than given a wrapped or cut value.
std::optional<int32_t> ParseSignedBoxText(std::wstring_view text);
std::optional<uint32_t> ParseUnsignedBoxText(std::wstring_view text);

}  // namespace tarvix::ui
