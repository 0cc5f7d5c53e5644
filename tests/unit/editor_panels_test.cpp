// The insertion panels' refusals and conversions, and the repeat dialog's
// arithmetic and texts.
#include <gtest/gtest.h>

#include <tuple>

#include "panels.h"
#include "repeat_rules.h"
#include "script.h"

namespace tarvix {
namespace {

// The category, and the line the action is written as; "refused" for none.
std::string Line(const std::optional<ScriptAction>& a) {
    return a ? std::to_string(a->category) + " " + FormatActionLine(*a, Edition::V11)
             : "refused";
}

TEST(Panels, EachPanelBuildsItsActionOrRefuses) {
    const std::pair<std::optional<ScriptAction>, const char*> cases[] = {
        {KeyPanelAction(65, 0, 3), "0 KeyPress 65 3"},
        {KeyPanelAction(0x0D, 2, 20000), "0 KeyUp 13 20000"},  // beyond the spin's range
        {KeyPanelAction(0, 0, 1), "refused"},                  // no key picked
        {KeyPanelAction(65, 0, 0), "refused"},
        {KeyPanelAction(65, 0, 3000000000u), "refused"},  // would be stored as a negative count
        {KeyPanelAction(65, 3, 1), "refused"},
        {ButtonPanelAction(0, 1, Edition::V11), "1 LeftClick 1"},
        {ButtonPanelAction(6, 1, Edition::V11), "1 RightUp 1"},
        {ButtonPanelAction(7, 2, Edition::V11), "1 MiddleClick 2"},
        {ButtonPanelAction(13, 3, Edition::V11), "1 X2Click 3"},
        {ButtonPanelAction(16, 3, Edition::V11), "1 Wheel 360"},
        {ButtonPanelAction(19, 5, Edition::V11), "1 HWheel 600"},
        {ButtonPanelAction(16, 17895697, Edition::V11), "1 Wheel 2147483640"},
        {ButtonPanelAction(16, 17895698, Edition::V11), "refused"},  // more notches than a line holds
        {ButtonPanelAction(20, 1, Edition::V11), "refused"},
        {ButtonPanelAction(6, 1, Edition::V10), "1 RightUp 1"},
        {ButtonPanelAction(7, 1, Edition::V10), "refused"},  // edition 1.0 has seven items
        {DelayPanelAction(3, 0), "3 Delay 3000"},
        {DelayPanelAction(3, 1), "3 Delay 3"},
        {DelayPanelAction(2147483, 0), "3 Delay 2147483000"},
        {DelayPanelAction(2147484, 0), "refused"},  // would wrap round in 32 bits
        {MoveToPanelAction({-1280, 1500}), "2 MoveTo -1280 1500"},
        {MoveToPanelAction({476, -2}, true), "2 MoveIn 476 -2"},
        {MoveByPanelAction(-5, 7), "2 MoveR -5 7"},
        {TextPanelAction(" a b "), "4 SayString  a b "},
        {TextPanelAction(""), "refused"},
    };
    for (const auto& [action, line] : cases) EXPECT_EQ(Line(action), line);
    EXPECT_EQ(PointComboEntry(8, {-20, 1079}), "P9:X=-20 Y=1079");
    EXPECT_EQ(PointComboEntry(2, {476, -2}, "\xb5\xf8\xb5\xa1\xa4\xba"), "P3:\xb5\xf8\xb5\xa1\xa4\xba X=476 Y=-2");
}

// The type, count, hours, minutes and seconds as typed, and the number. The
// span fields of a count are not read; negative counts pass as typed; the
// span's typed numbers are not limited, but it may neither add up to 0 nor
// wrap a 32-bit number.
TEST(RepeatRules, CountOrSpanAndTheirRefusals) {
    const std::pair<RepeatFields, std::optional<int32_t>> cases[] = {
        {{}, 1}, {{RepeatCount, 5, 9, 9, 9}, 5}, {{RepeatCount, -3, 0, 0, 0}, -3}, {{RepeatSeconds, 0, 2, 1, 75}, 7335},
        {{RepeatSeconds, 1, 596523, 14, 7}, 2147483647}, {{RepeatUntilStop, 0, 2000000, 0, 0}, 1},
        {{RepeatCount, 0, 1, 1, 1}, {}}, {{RepeatSeconds, 1, 1, -60, 0}, {}}, {{RepeatSeconds, 1, 596523, 14, 8}, {}},
        {{-1, 1, 0, 0, 0}, {}}};
    for (const auto& [fields, number] : cases) EXPECT_EQ(RepeatNumber(fields), number) << fields.type << " " << fields.hours;
}

TEST(RepeatRules, SummaryAndSpeedTexts) {
    const char count[] = "重複%u次", stop[] = "重複到按中止鍵為止", seconds[] = "重複%u秒";
    // A count shown unsigned; only %u is replaced.
    const std::tuple<int32_t, int32_t, const char*, const char*> texts[] = {{RepeatSeconds, 90, count, "重複90秒"},
        {RepeatUntilStop, 5, count, "重複到按中止鍵為止"}, {RepeatCount, -1, count, "重複4294967295次"}, {7, 1, count, ""},
        {RepeatCount, 1, "%d %s", "%d %s"}};
    for (const auto& [type, number, format, text] : texts) EXPECT_EQ(RepeatText(type, number, format, stop, seconds), text);
    EXPECT_EQ(SpeedText(25), "25 %");
    // Whole percents from 10 to 1000.
    const std::pair<const char*, std::optional<uint32_t>> cases[] = {
        {"25 %", 25}, {" 1000% ", 1000}, {"10", 10}, {"9", {}}, {"1001", {}}, {"-50", {}}, {"", {}}, {"%", {}},
        {"1.5", {}}, {"4294967396", {}}, {"fast", {}}, {"50 % %", {}}};
    for (const auto& [text, speed] : cases) EXPECT_EQ(SpeedFromText(text), speed) << text;
}

}  // namespace
}  // namespace tarvix
