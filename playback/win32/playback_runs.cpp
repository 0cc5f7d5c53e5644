#include "playback_runs.h"

#include <process.h>

#include <algorithm>
#include <climits>
#include <deque>

#include "win32_ports.h"

namespace tarvix {

namespace {

class ExclusiveLock {
public:
    explicit ExclusiveLock(SRWLOCK& lock) : m_lock(lock) { ::AcquireSRWLockExclusive(&m_lock); }
    ~ExclusiveLock() { ::ReleaseSRWLockExclusive(&m_lock); }
    ExclusiveLock(const ExclusiveLock&) = delete;
    ExclusiveLock& operator=(const ExclusiveLock&) = delete;

private:
    SRWLOCK& m_lock;
};

// "StopEvent" is the program's own only when this call made it: one copy of
// the program runs per logon, so an object of that name already there is
// another program's. Its rules are not ours (an auto-reset event lets one
// wait take a stop from the rest; a mutex or another kind of object is no
// event at all, and every wait on it would be a sleep), so the runs then use
// an event of their own that no one else can reach.
HANDLE CreateStopEvent(bool& named) {
    const HANDLE event = ::CreateEventW(nullptr, TRUE, FALSE, L"StopEvent");
    named = event && ::GetLastError() != ERROR_ALREADY_EXISTS;
    if (named) return event;
    if (event) ::CloseHandle(event);
    return ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
}

}  // namespace

// What the window's object and the threads share.
struct PlaybackRuns::Shared {
    bool stopNamed = false;
    win32::ScopedHandle stop{CreateStopEvent(stopNamed)};
    // One count for each run handed to a waiting thread, and one for each
    // waiting thread sent away at shutdown.
    win32::ScopedHandle wake{::CreateSemaphoreA(nullptr, 0, LONG_MAX, nullptr)};
    win32::ScopedHandle noneRunning{::CreateEventA(nullptr, TRUE, TRUE, nullptr)};

    SRWLOCK lock = SRWLOCK_INIT;
    std::deque<std::unique_ptr<PlaybackJob>> handedOver;
    size_t parked = 0;  // waiting threads no count of wake is meant for yet
    size_t running = 0;
    bool closing = false;

    // True when a waiting thread takes the job; otherwise the caller still
    // has it. The run counts as playing from here either way.
    bool HandOver(std::unique_ptr<PlaybackJob>& job) {
        bool taken = false;
        {
            ExclusiveLock hold(lock);
            if (++running == 1) ::ResetEvent(noneRunning.get());
            if (parked > 0) {
                --parked;
                handedOver.push_back(std::move(job));
                taken = true;
            }
        }
        if (taken) ::ReleaseSemaphore(wake.get(), 1, nullptr);
        return taken;
    }

    void RunEnded() {
        ExclusiveLock hold(lock);
        if (--running == 0) ::SetEvent(noneRunning.get());
    }

    // Waits for the next run; none when the thread is to end instead.
    std::unique_ptr<PlaybackJob> Park() {
        {
            ExclusiveLock hold(lock);
            if (closing || !wake || parked >= kParkedThreads) return nullptr;
            ++parked;
        }
        ::WaitForSingleObject(wake.get(), INFINITE);
        ExclusiveLock hold(lock);
        if (handedOver.empty()) return nullptr;  // sent away
        std::unique_ptr<PlaybackJob> job = std::move(handedOver.front());
        handedOver.pop_front();
        return job;
    }

    void SendAwayParked() {
        size_t waiting;
        {
            ExclusiveLock hold(lock);
            closing = true;
            waiting = parked;
            parked = 0;
        }
        if (waiting > 0) ::ReleaseSemaphore(wake.get(), static_cast<LONG>(waiting), nullptr);
    }
};

namespace {

struct ThreadStart {
    std::shared_ptr<PlaybackRuns::Shared> shared;
    std::unique_ptr<PlaybackJob> job;  // none: prepare and wait for one
};

void Play(const PlaybackJob& job, HANDLE stopEvent) {
    Win32InputSink input;
    Win32Clock clock;
    Win32StopSignal stop(stopEvent);
    Win32ForegroundWindow foreground;
    Win32KeyState keys;
    PlaybackPorts ports{input, clock, stop, foreground};
    ports.keys = &keys;
    PlayJob(job, ports);
}

unsigned __stdcall PlaybackThreadProc(void* argument) {
    const std::unique_ptr<ThreadStart> start(static_cast<ThreadStart*>(argument));
    PlaybackRuns::Shared& shared = *start->shared;
    std::unique_ptr<PlaybackJob> job = std::move(start->job);
    // A thread started for a run plays it at once: preparing first would only
    // move the cost in front of its first event.
    if (!job) Win32InputSink::PrepareThread();
    for (;;) {
        if (job) {
            Play(*job, shared.stop.get());
            job.reset();  // the run's copy goes before the run counts as ended
            shared.RunEnded();
        }
        job = shared.Park();
        if (!job) return 0;
    }
}

}  // namespace

PlaybackRuns::PlaybackRuns() : m_shared(std::make_shared<Shared>()) {
    for (size_t i = 0; i < kParkedThreads; ++i) StartThread(nullptr);
}

PlaybackRuns::~PlaybackRuns() {
    const DWORD begin = ::GetTickCount();
    SetStop();
    WaitForRuns(kShutdownWaitMs);
    m_shared->SendAwayParked();
    const DWORD spent = ::GetTickCount() - begin;
    WaitForThreads(spent < kShutdownWaitMs ? kShutdownWaitMs - spent : 0);
}

bool PlaybackRuns::StopNameTaken() const { return !m_shared->stopNamed; }

void PlaybackRuns::ResetStop() { ::ResetEvent(m_shared->stop.get()); }

void PlaybackRuns::SetStop() { ::SetEvent(m_shared->stop.get()); }

void PlaybackRuns::Start(std::unique_ptr<PlaybackJob> job) {
    PruneEnded();
    if (m_shared->HandOver(job)) return;
    std::shared_ptr<RunFlag> flag = job->script;
    if (!StartThread(std::move(job))) {
        // No run: the script is not playing after all.
        m_shared->RunEnded();
        if (flag) flag->Clear();
    }
}

bool PlaybackRuns::StartThread(std::unique_ptr<PlaybackJob> job) {
    auto start = std::make_unique<ThreadStart>();
    start->shared = m_shared;
    start->job = std::move(job);
    const uintptr_t thread = ::_beginthreadex(nullptr, 0, &PlaybackThreadProc, start.get(), 0, nullptr);
    if (thread == 0) return false;
    start.release();  // the thread owns it now
    m_threads.emplace_back(reinterpret_cast<HANDLE>(thread));
    return true;
}

void PlaybackRuns::PruneEnded() {
    m_threads.erase(std::remove_if(m_threads.begin(), m_threads.end(),
                                   [](const win32::ScopedHandle& thread) {
                                       return ::WaitForSingleObject(thread.get(), 0) == WAIT_OBJECT_0;
                                   }),
                    m_threads.end());
}

size_t PlaybackRuns::RunningCount() {
    ExclusiveLock hold(m_shared->lock);
    return m_shared->running;
}

size_t PlaybackRuns::ParkedCount() {
    ExclusiveLock hold(m_shared->lock);
    return m_shared->parked;
}

bool PlaybackRuns::WaitForRuns(DWORD ms) {
    ::WaitForSingleObject(m_shared->noneRunning.get(), ms);
    return RunningCount() == 0;
}

void PlaybackRuns::WaitForThreads(DWORD ms) {
    const DWORD begin = ::GetTickCount();
    for (;;) {
        PruneEnded();
        if (m_threads.empty()) return;
        const DWORD spent = ::GetTickCount() - begin;
        if (spent >= ms) return;
        std::vector<HANDLE> threads;
        for (size_t i = 0; i < m_threads.size() && i < MAXIMUM_WAIT_OBJECTS; ++i) threads.push_back(m_threads[i].get());
        ::WaitForMultipleObjects(static_cast<DWORD>(threads.size()), threads.data(), FALSE, ms - spent);
    }
}

}  // namespace tarvix
