#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tarvix {

// What the repeat dialog's fields hold when the user confirms it.
struct RepeatFields {
    int32_t type = 0;  // RepeatCount, RepeatUntilStop or RepeatSeconds
    int32_t count = 1;
    int32_t hours = 0;
    int32_t minutes = 1;
    int32_t seconds = 0;
};

// The repeat number the fields give: the count, or the span in seconds.
// Empty when the dialog must refuse them: a count or a span of 0, or a span
// too long for the number a script file holds. Until-stop takes any fields
// and gives 1.
std::optional<int32_t> RepeatNumber(const RepeatFields& fields);

// The editor's one-line summary of a repeat setting, from the edition's
// three formats (each holding one %u); empty for an unknown type.
std::string RepeatText(int32_t type, int32_t number, std::string_view countFormat,
                       std::string_view untilStopText, std::string_view secondsFormat);

// The editor's speed field, which sits beside the repeat setting: "200 %"
// for 200, and back from what the user picked or typed: a whole percent,
// the sign and spaces optional. Empty for anything else and for a speed out
// of the range a script may have, which the editor refuses.
std::string SpeedText(uint32_t percent);
std::optional<uint32_t> SpeedFromText(std::string_view text);

}  // namespace tarvix
