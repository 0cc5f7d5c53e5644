// When the keyboard hook takes itself for lost and goes in again.
#include <gtest/gtest.h>

#include "hook_fakes.h"
#include "hook_watchdog.h"

namespace tarvix::hook {
namespace {

struct HookWatchdogTest : ::testing::Test {
    testing::FakeClock clock;
    HookWatchdog watchdog{clock};

    // A key the callback saw at `time`: the session's input time moves with it.
    void KeySeenAt(uint32_t time) {
        clock.now = time;
        watchdog.Seen();
    }
};

TEST_F(HookWatchdogTest, NoInputOrOnlyInputTheCallbackSawIsNoLoss) {
    watchdog.Installed(100);
    for (int tick = 0; tick < 3; ++tick) EXPECT_FALSE(watchdog.HookLost(100)) << "tick " << tick;
    for (uint32_t time : {200u, 1500u}) {
        KeySeenAt(time);
        EXPECT_FALSE(watchdog.HookLost(time));
        EXPECT_FALSE(watchdog.HookLost(time));
    }
}

// The tick between gives a callback that is about to run its chance; past
// 24.8 days of uptime the tick count is "before" zero in signed terms.
TEST_F(HookWatchdogTest, UnseenInputIsLossOneTickLaterWhateverTheTickCount) {
    for (uint32_t installed : {100u, 0x90000000u}) {
        watchdog.Installed(installed);
        EXPECT_FALSE(watchdog.HookLost(installed + 0x10));
        EXPECT_TRUE(watchdog.HookLost(installed + 0x10)) << "no key seen yet since installing at " << installed;
    }
}

TEST_F(HookWatchdogTest, InputAfterTheLastSeenKeyIsLoss) {
    watchdog.Installed(100);
    KeySeenAt(200);
    EXPECT_FALSE(watchdog.HookLost(300));
    EXPECT_TRUE(watchdog.HookLost(300));
}

TEST_F(HookWatchdogTest, ReinstallingStartsAfresh) {
    watchdog.Installed(100);
    watchdog.HookLost(150);
    ASSERT_TRUE(watchdog.HookLost(150));
    watchdog.Installed(150);
    EXPECT_FALSE(watchdog.HookLost(150));
    EXPECT_FALSE(watchdog.HookLost(150)) << "the input that showed the loss counts no more";
}

TEST_F(HookWatchdogTest, OrderHoldsAcrossTheTickWrap) {
    watchdog.Installed(0xFFFFFFF0u);
    KeySeenAt(0x10);
    EXPECT_FALSE(watchdog.HookLost(0x8));
    EXPECT_FALSE(watchdog.HookLost(0x8)) << "input before the seen key, both past the wrap";

    watchdog.Installed(0xFFFFFFF0u);
    KeySeenAt(0xFFFFFFF8u);
    EXPECT_FALSE(watchdog.HookLost(0x20));
    EXPECT_TRUE(watchdog.HookLost(0x20)) << "unseen input just past the wrap";
}

}  // namespace
}  // namespace tarvix::hook
