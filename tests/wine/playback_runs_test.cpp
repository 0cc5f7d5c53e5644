// PlaybackRuns as the main window uses it, on real threads and a real event:
// runs handed to the waiting threads and to new ones beyond them, one stop
// for all, threads going back to wait, and the stop ending a wait in progress.
// The jobs send no input: an endless job of nothing but the end marker waits
// on the stop pass after pass, and a Delay only waits.
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

using tarvix::PlaybackRuns;
using tarvix::RunFlag;
using tarvix::ScriptAction;
using tarvix::wine_test::WaitFor;
using Flags = std::vector<std::shared_ptr<RunFlag>>;

// Started as the dispatcher starts a run: the flag set first, cleared by the
// run. A Delay of `delayMs` before the end marker when given.
std::shared_ptr<RunFlag> StartJob(PlaybackRuns& runs, uint16_t repeatType, int64_t delayMs = -1) {
    auto job = std::make_unique<tarvix::PlaybackJob>();
    if (delayMs >= 0)
        job->steps.push_back({tarvix::CategoryDelay, tarvix::KindDelay, "", static_cast<int32_t>(delayMs), 0});
    job->steps.push_back(ScriptAction::EndMarker());
    job->repeatType = repeatType;
    job->repeatNumber = 1;
    job->script = std::make_shared<RunFlag>();
    job->script->Set();
    auto flag = job->script;
    runs.Start(std::move(job));
    return flag;
}

Flags StartEndless(PlaybackRuns& runs, size_t count) {
    Flags flags;
    while (count--) flags.push_back(StartJob(runs, tarvix::RepeatUntilStop));
    return flags;
}

size_t CountSet(const Flags& flags) {
    return static_cast<size_t>(std::count_if(flags.begin(), flags.end(), [](const auto& f) { return f->IsSet(); }));
}

bool AllWaiting(PlaybackRuns& runs) {
    return WaitFor([&] { return runs.ParkedCount() == 2 && runs.RunningCount() == 0; });
}

TEST(PlaybackRuns, EveryRunPlaysUntilTheOneStopAndItsThreadWaitsAgain) {
    PlaybackRuns runs;
    runs.ResetStop();  // the event is named; start from a known state
    ASSERT_TRUE(AllWaiting(runs)) << "two threads wait after start";
    Flags flags = StartEndless(runs, 6);
    EXPECT_EQ(runs.RunningCount(), 6u);
    EXPECT_EQ(runs.ParkedCount(), 0u) << "the waiting threads took runs";
    EXPECT_FALSE(runs.WaitForRuns(100)) << "endless runs play before the stop";
    runs.SetStop();
    EXPECT_TRUE(runs.WaitForRuns(1000) && CountSet(flags) == 0) << "the stop ends every run and clears its flag";
    EXPECT_TRUE(AllWaiting(runs)) << "two threads go back to waiting, no more";

    runs.ResetStop();
    flags = StartEndless(runs, 2);
    EXPECT_FALSE(runs.WaitForRuns(100)) << "the old stop does not end runs on threads that played before";
    runs.SetStop();
    EXPECT_TRUE(runs.WaitForRuns(1000) && CountSet(flags) == 0) << "the new stop ends them";
    runs.ResetStop();
    const auto once = StartJob(runs, tarvix::RepeatCount);
    EXPECT_TRUE(runs.WaitForRuns(1000) && !once->IsSet()) << "a counted run ends by itself";
    EXPECT_TRUE(AllWaiting(runs));
}

// Stopped and shut down alike, a run in a Delay of 4294967295 ms ends at once:
// within the second given here, where a wait that looked at the stop only
// now and then, or not at all, would not be over.
TEST(PlaybackRuns, StopAndShutdownEndALongDelayWithinASecond) {
    for (const bool shutdown : {false, true}) {
        auto runs = std::make_unique<PlaybackRuns>();
        runs->ResetStop();
        const auto flag = StartJob(*runs, tarvix::RepeatCount, 0xFFFFFFFF);
        EXPECT_FALSE(runs->WaitForRuns(200)) << "the Delay plays on";
        const DWORD begin = ::GetTickCount();
        if (shutdown) runs.reset();
        else runs->SetStop();
        EXPECT_TRUE((shutdown || runs->WaitForRuns(1000)) && !flag->IsSet()) << "shutdown " << shutdown;
        EXPECT_LT(::GetTickCount() - begin, 1000u) << "shutdown " << shutdown;
    }
}

// Another program that made "StopEvent" first, as an auto-reset event (one
// wait would take the stop from the others) or as a mutex (no event at all).
// The runs then use an event of their own, and one stop still ends them all.
TEST(PlaybackRuns, OneStopEndsEveryRunWhenTheStopNameIsTaken) {
    for (const auto make : {+[] { return ::CreateEventW(nullptr, FALSE, FALSE, L"StopEvent"); },
                            +[] { return ::CreateMutexW(nullptr, FALSE, L"StopEvent"); }}) {
        const HANDLE other = make();
        ASSERT_NE(other, nullptr);
        {
            PlaybackRuns runs;
            EXPECT_TRUE(runs.StopNameTaken());
            const Flags flags = StartEndless(runs, 3);
            EXPECT_FALSE(runs.WaitForRuns(100));
            runs.SetStop();
            EXPECT_TRUE(runs.WaitForRuns(1000) && CountSet(flags) == 0) << "one stop ends every run";
        }
        ::CloseHandle(other);
    }
    PlaybackRuns alone;
    EXPECT_FALSE(alone.StopNameTaken()) << "with the name free the runs use it";
}

// The wait a run's holds and Delays make: never before its deadline, at once
// for one already past, and ended by the stop while it waits.
TEST(Win32ScheduledWait, EndsOnItsDeadlineNeverBeforeAndWithTheStop) {
    tarvix::Win32Clock clock;
    const HANDLE event = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    tarvix::Win32StopSignal stop(event);
    for (const int64_t us : {-1000, 0, 700, 3000, 12000, 50000}) {
        const uint64_t deadline = clock.NowUs() + us;
        EXPECT_TRUE(!stop.WaitUntil(deadline) && clock.NowUs() >= deadline) << us;
    }
    const uint64_t later = clock.NowUs() + 60000000;
    std::thread setter([event] {
        ::Sleep(30);
        ::SetEvent(event);
    });
    EXPECT_TRUE(stop.WaitUntil(later) && clock.NowUs() < later);
    setter.join();
    ::CloseHandle(event);
}

}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
