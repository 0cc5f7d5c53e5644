// The repeat dialog's arithmetic and refusals, and the editor's summary.
#include <gtest/gtest.h>

#include "repeat_rules.h"
#include "script.h"

namespace tarvix {
namespace {

RepeatFields Fields(int32_t type, int32_t count, int32_t h, int32_t m, int32_t s) {
    return {type, count, h, m, s};
}

TEST(RepeatRules, TheStartValuesGiveOnePlay) {
    EXPECT_EQ(RepeatNumber(RepeatFields{}), 1);
}

TEST(RepeatRules, CountOrSpanAndTheirRefusals) {
    EXPECT_EQ(RepeatNumber(Fields(RepeatCount, 5, 9, 9, 9)), 5) << "the span fields are not read";
    EXPECT_EQ(RepeatNumber(Fields(RepeatSeconds, 0, 0, 1, 30)), 90);
    EXPECT_EQ(RepeatNumber(Fields(RepeatSeconds, 0, 2, 0, 0)), 7200);
    EXPECT_EQ(RepeatNumber(Fields(RepeatSeconds, 0, 0, 0, 75)), 75) << "typed numbers are not limited";
    EXPECT_EQ(RepeatNumber(Fields(RepeatCount, -3, 0, 0, 0)), -3) << "negative numbers pass as typed";
    EXPECT_FALSE(RepeatNumber(Fields(RepeatCount, 0, 1, 1, 1)));
    EXPECT_FALSE(RepeatNumber(Fields(RepeatSeconds, 7, 0, 0, 0)));
    EXPECT_FALSE(RepeatNumber(Fields(RepeatSeconds, 1, 1, -60, 0))) << "a span that adds up to 0";
    // 600,000 hours would wrap a 32-bit number round; refused instead.
    EXPECT_FALSE(RepeatNumber(Fields(RepeatSeconds, 1, 600000, 0, 0)));
    EXPECT_FALSE(RepeatNumber(Fields(RepeatSeconds, 1, 596523, 14, 8)));
    EXPECT_EQ(RepeatNumber(Fields(RepeatSeconds, 1, 596523, 14, 7)), 2147483647);
    EXPECT_FALSE(RepeatNumber(Fields(-1, 1, 0, 0, 0)));
}

TEST(RepeatRules, UntilStopClosesWhateverTheNumberFieldsHold) {
    EXPECT_EQ(RepeatNumber(Fields(RepeatUntilStop, 0, 0, 0, 0)), 1);
    EXPECT_EQ(RepeatNumber(Fields(RepeatUntilStop, 0, 2000000, 0, 0)), 1);
}

TEST(RepeatRules, SummaryTexts) {
    const char count[] = "重複%u次", stop[] = "重複到按中止鍵為止", seconds[] = "重複%u秒";
    EXPECT_EQ(RepeatText(RepeatCount, 1, count, stop, seconds), "重複1次");
    EXPECT_EQ(RepeatText(RepeatSeconds, 90, count, stop, seconds), "重複90秒");
    EXPECT_EQ(RepeatText(RepeatUntilStop, 5, count, stop, seconds), "重複到按中止鍵為止");
    EXPECT_EQ(RepeatText(RepeatCount, -1, count, stop, seconds), "重複4294967295次") << "shown unsigned";
    EXPECT_EQ(RepeatText(7, 1, count, stop, seconds), "");
    EXPECT_EQ(RepeatText(RepeatCount, 1, "%d %s", stop, seconds), "%d %s") << "only %u is replaced";
}

TEST(RepeatRules, SpeedFieldTakesWholePercentsFrom10To1000) {
    EXPECT_EQ(SpeedText(25), "25 %");
    const std::pair<const char*, std::optional<uint32_t>> cases[] = {
        {"25 %", 25}, {"200", 200}, {" 1000% ", 1000}, {"10", 10}, {"400 %", 400},
        {"9", std::nullopt}, {"1001", std::nullopt}, {"0", std::nullopt}, {"-50", std::nullopt},
        {"", std::nullopt}, {"%", std::nullopt}, {"1.5", std::nullopt}, {"4294967396", std::nullopt},
        {"fast", std::nullopt}, {"50 % %", std::nullopt},
    };
    for (const auto& [text, speed] : cases) EXPECT_EQ(SpeedFromText(text), speed) << text;
}

}  // namespace
}  // namespace tarvix
