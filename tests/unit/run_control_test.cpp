// Which scripts a hotkey report starts, and when it stops every run.
#include <gtest/gtest.h>

#include "run_control.h"
#include "test_support.h"

namespace tarvix {
namespace {

struct FakeLauncher : RunLauncher {
    std::vector<std::string> calls;
    std::vector<std::unique_ptr<PlaybackJob>> jobs;
    void ResetStop() override { calls.push_back("reset"); }
    void SetStop() override { calls.push_back("stop"); }
    void Start(std::unique_ptr<PlaybackJob> job) override {
        calls.push_back("start " + job->steps.front().text);
        jobs.push_back(std::move(job));
    }
};

// A run-once script on vk, named by the text of its one action.
std::unique_ptr<CScript> Script(uint16_t vk, uint16_t mods, std::string name) {
    auto s = testing::Record(vk, mods);
    s->m_runOnce = 1;
    s->m_actions.push_back({CategoryText, KindSayString, std::move(name), 0, 0});
    s->m_actions.push_back(ScriptAction::EndMarker());
    return s;
}

constexpr HeldModifiers kNone{}, kCtrl{false, true, false}, kCtrlShift{false, true, true};
using Calls = std::vector<std::string>;

// Every matching valid script in list order (the one added later first of
// its equals; each of Alt, Ctrl and Shift down exactly when asked, the
// extended-key bit not looked at), then the stop when the report is the stop
// hotkey: a script on the stop key still starts.
TEST(Dispatch, StartsEveryMatchingValidScriptInListOrderThenStops) {
    ScriptLibrary library(testing::HotkeyTextOrder());
    const std::tuple<uint16_t, uint16_t, const char*> scripts[] = {
        {0x74, ModCtrl | ModExtended, "a"}, {0x74, ModCtrl, "b"}, {0x74, 0, "plain"}, {0x75, ModCtrl, "f6"},
        {0x74, ModCtrl | ModShift, "shift"}, {0x74, ModCtrl, "off"}, {65, ModCtrl | ModShift, "on the stop key"}};
    for (const auto& [vk, mods, name] : scripts) library.Add(Script(vk, mods, name));
    library.SetEnabled(1, false);  // "off"
    FakeLauncher launcher;
    EXPECT_EQ(DispatchHotkey(library, 0x74, kCtrl, {}, launcher), 2);
    EXPECT_EQ(DispatchHotkey(library, 65, kCtrlShift, {}, launcher), 1);
    EXPECT_EQ(DispatchHotkey(library, 65, kCtrl, {}, launcher), 0) << "Ctrl+A is not the stop hotkey";
    EXPECT_EQ(launcher.calls,
              (Calls{"reset", "start b", "reset", "start a", "reset", "start on the stop key", "stop"}));
    EXPECT_EQ(launcher.jobs[0]->hotkeyModifiers, ModCtrl) << "the run waits for the hotkey's Ctrl";
    EXPECT_TRUE(library[2].m_running->IsSet() && library[3].m_running->IsSet());
    EXPECT_FALSE(library[1].m_running->IsSet());
    EXPECT_FALSE(library[0].m_running->IsSet()) << "held Ctrl is one modifier too many for <F5>";
}

// Edition 1.1 keeps a running run-once script from starting again; 1.0 has
// no such check, and its runs no link to the script.
TEST(Dispatch, RunOnceKeepsARunningScriptFromStartingAgain) {
    ScriptLibrary library(testing::HotkeyTextOrder());
    auto again = Script(0x74, 0, "again");
    again->m_runOnce = 0;
    library.Add(Script(0x74, 0, "once"));
    library.Add(std::move(again));
    library[0].m_running->Set();
    library[1].m_running->Set();
    FakeLauncher launcher;
    EXPECT_EQ(DispatchHotkey(library, 0x74, kNone, {}, launcher), 1);
    EXPECT_EQ(launcher.jobs[0]->script, library[0].m_running);
    DispatchContext classic;
    classic.edition = Edition::V10;
    EXPECT_EQ(DispatchHotkey(library, 0x74, kNone, classic, launcher), 2);
    EXPECT_EQ(launcher.jobs[1]->script, nullptr);
}

TEST(Dispatch, OnlyTheStopKeyAndKeysWithScriptsConcernTheHandler) {
    ScriptLibrary library(testing::HotkeyTextOrder());
    library.Add(Script(0x74, ModCtrl, "f5"));
    library.Add(Script(0x75, ModCtrl, "f6"));
    library.SetEnabled(1, false);
    const DispatchContext context;
    EXPECT_TRUE(ReportConcerns(library, 0x75, context)) << "invalid scripts are decided by the checks";
    EXPECT_TRUE(ReportConcerns(library, 65, context)) << "the stop hotkey's key";
    EXPECT_FALSE(ReportConcerns(library, 0x76, context));
    library.Remove({0});
    EXPECT_FALSE(ReportConcerns(library, 0x74, context));
}

// Deleting the record leaves the run its copy and the flag it clears at its
// end (under AddressSanitizer a run touching the record would fail).
TEST(Dispatch, JobIsAPrivateCopyWithTheTargetWindowAsReported) {
    ScriptLibrary library(testing::HotkeyTextOrder());
    auto s = Script(0x74, 0, "x");
    s->m_repeatNumber = -1;
    s->m_speed = 250;
    library.Add(std::move(s));
    DispatchContext context;
    context.targetMode = 1;
    context.targetTitle = "Notepad";
    FakeLauncher launcher;
    DispatchHotkey(library, 0x74, kNone, context, launcher);
    library.Remove({0});
    ASSERT_EQ(launcher.jobs.size(), 1u);
    const PlaybackJob& job = *launcher.jobs[0];
    EXPECT_EQ(std::tie(job.repeatNumber, job.speed, job.oneWindow, job.targetTitle, job.hotkeyModifiers),
              std::make_tuple(4294967295u, 250u, 1, std::string("Notepad"), uint16_t{0}));
    EXPECT_EQ(job.steps.size(), 2u);
    EXPECT_EQ(job.steps.front().text, "x");
    EXPECT_TRUE(job.script && job.script->IsSet());
}

}  // namespace
}  // namespace tarvix
