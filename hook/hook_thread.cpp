#include "hook_thread.h"

#include "hook_watchdog.h"
#include "input_recorder.h"
#include "key_reporter.h"
#include "performance_counter.h"
#include "system_ports.h"

namespace tarvix::hook {

namespace {

constexpr UINT kTickMs = 1000;
// Posted to the thread when the report targets changed; wParam is an event
// to set once the hooks match them.
constexpr UINT kTargetsChanged = WM_APP + 1;

struct StartRequest {
    ReportTargets* targets;
    HANDLE ready;
    bool installed;
};

// What the callback works on; set only on the hook thread, for its lifetime.
// Each consumer of the key events gets every event the callback reads.
struct HookState {
    explicit HookState(ReportTargets& targets)
        : targets(targets),
          reports(targets),
          reporter(keys, clock, reports),
          recorder(reports, &windows),
          watchdog(clock),
          eitherHook(clock) {}

    ReportTargets& targets;
    Win32KeyState keys;
    Win32TickClock clock;
    PostedReports reports;
    Win32WindowInFront windows;
    KeyReporter reporter;
    InputRecorder recorder;
    // Watches the keyboard hook only: the mouse hook's callbacks say nothing
    // of whether the keyboard hook is still in place.
    HookWatchdog watchdog;
    win32::ScopedHook mouseHook;
    // While recording, every input passes one hook or the other, so input
    // neither saw was lost to the recording. Sighted by both callbacks, this
    // stays quiet while the user only types, where a watch of the mouse hook
    // alone would put it back every other tick. A lost keyboard hook is the
    // keyboard watchdog's to put back; this one reports the gap either way.
    HookWatchdog eitherHook;
};
thread_local HookState* t_state = nullptr;

LRESULT CALLBACK KeyboardProc(int code, WPARAM message, LPARAM data) {
    if (code == HC_ACTION && t_state) {
        t_state->watchdog.Seen();
        t_state->eitherHook.Seen();
        KeyEvent event;
        if (ReadKeyEvent(message, *reinterpret_cast<const KBDLLHOOKSTRUCT*>(data), event)) {
            t_state->reporter.OnKeyEvent(event);
            t_state->recorder.OnKeyEvent(event);
        }
    }
    return ::CallNextHookEx(nullptr, code, message, data);
}

LRESULT CALLBACK MouseProc(int code, WPARAM message, LPARAM data) {
    if (code == HC_ACTION && t_state) {
        t_state->eitherHook.Seen();
        MouseEvent event;
        if (ReadMouseEvent(message, *reinterpret_cast<const MSLLHOOKSTRUCT*>(data), event))
            t_state->recorder.OnMouseEvent(event);
    }
    return ::CallNextHookEx(nullptr, code, message, data);
}

HHOOK Install(HMODULE module) { return ::SetWindowsHookExW(WH_KEYBOARD_LL, KeyboardProc, module, 0); }

HHOOK InstallMouse(HMODULE module) { return ::SetWindowsHookExW(WH_MOUSE_LL, MouseProc, module, 0); }

// Every mouse event of the session waits for this thread while the mouse
// hook is in, so it is in only while a window records.
void MatchMouseHook(HMODULE module, HookState& state) {
    const bool wanted = state.targets.recording.load() != nullptr;
    if (wanted && !state.mouseHook) {
        state.mouseHook.reset(InstallMouse(module));
        state.eitherHook.Installed(LastInputTime());
    } else if (!wanted) {
        state.mouseHook.reset();
    }
    state.targets.recordingHooked.store(wanted && state.mouseHook);
}

// The system takes out a mouse hook that times out as it does a keyboard
// hook, and a recording would go on without the clicks, unaware. Both
// hooks may have been taken: the keyboard watchdog puts its own back.
void WatchRecordingHooks(HMODULE module, HookState& state) {
    if (!state.mouseHook || !state.eitherHook.HookLost(LastInputTime())) return;
    if (HHOOK fresh = InstallMouse(module)) state.mouseHook.reset(fresh);  // in before the old one goes
    state.eitherHook.Installed(LastInputTime());
    state.recorder.OnInputMissed(win32::CounterMicroseconds());
}

void RunLoop(HMODULE module, win32::ScopedHook& hook, HookState& state) {
    const UINT_PTR timer = ::SetTimer(nullptr, 0, kTickMs, nullptr);
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (msg.message == kTargetsChanged && !msg.hwnd) {
            MatchMouseHook(module, state);
            state.recorder.TargetsChanged();
            ::SetEvent(reinterpret_cast<HANDLE>(msg.wParam));
        }
        if (msg.message != WM_TIMER || msg.hwnd) continue;
        state.reporter.ForgetReleasedKeys();
        WatchRecordingHooks(module, state);
        if (!state.watchdog.HookLost(LastInputTime())) continue;
        if (HHOOK fresh = Install(module)) {
            hook.reset(fresh);  // the new hook is in before the old one goes
            state.watchdog.Installed(LastInputTime());
        }
    }
    ::KillTimer(nullptr, timer);
}

}  // namespace

DWORD WINAPI HookThread::ThreadMain(void* start) {
    auto* request = static_cast<StartRequest*>(start);
    // The thread holds its own reference to the library, so the code it runs
    // stays mapped however the host unloads it, and nothing has to wait for
    // the thread inside DllMain.
    HMODULE module = nullptr;
    ::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                         reinterpret_cast<LPCWSTR>(&KeyboardProc), &module);
    // The message queue must exist before Stop can post to it.
    MSG msg;
    ::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);
    // Every key of the session waits for this thread.
    ::SetThreadPriority(::GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL);

    HookState state(*request->targets);
    t_state = &state;
    {
        win32::ScopedHook hook(Install(module));
        state.watchdog.Installed(LastInputTime());
        request->installed = static_cast<bool>(hook);
        ::SetEvent(request->ready);  // the request is gone after this
        if (hook) {
            MatchMouseHook(module, state);
            RunLoop(module, hook, state);
        }
        state.mouseHook.reset();
        state.targets.recordingHooked.store(false);
    }
    t_state = nullptr;
    if (module) ::FreeLibraryAndExitThread(module, 0);
    return 0;
}

bool HookThread::Running() const {
    return m_thread && ::WaitForSingleObject(m_thread.get(), 0) == WAIT_TIMEOUT;
}

void HookThread::Start() {
    if (Running()) return;
    m_thread.reset();

    const win32::ScopedHandle ready(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!ready) return;
    StartRequest request{&m_targets, ready.get(), false};
    m_thread.reset(::CreateThread(nullptr, 0, ThreadMain, &request, 0, &m_threadId));
    if (m_thread) {
        // The thread signals before it can block, or ends; either way the
        // request on this stack is no longer used once this returns.
        const HANDLE waits[] = {ready.get(), m_thread.get()};
        ::WaitForMultipleObjects(2, waits, FALSE, INFINITE);
        if (!request.installed) {
            ::WaitForSingleObject(m_thread.get(), INFINITE);
            m_thread.reset();
        }
    }
}

void HookThread::TargetsChanged() {
    if (!Running()) return;
    const HANDLE done = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (!done) return;
    // Waits, briefly, so that input right after a recording starts is seen.
    if (!::PostThreadMessageW(m_threadId, kTargetsChanged, reinterpret_cast<WPARAM>(done), 0)) {
        ::CloseHandle(done);
        return;
    }
    // A wedged thread may still set the event later: its handle then stays
    // open rather than be closed under it.
    if (::WaitForSingleObject(done, 2000) == WAIT_OBJECT_0) ::CloseHandle(done);
}

void HookThread::Stop() {
    if (!m_thread) return;
    ::PostThreadMessageW(m_threadId, WM_QUIT, 0, 0);
    // The thread only runs its message loop, so it ends at once; the bound is
    // there so a wedged system cannot hang the window that calls this.
    ::WaitForSingleObject(m_thread.get(), 2000);
    m_thread.reset();
}

}  // namespace tarvix::hook
