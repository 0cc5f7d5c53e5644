// What the keyboard hook reports for each key event: hotkeys, capture keys
// of both editions, and the keys it forgets when their release was missed.
#include <gtest/gtest.h>

#include "key_reporter.h"
#include "test_support.h"

namespace tarvix::hook {
namespace {

using testing::Down;
using testing::Up;
using Codes = std::vector<int>;
constexpr uint8_t kA = 'A', kB = 'B', kF5 = 0x74;

struct KeyReporterTest : ::testing::Test {
    testing::FakeSystem system;
    testing::FakeClock clock;
    KeyReporter reporter{system, clock, system};

    void Feed(std::initializer_list<KeyEvent> events) {
        for (const KeyEvent& e : events) reporter.OnKeyEvent(e);
    }
    void Tap(int vk, uint8_t alt = 0, uint8_t ctrl = 0) {
        if (alt) Feed({Down(alt)});
        if (ctrl) Feed({Down(ctrl)});
        Feed({Down(static_cast<uint8_t>(vk)), Up(static_cast<uint8_t>(vk))});
        if (ctrl) Feed({Up(ctrl)});
        if (alt) Feed({Up(alt)});
    }
    // Whether a press of `vk` now is reported: false while the reporter
    // still takes the key for held.
    bool PressReported(uint8_t vk) {
        system.hotkeys.clear();
        reporter.OnKeyEvent(Down(vk));
        return system.hotkeys == Codes{vk};
    }
    void Forget(uint32_t afterMs) {
        clock.now += afterMs;
        reporter.ForgetReleasedKeys();
    }
};

// Each press once, not its auto-repeats; the program's own tagged input
// reports nothing and leaves no trace, another program's counts.
TEST_F(KeyReporterTest, EachPressReportedOnceButNotTheProgramsOwn) {
    Feed({Down(kA), Down(kA), Up(kA), Down(kA), Up(kA), Down(0x10), Down(kB), Down(kB), Up(kB)});
    EXPECT_EQ(system.hotkeys, (Codes{kA, kA, 0x10, kB}));
    system.hotkeys.clear();
    Feed({Down(kB, kOwnInputTag), Down(vk::kControl, kOwnInputTag), Down(kF5, kOwnInputTag)});
    EXPECT_TRUE(system.hotkeys.empty());
    EXPECT_TRUE(PressReported(kF5)) << "the tagged press did not mark F5 held";
    Feed({Down(kA), Up(kA, kOwnInputTag)});
    EXPECT_FALSE(PressReported(kA)) << "a tagged release does not end the user's hold";
    KeyEvent injected = Down('C', 0x1234);
    injected.injected = true;
    system.hotkeys.clear();
    reporter.OnKeyEvent(injected);
    EXPECT_EQ(system.hotkeys, Codes{'C'});
    EXPECT_TRUE(system.captures.empty());
}

// Alt and Ctrl (either one of each, from the system's key state or the
// hook's, whichever knows it) with 1 to 9 of the edition's capture keys give
// 0 to 8; nothing else does, nor anything while capture is off.
TEST_F(KeyReporterTest, CaptureKeysOfEachEdition) {
    const std::tuple<CaptureKeys, int, int, int> editions[] = {{CaptureKeys::DigitRow, '1', 0x61, '0'},
                                                               {CaptureKeys::Keypad, 0x61, '1', 0x60}};
    for (const auto& [keys, first, otherFirst, zero] : editions) {
        system.captureKeys = keys;
        system.captures.clear();
        system.hotkeys.clear();
        for (int i = 0; i < 9; ++i) Tap(first + i, vk::kLeftMenu, vk::kLeftControl);
        EXPECT_EQ(system.hotkeys.size(), 27u) << "hotkeys are reported beside capture";
        Tap(first, vk::kRightMenu, vk::kRightControl);
        Tap(first + 1, vk::kMenu, vk::kControl);
        const auto digit = static_cast<uint8_t>(first + 3);
        Feed({Down(vk::kLeftControl), Down(vk::kLeftMenu), Down(digit), Down(digit), Up(digit)});
        Feed({Up(vk::kLeftControl), Up(vk::kLeftMenu)});
        system.down = {vk::kLeftMenu, vk::kLeftControl};
        Tap(first + 6);
        system.down = {vk::kRightControl};
        Tap(first + 2, vk::kLeftMenu);
        system.down = {};
        EXPECT_EQ(system.captures, (Codes{0, 1, 2, 3, 4, 5, 6, 7, 8, 0, 1, 3, 6, 2}));
        system.captures.clear();
        Tap(first);
        Tap(first + 2, 0, vk::kLeftControl);
        Tap(first + 4, vk::kLeftMenu);
        for (int other : {zero, first + 9, first - 1, int{kA}, int{kF5}}) Tap(other, vk::kLeftMenu, vk::kLeftControl);
        for (int i = 0; i < 9; ++i) Tap(otherFirst + i, vk::kLeftMenu, vk::kLeftControl);
        system.captureKeys = CaptureKeys::Off;
        Tap(first, vk::kLeftMenu, vk::kLeftControl);
        EXPECT_EQ(system.captures, Codes{});
    }
}

// Presses whose release never arrives: each key is forgotten after more
// than the quiet time since its last event, one by one, unless the system
// holds it (without auto-repeat: some keyboards, or a modifier), also
// across the tick count's wrap.
TEST_F(KeyReporterTest, MissedReleaseForgottenOnlyAfterTheQuietTime) {
    clock.now = 0xFFFFFF00u;
    Feed({Down(kA), Down(kF5)});
    system.down = {kF5};
    Forget(1000);
    EXPECT_FALSE(PressReported(kA)) << "1000 ms without an event is not yet quiet";
    Forget(600);
    Feed({Down(kB)});
    Forget(401);
    EXPECT_TRUE(PressReported(kA)) << "forgotten after more than the quiet time";
    EXPECT_FALSE(PressReported(kB)) << "quiet only 401 ms; this press is an auto-repeat";
    Forget(900);
    EXPECT_FALSE(PressReported(kB)) << "the auto-repeat kept it fresh";
    Forget(60000);
    EXPECT_FALSE(PressReported(kF5)) << "the system still holds it";
    EXPECT_TRUE(PressReported(kB));
    // A forgotten modifier no longer makes a capture.
    system.captureKeys = CaptureKeys::DigitRow;
    Feed({Down(vk::kLeftControl)});
    Forget(1500);
    Tap('1', vk::kLeftMenu);
    EXPECT_TRUE(system.captures.empty());
}

}  // namespace
}  // namespace tarvix::hook
