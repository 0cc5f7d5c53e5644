// Which scripts a hotkey report starts, and when it stops every run.
#include <gtest/gtest.h>

#include "run_control.h"

namespace tarvix {
namespace {

struct FakeLauncher : RunLauncher {
    std::vector<std::string> calls;
    std::vector<std::unique_ptr<PlaybackJob>> jobs;
    void ResetStop() override { calls.push_back("reset"); }
    void SetStop() override { calls.push_back("stop"); }
    void Start(std::unique_ptr<PlaybackJob> job) override {
        calls.push_back("start " + std::to_string(job->steps.size()));
        jobs.push_back(std::move(job));
    }
};

CScript Script(uint16_t vk, uint16_t mods, size_t actions = 1) {
    CScript s;
    s.SetProperties("s", vk, mods, RepeatCount, 2);
    s.m_runOnce = 1;
    for (size_t i = 0; i < actions; ++i) s.m_actions.push_back({CategoryDelay, KindDelay, "", 1, 0});
    s.m_actions.push_back(ScriptAction::EndMarker());
    return s;
}

constexpr HeldModifiers kNone{};
constexpr HeldModifiers kCtrl{false, true, false};

TEST(ModifierMatch, EachModifierDownExactlyWhenAsked) {
    EXPECT_TRUE(ModifiersMatch(0, kNone));
    EXPECT_TRUE(ModifiersMatch(2, kCtrl));
    EXPECT_FALSE(ModifiersMatch(0, kCtrl)) << "an extra modifier prevents the match";
    EXPECT_FALSE(ModifiersMatch(3, kCtrl));
    EXPECT_TRUE(ModifiersMatch(7, {true, true, true}));
    EXPECT_TRUE(ModifiersMatch(8 | 2, kCtrl)) << "the extended-key bit is not looked at";
    EXPECT_TRUE(ModifiersMatch(4 | 1, {true, false, true}));
}

TEST(Dispatch, StartsEveryMatchingScriptInListOrder) {
    CScript a = Script(0x74, ModCtrl, 1), b = Script(0x74, ModCtrl, 2), c = Script(0x74, 0, 3),
            d = Script(0x75, ModCtrl, 4);
    FakeLauncher launcher;
    DispatchContext context;
    EXPECT_EQ(DispatchHotkey({&a, &b, &c, &d}, 0x74, kCtrl, context, launcher), 2);
    EXPECT_EQ(launcher.calls, (std::vector<std::string>{"reset", "start 2", "reset", "start 3"}));
    EXPECT_TRUE(a.m_running->IsSet());
    EXPECT_TRUE(b.m_running->IsSet());
    EXPECT_FALSE(c.m_running->IsSet());
    EXPECT_EQ(launcher.jobs[0]->hotkeyModifiers, 2) << "the run waits for the hotkey's Ctrl";
}

TEST(Dispatch, InvalidScriptsDoNotStart) {
    CScript a = Script(0x74, 0);
    a.m_enabled = 0;
    FakeLauncher launcher;
    EXPECT_EQ(DispatchHotkey({&a}, 0x74, kNone, {}, launcher), 0);
    EXPECT_TRUE(launcher.calls.empty());
}

TEST(Dispatch, RunOnceKeepsARunningScriptFromStartingAgain) {
    CScript once = Script(0x74, 0), again = Script(0x74, 0);
    again.m_runOnce = 0;
    once.m_running->Set();
    again.m_running->Set();
    FakeLauncher launcher;
    EXPECT_EQ(DispatchHotkey({&once, &again}, 0x74, kNone, {}, launcher), 1);
    ASSERT_EQ(launcher.jobs.size(), 1u);
    EXPECT_EQ(launcher.jobs[0]->script, again.m_running);

    DispatchContext classic;  // edition 1.0 has no run-once check
    classic.edition = Edition::V10;
    FakeLauncher launcher10;
    EXPECT_EQ(DispatchHotkey({&once}, 0x74, kNone, classic, launcher10), 1);
    EXPECT_EQ(launcher10.jobs[0]->script, nullptr) << "edition 1.0 runs have no link to the script";
}

TEST(Dispatch, StopComesAfterTheStartsAndAScriptOnTheStopKeyStillStarts) {
    CScript s = Script(65, ModCtrl | ModShift);
    FakeLauncher launcher;
    DispatchContext context;  // stop hotkey Ctrl+Shift+A
    EXPECT_EQ(DispatchHotkey({&s}, 65, {false, true, true}, context, launcher), 1);
    EXPECT_EQ(launcher.calls, (std::vector<std::string>{"reset", "start 2", "stop"}));
    FakeLauncher other;
    DispatchHotkey({}, 65, kCtrl, context, other);
    EXPECT_TRUE(other.calls.empty()) << "Ctrl+A is not the stop hotkey";
}

TEST(Dispatch, JobIsAPrivateCopyWithTheTargetWindowAsReported) {
    CScript s = Script(0x74, 0);
    s.m_repeatNumber = -1;
    s.m_actions.front().param1 = 777;
    DispatchContext context;
    context.targetMode = 1;
    context.targetTitle = "Notepad";
    FakeLauncher launcher;
    DispatchHotkey({&s}, 0x74, kNone, context, launcher);
    ASSERT_EQ(launcher.jobs.size(), 1u);
    const PlaybackJob& job = *launcher.jobs[0];
    EXPECT_EQ(job.repeatNumber, 4294967295u);
    EXPECT_EQ(job.oneWindow, 1);
    EXPECT_EQ(job.targetTitle, "Notepad");
    EXPECT_EQ(job.hotkeyModifiers, 0) << "a hotkey without modifiers: nothing to wait for";
    s.m_actions.clear();  // editing or deleting the record leaves the run's copy alone
    EXPECT_EQ(job.steps.size(), 2u);
    EXPECT_EQ(job.steps.front().param1, 777);
}

}  // namespace
}  // namespace tarvix
