#pragma once

#include <windows.h>

#include <memory>
#include <vector>

#include "run_control.h"

namespace tarvix {

// The runs of the program and the stop signal they share. Each run holds a
// share of the signal, so the event is closed only when the window and every
// run are done with it, never under a run that still polls it.
class PlaybackRuns : public RunLauncher {
public:
    // Creates the manual-reset event "StopEvent", not signalled.
    PlaybackRuns();
    // Signals stop and waits a bounded time for the runs to end (a step in
    // progress, such as a long Delay, always finishes first).
    ~PlaybackRuns() override;
    PlaybackRuns(const PlaybackRuns&) = delete;
    PlaybackRuns& operator=(const PlaybackRuns&) = delete;

    void ResetStop() override;
    void SetStop() override;
    void Start(std::unique_ptr<PlaybackJob> job) override;

    // Waits until every run has ended or the time is up; true when none plays.
    bool WaitForRuns(DWORD ms);
    size_t RunningCount();

    static constexpr DWORD kShutdownWaitMs = 3000;

private:
    struct StopEvent;
    void PruneEnded();

    std::shared_ptr<StopEvent> m_stop;
    std::vector<HANDLE> m_threads;
};

}  // namespace tarvix
