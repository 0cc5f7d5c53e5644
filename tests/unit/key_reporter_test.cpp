// What the keyboard hook reports for each key event: hotkeys, capture keys
// of both editions, and the keys it forgets when their release was missed.
#include <gtest/gtest.h>

#include "hook_fakes.h"
#include "key_reporter.h"

namespace tarvix::hook {
namespace {

using testing::Down;
using testing::Up;
using Codes = std::vector<int>;

constexpr uint8_t kA = 'A', kB = 'B', kF5 = 0x74, kShift = 0x10;

struct KeyReporterTest : ::testing::Test {
    testing::FakeSystemKeys keys;
    testing::FakeClock clock;
    testing::FakeSink sink;
    KeyReporter reporter{keys, clock, sink};

    void Feed(std::initializer_list<KeyEvent> events) {
        for (const KeyEvent& e : events) reporter.OnKeyEvent(e);
    }
    void Tap(uint8_t vk) { Feed({Down(vk), Up(vk)}); }
    // Whether a press of `vk` now is reported: false while the reporter
    // still takes the key for held.
    bool PressReported(uint8_t vk) {
        sink.hotkeys.clear();
        reporter.OnKeyEvent(Down(vk));
        return sink.hotkeys == Codes{vk};
    }
};

TEST_F(KeyReporterTest, EachPressReportedOnceNotItsAutoRepeats) {
    Feed({Down(kA), Down(kA), Down(kA), Up(kA), Down(kA), Up(kA)});
    Feed({Down(kShift), Down(kB), Down(kB), Up(kB), Down(kShift), Up(kShift)});
    EXPECT_EQ(sink.hotkeys, (Codes{kA, kA, kShift, kB}));
    EXPECT_TRUE(sink.captures.empty());
}

TEST_F(KeyReporterTest, OwnTaggedInputReportsNothingAndLeavesNoTraceButOtherProgramsInputCounts) {
    Feed({Down(kB, kOwnInputTag), Down(vk::kControl, kOwnInputTag), Down(kF5, kOwnInputTag)});
    EXPECT_TRUE(sink.hotkeys.empty());
    EXPECT_TRUE(PressReported(kB)) << "the tagged press of B did not mark B held";
    EXPECT_TRUE(PressReported(kF5));

    Feed({Down(kA), Up(kA, kOwnInputTag)});
    EXPECT_FALSE(PressReported(kA)) << "a tagged release does not end the user's hold";

    KeyEvent injected = Down('C', 0x1234);
    injected.injected = true;
    reporter.OnKeyEvent(injected);
    EXPECT_EQ(sink.hotkeys, Codes{'C'}) << "input another program synthesised";
}

// ---------------------------------------------------------------- capture keys

struct CaptureCase {
    CaptureKeys keys;
    uint8_t first;       // the 1 of this edition's capture keys
    uint8_t otherFirst;  // the 1 of the other edition's
    uint8_t zero;        // the 0 beside them
};

void PrintTo(const CaptureCase& c, std::ostream* os) {
    *os << (c.keys == CaptureKeys::Keypad ? "keypad" : "digit row");
}

struct CaptureKeysTest : KeyReporterTest, ::testing::WithParamInterface<CaptureCase> {
    void SetUp() override { sink.captureKeys = GetParam().keys; }
    void AltCtrlTap(uint8_t vk, uint8_t alt = vk::kLeftMenu, uint8_t ctrl = vk::kLeftControl) {
        Feed({Down(alt), Down(ctrl)});
        Tap(vk);
        Feed({Up(ctrl), Up(alt)});
    }
};

TEST_P(CaptureKeysTest, AltCtrlWithOneToNineReportsZeroToEight) {
    const uint8_t first = GetParam().first;
    for (int i = 0; i < 9; ++i) AltCtrlTap(static_cast<uint8_t>(first + i));
    EXPECT_EQ(sink.captures, (Codes{0, 1, 2, 3, 4, 5, 6, 7, 8}));
    EXPECT_EQ(sink.hotkeys.size(), 27u) << "the hotkey reports go on beside capture";
}

TEST_P(CaptureKeysTest, EitherAltAndEitherCtrlCount) {
    const uint8_t first = GetParam().first;
    AltCtrlTap(first, vk::kRightMenu, vk::kRightControl);
    AltCtrlTap(first + 1, vk::kMenu, vk::kControl);
    AltCtrlTap(first + 2, vk::kRightMenu, vk::kLeftControl);
    EXPECT_EQ(sink.captures, (Codes{0, 1, 2}));
}

TEST_P(CaptureKeysTest, OtherKeysAndOtherModifiersCaptureNothing) {
    const CaptureCase c = GetParam();
    Tap(c.first);
    Feed({Down(vk::kLeftControl)});
    Tap(c.first + 2);
    Feed({Up(vk::kLeftControl), Down(vk::kLeftMenu)});
    Tap(c.first + 4);
    Feed({Up(vk::kLeftMenu)});
    AltCtrlTap(c.zero);
    AltCtrlTap(c.first + 9);
    AltCtrlTap(c.first - 1);
    AltCtrlTap(kA);
    AltCtrlTap(kF5);
    for (int i = 0; i < 9; ++i) AltCtrlTap(static_cast<uint8_t>(c.otherFirst + i));
    EXPECT_TRUE(sink.captures.empty()) << "first capture: " << (sink.captures.empty() ? -1 : sink.captures[0]);
}

TEST_P(CaptureKeysTest, HeldAltCtrlCaptureEachDigitButNotItsRepeats) {
    const uint8_t first = GetParam().first;
    Feed({Down(vk::kLeftControl), Down(vk::kLeftMenu)});
    Feed({Down(first + 3), Down(first + 3), Up(first + 3)});
    Tap(first + 5);
    EXPECT_EQ(sink.captures, (Codes{3, 5}));
}

// Modifiers held before the hook started come from the system; those the
// system has not caught up with from the hook; one from each is enough.
TEST_P(CaptureKeysTest, ModifiersComeFromTheSystemOrTheHook) {
    const uint8_t first = GetParam().first;
    keys.down = {vk::kLeftMenu, vk::kLeftControl};
    Tap(first + 6);
    keys.down = {vk::kRightControl};
    Feed({Down(vk::kLeftMenu)});
    Tap(first + 1);
    keys.down = {};
    Feed({Down(vk::kLeftControl), Down(first)});
    Feed({Up(vk::kLeftControl), Up(first)});
    Tap(first + 2);  // the released Ctrl no longer counts
    EXPECT_EQ(sink.captures, (Codes{6, 1, 0}));
}

TEST_P(CaptureKeysTest, NothingCapturedWhileCaptureIsOff) {
    sink.captureKeys = CaptureKeys::Off;
    AltCtrlTap(GetParam().first);
    EXPECT_TRUE(sink.captures.empty());
    EXPECT_EQ(sink.hotkeys.size(), 3u);
}

INSTANTIATE_TEST_SUITE_P(Editions, CaptureKeysTest,
                         ::testing::Values(CaptureCase{CaptureKeys::DigitRow, '1', 0x61, '0'},
                                           CaptureCase{CaptureKeys::Keypad, 0x61, '1', 0x60}),
                         [](const auto& info) {
                             return info.param.keys == CaptureKeys::Keypad ? "Keypad" : "DigitRow";
                         });

// ---------------------------------------------------------------- missed releases

// Presses whose release never arrives: each key is forgotten after more
// than the quiet time since its last event, one by one, unless the system
// holds it (without auto-repeat: some keyboards, or a modifier).
TEST_F(KeyReporterTest, MissedReleaseForgottenOnlyAfterTheQuietTime) {
    Feed({Down(kA), Down(kF5)});
    keys.down = {kF5};
    clock.now += 1000;
    reporter.ForgetReleasedKeys();
    EXPECT_FALSE(PressReported(kA)) << "1000 ms without an event is not yet quiet";
    clock.now += 600;
    Feed({Down(kB)});
    clock.now += 401;
    reporter.ForgetReleasedKeys();
    EXPECT_TRUE(PressReported(kA)) << "forgotten after more than the quiet time";
    EXPECT_FALSE(PressReported(kB)) << "quiet only 401 ms; this press is an auto-repeat";
    clock.now += 900;
    reporter.ForgetReleasedKeys();
    EXPECT_FALSE(PressReported(kB)) << "the auto-repeat kept it fresh";
    clock.now += 60000;
    reporter.ForgetReleasedKeys();
    EXPECT_FALSE(PressReported(kF5)) << "the system still holds it";
    EXPECT_TRUE(PressReported(kB));
}

TEST_F(KeyReporterTest, QuietTimeCountsAcrossTheTickWrap) {
    clock.now = 0xFFFFFF00u;
    Feed({Down(kA), Down(kB)});
    clock.now += 999;  // wrapped past zero
    ASSERT_LT(clock.now, 0x1000u);
    reporter.ForgetReleasedKeys();
    EXPECT_FALSE(PressReported(kA));

    clock.now += 2;
    reporter.ForgetReleasedKeys();
    EXPECT_TRUE(PressReported(kB)) << "pressed before the wrap, quiet 1001 ms after it";
}

TEST_F(KeyReporterTest, ForgottenModifierNoLongerMakesACapture) {
    sink.captureKeys = CaptureKeys::DigitRow;
    Feed({Down(vk::kLeftControl)});  // its release was missed
    clock.now += 1500;
    reporter.ForgetReleasedKeys();
    Feed({Down(vk::kLeftMenu)});
    Tap('1');
    EXPECT_TRUE(sink.captures.empty());
}

}  // namespace
}  // namespace tarvix::hook
