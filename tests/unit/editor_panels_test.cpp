// The insertion panels' refusals and conversions.
#include <gtest/gtest.h>

#include "panels.h"

namespace tarvix {
namespace {

TEST(Panels, KeyPanelBuildsTheKindFromTheComboAndRefusesNoKeyOrNoCount) {
    EXPECT_EQ(KeyPanelAction(65, 0, 3), (ScriptAction{CategoryKey, KindKeyPress, "", 65, 3}));
    EXPECT_EQ(KeyPanelAction(0x0D, 1, 1)->kind, KindKeyDown);
    EXPECT_EQ(KeyPanelAction(0x0D, 2, 1)->kind, KindKeyUp);
    EXPECT_EQ(KeyPanelAction(65, 0, 20000)->param2, 20000) << "beyond the spin's range is still taken";
    EXPECT_FALSE(KeyPanelAction(0, 0, 1)) << "no key picked";
    EXPECT_FALSE(KeyPanelAction(65, 0, 0));
    EXPECT_FALSE(KeyPanelAction(65, 0, 3000000000u)) << "would be stored as a negative count";
    EXPECT_FALSE(KeyPanelAction(65, -1, 1)) << "no kind chosen";
}

TEST(Panels, ButtonPanelMapsItsItemsToButtonKindsAndWheelNotches) {
    struct Case {
        int index;
        uint32_t count;
        int32_t kind, param1;
    };
    for (const Case& c : std::initializer_list<Case>{
             {0, 1, KindLeftClick, 1},    {1, 7, KindRightClick, 7},    {2, 1, KindLeftDoubleClick, 1},
             {6, 1, KindRightUp, 1},      {7, 2, KindMiddleClick, 2},   {9, 1, KindMiddleUp, 1},
             {10, 1, KindX1Click, 1},     {12, 1, KindX1Up, 1},         {13, 3, KindX2Click, 3},
             {15, 1, KindX2Up, 1},        {16, 3, KindWheel, 360},      {17, 2, KindWheel, -240},
             {18, 1, KindHWheel, -120},   {19, 5, KindHWheel, 600},     {16, 17895697, KindWheel, 2147483640},
         }) {
        const auto action = ButtonPanelAction(c.index, c.count, Edition::V11);
        ASSERT_TRUE(action) << c.index;
        EXPECT_EQ(*action, (ScriptAction{CategoryButton, c.kind, "", c.param1, 0})) << c.index;
    }
    EXPECT_FALSE(ButtonPanelAction(0, 0, Edition::V11));
    EXPECT_FALSE(ButtonPanelAction(16, 17895698, Edition::V11)) << "more notches than a line holds";
    EXPECT_FALSE(ButtonPanelAction(20, 1, Edition::V11));
    EXPECT_FALSE(ButtonPanelAction(-1, 1, Edition::V11));
    EXPECT_EQ(ButtonPanelAction(6, 1, Edition::V10)->kind, KindRightUp);
    EXPECT_FALSE(ButtonPanelAction(7, 1, Edition::V10)) << "edition 1.0 has seven items";
}

TEST(Panels, DelayIsStoredInMillisecondsWithoutWrappingRound) {
    EXPECT_EQ(DelayPanelAction(3, 0)->param1, 3000);
    EXPECT_EQ(DelayPanelAction(3, 1)->param1, 3);
    EXPECT_EQ(DelayPanelAction(3, 1)->kind, KindDelay);
    EXPECT_EQ(DelayPanelAction(2147483, 0)->param1, 2147483000);
    EXPECT_FALSE(DelayPanelAction(0, 0));
    EXPECT_FALSE(DelayPanelAction(0, 1));
    // 4294968 s times 1000 is 704 ms in 32 bits: refused instead.
    EXPECT_FALSE(DelayPanelAction(4294968, 0));
    EXPECT_FALSE(DelayPanelAction(2147484, 0));
    EXPECT_FALSE(DelayPanelAction(3000000000u, 1));
}

TEST(Panels, MovesTakeAnyNumbersAndTextsAreKeptExactly) {
    EXPECT_EQ(MoveToPanelAction({-1280, 1500}), (ScriptAction{CategoryMove, KindMoveTo, "", -1280, 1500}));
    EXPECT_EQ(MoveByPanelAction(-5, 7), (ScriptAction{CategoryMove, KindMoveR, "", -5, 7}));
    EXPECT_EQ(MoveToPanelAction({476, -2}, true), (ScriptAction{CategoryMove, KindMoveIn, "", 476, -2}));
    EXPECT_EQ(TextPanelAction(" a b ")->text, " a b ");
    EXPECT_EQ(TextPanelAction("x")->category, CategoryText);
    EXPECT_FALSE(TextPanelAction(""));
}

TEST(Panels, PointEntriesCountFromOne) {
    EXPECT_EQ(PointComboEntry(0, {0, 0}), "P1:X=0 Y=0");
    EXPECT_EQ(PointComboEntry(8, {-20, 1079}), "P9:X=-20 Y=1079");
    EXPECT_EQ(PointComboEntry(2, {476, -2}, "\xb5\xf8\xb5\xa1\xa4\xba"), "P3:\xb5\xf8\xb5\xa1\xa4\xba X=476 Y=-2");
}

}  // namespace
}  // namespace tarvix
