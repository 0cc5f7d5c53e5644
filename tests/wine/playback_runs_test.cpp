// PlaybackRuns as the main window uses it: runs handed to the waiting threads
// and to new ones beyond them, the shared stop signal, threads going back to
// wait after their runs, and the stop ending a wait in progress.
//
// The jobs send no input: an endless job of nothing but the end marker waits
// on the stop signal pass after pass, and a Delay only waits, so no window
// needs the focus.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <thread>
#include <vector>

#include "playback_runs.h"
#include "repeat_type.h"
#include "win32_ports.h"
#include "wine_support.h"

namespace {

using tarvix::PlaybackJob;
using tarvix::wine_test::WaitFor;
using tarvix::PlaybackRuns;
using tarvix::RunFlag;
using tarvix::ScriptAction;

// Started as the dispatcher starts a run: the flag set first, cleared by the run.
std::shared_ptr<RunFlag> StartJob(PlaybackRuns& runs, uint16_t repeatType, std::vector<ScriptAction> steps = {}) {
    auto job = std::make_unique<PlaybackJob>();
    steps.push_back(ScriptAction::EndMarker());
    job->steps = std::move(steps);
    job->repeatType = repeatType;
    job->repeatNumber = 1;
    job->script = std::make_shared<RunFlag>();
    job->script->Set();
    std::shared_ptr<RunFlag> flag = job->script;
    runs.Start(std::move(job));
    return flag;
}

size_t CountSet(const std::vector<std::shared_ptr<RunFlag>>& flags) {
    return static_cast<size_t>(std::count_if(flags.begin(), flags.end(), [](const auto& f) { return f->IsSet(); }));
}

bool AllWaiting(PlaybackRuns& runs) {
    return WaitFor([&] { return runs.ParkedCount() == PlaybackRuns::kParkedThreads; });
}

// One object as the main window holds it, its waiting threads up.
class PlaybackRunsTest : public ::testing::Test {
protected:
    void SetUp() override {
        runs.ResetStop();  // the event is named; start from a known state
        ASSERT_TRUE(AllWaiting(runs)) << "the waiting threads are ready after start";
        ASSERT_EQ(runs.RunningCount(), 0u) << "nothing plays before a run is started";
    }

    PlaybackRuns runs;
};

TEST_F(PlaybackRunsTest, MoreRunsThanWaitingThreadsAllPlayUntilTheStop) {
    const size_t count = PlaybackRuns::kParkedThreads + 4;
    std::vector<std::shared_ptr<RunFlag>> flags;
    for (size_t i = 0; i < count; ++i) flags.push_back(StartJob(runs, tarvix::RepeatUntilStop));
    EXPECT_EQ(runs.RunningCount(), count) << "every run started counts as playing";
    EXPECT_EQ(runs.ParkedCount(), 0u) << "the waiting threads took runs";
    EXPECT_FALSE(runs.WaitForRuns(200)) << "endless runs are still playing before the stop";
    EXPECT_EQ(CountSet(flags), count) << "no endless run ended by itself";

    runs.SetStop();
    EXPECT_TRUE(runs.WaitForRuns(PlaybackRuns::kShutdownWaitMs)) << "the stop ends every run";
    EXPECT_EQ(CountSet(flags), 0u) << "every run cleared its script's flag";
    EXPECT_TRUE(AllWaiting(runs)) << "threads go back to waiting after their runs, no more than the kept number";
}

TEST_F(PlaybackRunsTest, ReusedThreadsPlayAfterReset) {
    // Threads that have played and seen a stop.
    std::vector<std::shared_ptr<RunFlag>> first;
    for (size_t i = 0; i < PlaybackRuns::kParkedThreads; ++i) first.push_back(StartJob(runs, tarvix::RepeatUntilStop));
    runs.SetStop();
    ASSERT_TRUE(runs.WaitForRuns(PlaybackRuns::kShutdownWaitMs));
    ASSERT_TRUE(AllWaiting(runs));

    runs.ResetStop();
    std::vector<std::shared_ptr<RunFlag>> flags;
    for (size_t i = 0; i < PlaybackRuns::kParkedThreads; ++i) flags.push_back(StartJob(runs, tarvix::RepeatUntilStop));
    EXPECT_FALSE(runs.WaitForRuns(200)) << "runs on threads that played before wait for a new stop";
    EXPECT_EQ(CountSet(flags), flags.size()) << "the old stop does not end the new runs";
    runs.SetStop();
    EXPECT_TRUE(runs.WaitForRuns(PlaybackRuns::kShutdownWaitMs) && CountSet(flags) == 0) << "the new stop ends them";

    runs.ResetStop();
    const auto once = StartJob(runs, tarvix::RepeatCount);
    EXPECT_TRUE(runs.WaitForRuns(PlaybackRuns::kShutdownWaitMs) && !once->IsSet()) << "a counted run ends by itself";
    EXPECT_TRUE(AllWaiting(runs)) << "its thread waits again";
}

ScriptAction Delay(uint32_t ms) {
    return ScriptAction{tarvix::CategoryDelay, tarvix::KindDelay, "", static_cast<int32_t>(ms), 0};
}

// The stop ends a wait in progress, even a Delay of 4294967295 ms, at once:
// well within the second given here, where a wait that looked at the stop
// only now and then, or not at all, would not be over.
TEST_F(PlaybackRunsTest, StopEndsALongDelay) {
    const auto flag = StartJob(runs, tarvix::RepeatCount, {Delay(0xFFFFFFFFu)});
    EXPECT_FALSE(runs.WaitForRuns(300)) << "a Delay -1 plays on";
    runs.SetStop();
    EXPECT_TRUE(runs.WaitForRuns(1000) && !flag->IsSet()) << "the stop ends the Delay and the run";
    EXPECT_TRUE(AllWaiting(runs)) << "its thread waits again";
}

// Another program that made "StopEvent" first, as an auto-reset event (one
// wait would take the stop from the others) or as a mutex (no event at all:
// every wait a sleep, no stop ever seen). The runs then use an event of their
// own, and one stop still ends every run.
TEST(PlaybackRunsStopName, AnotherProgramsObjectOfTheNameTakesNoStop) {
    const struct {
        const char* what;
        HANDLE (*make)();
    } owners[] = {
        {"auto-reset event", [] { return ::CreateEventW(nullptr, FALSE, FALSE, L"StopEvent"); }},
        {"mutex", [] { return ::CreateMutexW(nullptr, FALSE, L"StopEvent"); }},
    };
    for (const auto& owner : owners) {
        const HANDLE other = owner.make();
        ASSERT_NE(other, nullptr) << owner.what;
        {
            PlaybackRuns runs;
            EXPECT_TRUE(runs.StopNameTaken()) << owner.what;
            std::vector<std::shared_ptr<RunFlag>> flags;
            for (size_t i = 0; i < PlaybackRuns::kParkedThreads + 1; ++i)
                flags.push_back(StartJob(runs, tarvix::RepeatUntilStop));
            ::Sleep(100);
            runs.SetStop();
            EXPECT_TRUE(runs.WaitForRuns(PlaybackRuns::kShutdownWaitMs) && CountSet(flags) == 0)
                << owner.what << ": one stop ends every run";
        }
        ::CloseHandle(other);
    }
    PlaybackRuns alone;
    EXPECT_FALSE(alone.StopNameTaken()) << "with the name free the runs use it";
}

// Shutdown signals stop: a run in a long Delay ends with it, and nothing is
// left playing behind the object.
TEST(PlaybackRunsShutdown, ShutdownEndsARunInADelay) {
    auto runs = std::make_unique<PlaybackRuns>();
    runs->ResetStop();
    const auto flag = StartJob(*runs, tarvix::RepeatCount, {Delay(PlaybackRuns::kShutdownWaitMs * 10)});
    ::Sleep(300);  // into the Delay
    const DWORD begin = ::GetTickCount();
    runs.reset();
    const DWORD spent = ::GetTickCount() - begin;
    EXPECT_FALSE(flag->IsSet()) << "the run has ended when shutdown returns";
    EXPECT_LT(spent, 1000u) << "shutdown ended the Delay at once";
}

// The wait a run's holds and Delays make: never before its deadline, at once
// for one already past, and ended by the stop in each of its parts (the wait
// on the event, the short sleeps, the end of a wait already due).
TEST(Win32ScheduledWait, EndsOnItsDeadlineNeverBeforeAndWithTheStop) {
    tarvix::Win32Clock clock;
    const HANDLE event = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    ASSERT_NE(event, nullptr);
    tarvix::Win32StopSignal stop(event);
    for (int64_t us : {-1000, 0, 700, 3000, 12000, 50000}) {
        const uint64_t deadline = clock.NowUs() + us;
        EXPECT_FALSE(stop.WaitUntil(deadline)) << us;
        EXPECT_GE(clock.NowUs(), deadline) << us;
    }
    ::SetEvent(event);
    for (int64_t us : {-1000, 2000, 60000000}) {
        const uint64_t deadline = clock.NowUs() + us;
        EXPECT_TRUE(stop.WaitUntil(deadline)) << us;
    }
    ::ResetEvent(event);
    const uint64_t later = clock.NowUs() + 60000000;
    std::thread setter([event] {
        ::Sleep(30);
        ::SetEvent(event);
    });
    EXPECT_TRUE(stop.WaitUntil(later));
    EXPECT_LT(clock.NowUs(), later);
    setter.join();
    ::CloseHandle(event);
}

}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
