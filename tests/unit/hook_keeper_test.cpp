// When the hooks take themselves for lost (the session's input time moved
// past the last time a callback ran) and how a lost hook goes back in.
#include <gtest/gtest.h>

#include "hook_keeper.h"
#include "test_support.h"

namespace tarvix::hook {
namespace {

// Past 24.8 days of uptime the tick count is "before" zero in signed terms,
// and it wraps after 49.7: the hooks go in just before the wrap.
struct FakeHooks : HookSetter {
    uint32_t lastInput = 0xFFFFFFF0u;
    bool mouseIn = false, refuse = false;
    std::vector<std::string> put;  // the hooks put back, in order
    bool ReplaceKeyboardHook() override { return Put("keyboard"); }
    bool ReplaceMouseHook() override { return Put("mouse"); }
    bool Put(const std::string& hook) {
        put.push_back(refuse ? hook + " refused" : hook);
        return !refuse;
    }
    bool MouseHooked() override { return mouseIn; }
    uint32_t LastInputMs() override { return lastInput; }
    uint64_t NowUs() override { return 777000; }
};

struct HookKeeperTest : ::testing::Test {
    testing::FakeClock clock;
    testing::FakeSystem system;
    FakeHooks hooks;
    InputRecorder recorder{system};
    HookKeeper keeper{hooks, clock, recorder};

    void SetUp() override {
        keeper.KeyboardInstalled();
        keeper.MouseInstalled();
    }
    std::vector<std::string> Ticks(int n) {
        hooks.put.clear();
        for (int i = 0; i < n; ++i) keeper.Tick();
        return hooks.put;
    }
    using Put = std::vector<std::string>;
};

// The tick between gives a callback that is about to run its chance. Put
// back once, then trusted afresh; while the system refuses, tried again
// every tick.
TEST_F(HookKeeperTest, ALostKeyboardHookGoesBackInUntilTheSystemTakesIt) {
    hooks.lastInput = 200;  // unseen
    EXPECT_EQ(Ticks(4), (Put{"keyboard"}));
    clock.now = 300;
    keeper.KeyboardSeen();
    hooks.lastInput = 300;
    EXPECT_EQ(Ticks(3), Put{});
    hooks.lastInput = 400;
    hooks.refuse = true;
    EXPECT_EQ(Ticks(3), (Put{"keyboard refused", "keyboard refused"}));
    hooks.refuse = false;
    EXPECT_EQ(Ticks(3), (Put{"keyboard"}));
    EXPECT_TRUE(system.recorded.empty()) << "nothing records";
}

// Input neither hook saw while a window records: the mouse hook goes back in
// and the recording hears of the gap; input the mouse hook saw is no gap.
TEST_F(HookKeeperTest, ARecordingsMouseHookGoesBackInAndTheGapIsReported) {
    system.recording = true;
    hooks.lastInput = 200;
    EXPECT_EQ(Ticks(2), (Put{"keyboard"})) << "no mouse hook in";
    hooks.mouseIn = true;
    hooks.lastInput = 300;
    EXPECT_EQ(Ticks(3), (Put{"mouse", "keyboard"}));
    ASSERT_EQ(system.recorded.size(), 1u);
    EXPECT_EQ(system.recorded[0].kind, InputKind::Missed);
    EXPECT_EQ(system.recorded[0].timeUs, 777000u);
    clock.now = 400;
    keeper.MouseSeen();
    hooks.lastInput = 400;
    EXPECT_EQ(Ticks(3), (Put{"keyboard"})) << "the keyboard hook never sees the mouse";
    EXPECT_EQ(system.recorded.size(), 1u);
}

}  // namespace
}  // namespace tarvix::hook
