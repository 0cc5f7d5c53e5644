// PlaybackRuns as the main window uses it: runs handed to the waiting threads
// and to new ones beyond them, the shared stop signal, threads going back to
// wait after their runs, and the stop ending a wait in progress.
//
// The jobs send no input: an endless job of nothing but the end marker waits
// on the stop signal pass after pass, and a Delay only waits, so no window
// needs the focus.
#include <windows.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "playback_runs.h"

namespace {

using tarvix::PlaybackJob;
using tarvix::PlaybackRuns;
using tarvix::RunFlag;
using tarvix::ScriptAction;

int g_failures = 0;

void Expect(bool ok, const std::string& what) {
    std::printf("%s - %s\n", ok ? "ok" : "FAIL", what.c_str());
    if (!ok) ++g_failures;
}

// Waits up to a generous bound for a condition that the threads bring about.
template <typename F>
bool Eventually(F condition, DWORD ms = 5000) {
    const DWORD begin = ::GetTickCount();
    while (!condition()) {
        if (::GetTickCount() - begin > ms) return false;
        ::Sleep(5);
    }
    return true;
}

constexpr uint16_t kRepeatCount = 0;
constexpr uint16_t kRepeatUntilStopped = 1;

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
    size_t set = 0;
    for (const auto& flag : flags) set += flag->IsSet() ? 1 : 0;
    return set;
}

void WaitingThreadsComeUp(PlaybackRuns& runs) {
    Expect(Eventually([&] { return runs.ParkedCount() == PlaybackRuns::kParkedThreads; }),
           "the waiting threads are ready after start");
    Expect(runs.RunningCount() == 0, "nothing plays before a run is started");
}

void MoreRunsThanWaitingThreads(PlaybackRuns& runs) {
    const size_t count = PlaybackRuns::kParkedThreads + 4;
    std::vector<std::shared_ptr<RunFlag>> flags;
    for (size_t i = 0; i < count; ++i) flags.push_back(StartJob(runs, kRepeatUntilStopped));
    Expect(runs.RunningCount() == count, "every run started counts as playing");
    Expect(runs.ParkedCount() == 0, "the waiting threads took runs");
    Expect(!runs.WaitForRuns(200), "endless runs are still playing before the stop");
    Expect(CountSet(flags) == count, "no endless run ended by itself");

    runs.SetStop();
    Expect(runs.WaitForRuns(PlaybackRuns::kShutdownWaitMs), "the stop ends every run");
    Expect(CountSet(flags) == 0, "every run cleared its script's flag");
    Expect(Eventually([&] { return runs.ParkedCount() == PlaybackRuns::kParkedThreads; }),
           "threads go back to waiting after their runs, no more than the kept number");
}

void ReusedThreadsPlayAfterReset(PlaybackRuns& runs) {
    runs.ResetStop();
    std::vector<std::shared_ptr<RunFlag>> flags;
    for (size_t i = 0; i < PlaybackRuns::kParkedThreads; ++i) flags.push_back(StartJob(runs, kRepeatUntilStopped));
    Expect(!runs.WaitForRuns(200), "runs on threads that played before wait for a new stop");
    Expect(CountSet(flags) == flags.size(), "the old stop does not end the new runs");
    runs.SetStop();
    Expect(runs.WaitForRuns(PlaybackRuns::kShutdownWaitMs) && CountSet(flags) == 0, "the new stop ends them");

    runs.ResetStop();
    const auto once = StartJob(runs, kRepeatCount);
    Expect(runs.WaitForRuns(PlaybackRuns::kShutdownWaitMs) && !once->IsSet(), "a counted run ends by itself");
    Expect(Eventually([&] { return runs.ParkedCount() == PlaybackRuns::kParkedThreads; }),
           "its thread waits again");
}

ScriptAction Delay(uint32_t ms) {
    ScriptAction delay;
    delay.category = tarvix::CategoryDelay;
    delay.kind = tarvix::KindDelay;
    delay.param1 = static_cast<int32_t>(ms);
    return delay;
}

// The stop ends a wait in progress, even a Delay of 4294967295 ms, and the
// run is over within a few milliseconds of it.
void StopEndsALongDelay(PlaybackRuns& runs) {
    runs.ResetStop();
    const auto flag = StartJob(runs, kRepeatCount, {Delay(0xFFFFFFFFu)});
    Expect(!runs.WaitForRuns(300), "a Delay -1 plays on");
    LARGE_INTEGER frequency, before, after;
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&before);
    runs.SetStop();
    const bool ended = runs.WaitForRuns(PlaybackRuns::kShutdownWaitMs);
    ::QueryPerformanceCounter(&after);
    const double ms = 1000.0 * static_cast<double>(after.QuadPart - before.QuadPart) /
                      static_cast<double>(frequency.QuadPart);
    std::printf("  stop to end of run: %.2f ms\n", ms);
    Expect(ended && !flag->IsSet(), "the stop ends the Delay and the run");
    Expect(Eventually([&] { return runs.ParkedCount() == PlaybackRuns::kParkedThreads; }),
           "its thread waits again");
}

// Shutdown signals stop: a run in a long Delay ends with it, and nothing is
// left playing behind the object.
void ShutdownEndsARunInADelay() {
    auto runs = std::make_unique<PlaybackRuns>();
    runs->ResetStop();
    const auto flag = StartJob(*runs, kRepeatCount, {Delay(PlaybackRuns::kShutdownWaitMs * 10)});
    ::Sleep(300);  // into the Delay
    const DWORD begin = ::GetTickCount();
    runs.reset();
    const DWORD spent = ::GetTickCount() - begin;
    std::printf("  shutdown took %lu ms\n", static_cast<unsigned long>(spent));
    Expect(!flag->IsSet(), "the run has ended when shutdown returns");
    Expect(spent < PlaybackRuns::kShutdownWaitMs, "shutdown did not wait out its bound");
}

}  // namespace

int main() {
    std::printf("PlaybackRuns: waiting threads, stop, shutdown\n");
    {
        PlaybackRuns runs;
        runs.ResetStop();  // the event is named; start from a known state
        WaitingThreadsComeUp(runs);
        MoreRunsThanWaitingThreads(runs);
        ReusedThreadsPlayAfterReset(runs);
        StopEndsALongDelay(runs);
    }
    ShutdownEndsARunInADelay();
    std::printf("%d failure(s)\n", g_failures);
    return g_failures ? 1 : 0;
}
