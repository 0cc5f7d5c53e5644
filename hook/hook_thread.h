#pragma once

#include <windows.h>

#include "report_targets.h"
#include "scoped_handles.h"

namespace tarvix::hook {

// The thread that owns the low-level keyboard hook, and the mouse hook while
// a window records. The system calls a
// low-level hook on the thread that installed it, through that thread's
// message loop, and holds every key of the session until it returns; so the
// hook gets a thread that does nothing else, and a busy or modal user
// interface never delays the keyboard.
//
// Start and Stop are called on the user-interface thread only.
class HookThread {
public:
    explicit HookThread(ReportTargets& targets) : m_targets(targets) {}

    // Starts the thread and returns once the hook is installed, so keys
    // pressed right after the call are seen. Does nothing when running.
    void Start();

    // The thread puts the mouse hook in or takes it out to match whether a
    // window records; returns once it has.
    void TargetsChanged();

    // Asks the thread to remove the hook and end, and waits briefly for it.
    // Never called from DllMain: the thread's exit needs the loader lock.
    void Stop();

private:
    static DWORD WINAPI ThreadMain(void* start);
    bool Running() const;

    ReportTargets& m_targets;
    win32::ScopedHandle m_thread;
    DWORD m_threadId = 0;
};

}  // namespace tarvix::hook
