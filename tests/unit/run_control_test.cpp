// Which scripts a hotkey report starts, and when it stops every run.
#include <gtest/gtest.h>

#include "library_order.h"
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

std::unique_ptr<CScript> Script(uint16_t vk, uint16_t mods, size_t actions = 1) {
    auto s = std::make_unique<CScript>();
    s->SetProperties("s", vk, mods, RepeatCount, 2);
    s->m_runOnce = 1;
    for (size_t i = 0; i < actions; ++i) s->m_actions.push_back({CategoryDelay, KindDelay, "", 1, 0});
    s->m_actions.push_back(ScriptAction::EndMarker());
    return s;
}

// A library of the given records, added in this order; returns them by row.
struct Library {
    ScriptLibrary library{testing::HotkeyTextOrder()};
    template <class... R>
    explicit Library(R... records) {
        (library.Add(std::move(records)), ...);
    }
    const CScript& operator[](size_t row) const { return library[row]; }
};

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
    Library list(Script(0x74, ModCtrl, 1), Script(0x74, ModCtrl, 2), Script(0x74, 0, 3), Script(0x75, ModCtrl, 4), Script(0x74, ModCtrl | ModShift, 5));
    // <F5>, then the two Ctrl+<F5> rows, the one added later first.
    ASSERT_EQ(list[1].m_actions.size(), 3u);
    ASSERT_EQ(list[2].m_actions.size(), 2u);
    FakeLauncher launcher;
    DispatchContext context;
    EXPECT_EQ(DispatchHotkey(list.library, 0x74, kCtrl, context, launcher), 2);
    EXPECT_EQ(launcher.calls, (std::vector<std::string>{"reset", "start 3", "reset", "start 2"}));
    EXPECT_TRUE(list[1].m_running->IsSet());
    EXPECT_TRUE(list[2].m_running->IsSet());
    EXPECT_FALSE(list[0].m_running->IsSet()) << "held Ctrl is one modifier too many for <F5>";
    EXPECT_EQ(launcher.jobs[0]->hotkeyModifiers, 2) << "the run waits for the hotkey's Ctrl";
}

TEST(Dispatch, InvalidScriptsDoNotStart) {
    Library list(Script(0x74, 0));
    list.library.SetEnabled(0, false);
    FakeLauncher launcher;
    EXPECT_EQ(DispatchHotkey(list.library, 0x74, kNone, {}, launcher), 0);
    EXPECT_TRUE(launcher.calls.empty());
}

TEST(Dispatch, RunOnceKeepsARunningScriptFromStartingAgain) {
    auto again = Script(0x74, 0);
    again->m_runOnce = 0;
    Library list(std::move(again), Script(0x74, 0));
    const CScript& once = list[0];
    ASSERT_EQ(once.m_runOnce, 1);
    once.m_running->Set();
    list[1].m_running->Set();
    FakeLauncher launcher;
    EXPECT_EQ(DispatchHotkey(list.library, 0x74, kNone, {}, launcher), 1);
    ASSERT_EQ(launcher.jobs.size(), 1u);
    EXPECT_EQ(launcher.jobs[0]->script, list[1].m_running);

    DispatchContext classic;  // edition 1.0 has no run-once check
    classic.edition = Edition::V10;
    FakeLauncher launcher10;
    EXPECT_EQ(DispatchHotkey(list.library, 0x74, kNone, classic, launcher10), 2);
    EXPECT_EQ(launcher10.jobs[0]->script, nullptr) << "edition 1.0 runs have no link to the script";
}

TEST(Dispatch, StopComesAfterTheStartsAndAScriptOnTheStopKeyStillStarts) {
    Library list(Script(65, ModCtrl | ModShift));
    FakeLauncher launcher;
    DispatchContext context;  // stop hotkey Ctrl+Shift+A
    EXPECT_EQ(DispatchHotkey(list.library, 65, {false, true, true}, context, launcher), 1);
    EXPECT_EQ(launcher.calls, (std::vector<std::string>{"reset", "start 2", "stop"}));
    FakeLauncher other;
    Library empty;
    DispatchHotkey(empty.library, 65, kCtrl, context, other);
    EXPECT_TRUE(other.calls.empty()) << "Ctrl+A is not the stop hotkey";
    DispatchHotkey(empty.library, 65, {false, true, true}, context, other);
    EXPECT_EQ(other.calls, (std::vector<std::string>{"stop"})) << "the stop needs no script";
}

TEST(Dispatch, OnlyTheStopKeyAndKeysWithScriptsConcernTheHandler) {
    Library list(Script(0x74, 2), Script(0x75, 2));  // rows Ctrl+<F5>, Ctrl+<F6>
    list.library.SetEnabled(1, false);
    DispatchContext context;
    EXPECT_TRUE(ReportConcerns(list.library, 0x74, context));
    EXPECT_TRUE(ReportConcerns(list.library, 0x75, context)) << "invalid scripts are decided by the checks";
    EXPECT_TRUE(ReportConcerns(list.library, 65, context)) << "the stop hotkey's key";
    EXPECT_FALSE(ReportConcerns(list.library, 0x76, context));
    list.library.Remove({0});
    EXPECT_FALSE(ReportConcerns(list.library, 0x74, context));
}

TEST(Dispatch, AModifiedHotkeyStartsOnItsNewKeyOnly) {
    Library list(Script(0x74, 0), Script(0x75, 0, 2));
    CScript edited = list[0];
    edited.m_beginHotkey = 0x75;
    list.library.Replace(0, edited);
    FakeLauncher launcher;
    EXPECT_EQ(DispatchHotkey(list.library, 0x74, kNone, {}, launcher), 0);
    EXPECT_EQ(DispatchHotkey(list.library, 0x75, kNone, {}, launcher), 2);
    EXPECT_EQ(launcher.calls, (std::vector<std::string>{"reset", "start 2", "reset", "start 3"}))
        << "the modified script counts as added last, so it comes first of its equals";
}

TEST(Dispatch, JobIsAPrivateCopyWithTheTargetWindowAsReported) {
    auto s = Script(0x74, 0);
    s->m_repeatNumber = -1;
    s->m_speed = 250;
    s->m_actions.front().param1 = 777;
    Library list(std::move(s));
    DispatchContext context;
    context.targetMode = 1;
    context.targetTitle = "Notepad";
    FakeLauncher launcher;
    DispatchHotkey(list.library, 0x74, kNone, context, launcher);
    ASSERT_EQ(launcher.jobs.size(), 1u);
    const PlaybackJob& job = *launcher.jobs[0];
    EXPECT_EQ(job.repeatNumber, 4294967295u);
    EXPECT_EQ(job.speed, 250u);
    EXPECT_EQ(job.oneWindow, 1);
    EXPECT_EQ(job.targetTitle, "Notepad");
    EXPECT_EQ(job.hotkeyModifiers, 0) << "a hotkey without modifiers: nothing to wait for";

    // Deleting the record leaves the run its copy and the flag it clears at
    // its end (under AddressSanitizer a run touching the record would fail).
    list.library.Remove({0});
    ASSERT_EQ(list.library.size(), 0u);
    EXPECT_EQ(job.steps.size(), 2u);
    EXPECT_EQ(job.steps.front().param1, 777);
    ASSERT_TRUE(job.script);
    EXPECT_TRUE(job.script->IsSet());
    job.script->Clear();
}

}  // namespace
}  // namespace tarvix
