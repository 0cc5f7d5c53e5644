#include "repeat_rules.h"

#include <cstdio>
#include <limits>

#include "script.h"

namespace tarvix {

std::optional<int32_t> RepeatNumber(const RepeatFields& fields) {
    int64_t number = 0;
    switch (fields.type) {
        case RepeatCount:
            number = fields.count;
            break;
        case RepeatSeconds:
            // In 64 bits: a span of millions of hours must not wrap round to
            // a short one.
            number = int64_t{fields.hours} * 3600 + int64_t{fields.minutes} * 60 + fields.seconds;
            break;
        case RepeatUntilStop:
            return 1;
        default:
            return std::nullopt;
    }
    if (number == 0 || number > std::numeric_limits<int32_t>::max() ||
        number < std::numeric_limits<int32_t>::min())
        return std::nullopt;
    return static_cast<int32_t>(number);
}

std::string RepeatText(int32_t type, int32_t number, std::string_view countFormat,
                       std::string_view untilStopText, std::string_view secondsFormat) {
    std::string_view format;
    switch (type) {
        case RepeatCount: format = countFormat; break;
        case RepeatUntilStop: return std::string(untilStopText);
        case RepeatSeconds: format = secondsFormat; break;
        default: return {};
    }
    // The format holds one %u; anything else in it is text.
    std::string text;
    const size_t at = format.find("%u");
    if (at == std::string_view::npos) return std::string(format);
    char digits[16];
    std::snprintf(digits, sizeof digits, "%u", static_cast<unsigned>(number));
    text.append(format.substr(0, at)).append(digits).append(format.substr(at + 2));
    return text;
}

std::string SpeedText(uint32_t percent) { return std::to_string(percent) + " %"; }

std::optional<uint32_t> SpeedFromText(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    if (!text.empty() && text.back() == '%') text.remove_suffix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    if (text.empty() || text.size() > 4) return std::nullopt;
    uint32_t percent = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        percent = percent * 10 + static_cast<uint32_t>(c - '0');
    }
    if (!IsValidSpeed(percent)) return std::nullopt;
    return percent;
}

}  // namespace tarvix
