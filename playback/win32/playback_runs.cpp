#include "playback_runs.h"

#include <process.h>

#include <algorithm>

#include "win32_ports.h"

namespace tarvix {

struct PlaybackRuns::StopEvent {
    HANDLE handle = ::CreateEventA(nullptr, TRUE, FALSE, "StopEvent");
    ~StopEvent() {
        if (handle) ::CloseHandle(handle);
    }
};

namespace {

struct RunStart {
    std::unique_ptr<PlaybackJob> job;
    std::shared_ptr<void> stopOwner;
    HANDLE stopEvent;
};

// One run, on its own thread; it owns its job and its share of the signal.
unsigned __stdcall PlaybackThreadProc(void* argument) {
    std::unique_ptr<RunStart> start(static_cast<RunStart*>(argument));
    Win32InputSink input;
    Win32Clock clock;
    Win32StopSignal stop(start->stopEvent);
    Win32ForegroundWindow foreground;
    Win32KeyState keys;
    PlaybackPorts ports{input, clock, stop, foreground};
    ports.keys = &keys;
    return static_cast<unsigned>(PlayJob(*start->job, ports));
}

}  // namespace

PlaybackRuns::PlaybackRuns() : m_stop(std::make_shared<StopEvent>()) {}

PlaybackRuns::~PlaybackRuns() {
    SetStop();
    WaitForRuns(kShutdownWaitMs);
    for (HANDLE thread : m_threads) ::CloseHandle(thread);
}

void PlaybackRuns::ResetStop() { ::ResetEvent(m_stop->handle); }

void PlaybackRuns::SetStop() { ::SetEvent(m_stop->handle); }

void PlaybackRuns::Start(std::unique_ptr<PlaybackJob> job) {
    PruneEnded();
    auto start = std::make_unique<RunStart>();
    start->job = std::move(job);
    start->stopOwner = m_stop;
    start->stopEvent = m_stop->handle;
    std::shared_ptr<RunFlag> flag = start->job->script;
    const uintptr_t thread = ::_beginthreadex(nullptr, 0, &PlaybackThreadProc, start.get(), 0, nullptr);
    if (thread == 0) {
        // No run: the script is not playing after all.
        if (flag) flag->Clear();
        return;
    }
    start.release();  // the thread owns it now
    m_threads.push_back(reinterpret_cast<HANDLE>(thread));
}

void PlaybackRuns::PruneEnded() {
    m_threads.erase(std::remove_if(m_threads.begin(), m_threads.end(),
                                   [](HANDLE thread) {
                                       if (::WaitForSingleObject(thread, 0) != WAIT_OBJECT_0) return false;
                                       ::CloseHandle(thread);
                                       return true;
                                   }),
                    m_threads.end());
}

size_t PlaybackRuns::RunningCount() {
    PruneEnded();
    return m_threads.size();
}

bool PlaybackRuns::WaitForRuns(DWORD ms) {
    const DWORD begin = ::GetTickCount();
    for (;;) {
        PruneEnded();
        if (m_threads.empty()) return true;
        const DWORD spent = ::GetTickCount() - begin;
        if (spent >= ms) return false;
        const DWORD count = static_cast<DWORD>(std::min<size_t>(m_threads.size(), MAXIMUM_WAIT_OBJECTS));
        ::WaitForMultipleObjects(count, m_threads.data(), FALSE, ms - spent);
    }
}

}  // namespace tarvix
