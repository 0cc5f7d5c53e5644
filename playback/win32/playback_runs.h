#pragma once

#include <windows.h>

#include <memory>
#include <vector>

#include "run_control.h"
#include "scoped_handles.h"

namespace tarvix {

// The runs of the program, each on a thread of its own, and the stop signal
// they share.
//
// The first keyboard call a thread makes is where the system sets up the
// thread's input state; under Wine that opens a display connection for the
// thread, about 12 ms, far more than the rest of the way from hotkey to first
// event. So a few threads are kept waiting that have already made that call:
// a run goes to one of them when one is free, and to a new thread otherwise,
// so any number can play at once. A thread whose run ends waits for the next
// while fewer than kParkedThreads wait, and ends otherwise.
//
// The threads share what they use with this object, so one that outlives it
// (the bounded wait at shutdown) never touches freed memory, and the event is
// closed only when the window and every thread are done with it.
class PlaybackRuns : public RunLauncher {
public:
    // Creates the manual-reset event "StopEvent", not signalled, and starts
    // the waiting threads. When another program already has an object of
    // that name, the runs use an unnamed event of their own instead.
    PlaybackRuns();
    // Signals stop and waits a bounded time for the runs to end (a step in
    // progress, such as a long Delay, always finishes first).
    ~PlaybackRuns() override;
    PlaybackRuns(const PlaybackRuns&) = delete;
    PlaybackRuns& operator=(const PlaybackRuns&) = delete;

    // True when another program held the name and the runs' event is unnamed.
    bool StopNameTaken() const;

    void ResetStop() override;
    void SetStop() override;
    void Start(std::unique_ptr<PlaybackJob> job) override;

    // Waits until every run has ended or the time is up; true when none plays.
    bool WaitForRuns(DWORD ms);
    size_t RunningCount();
    // Threads ready for a run; kParkedThreads once they have started and
    // nothing plays.
    size_t ParkedCount();

    static constexpr DWORD kShutdownWaitMs = 3000;
    static constexpr size_t kParkedThreads = 2;

    // What this object and its threads share; only the threads use it.
    struct Shared;

private:
    bool StartThread(std::unique_ptr<PlaybackJob> job);
    void WaitForThreads(DWORD ms);
    void PruneEnded();

    std::shared_ptr<Shared> m_shared;
    std::vector<win32::ScopedHandle> m_threads;  // waiting ones included
};

}  // namespace tarvix
