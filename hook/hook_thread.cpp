#include "hook_thread.h"

#include "hook_watchdog.h"
#include "key_reporter.h"
#include "system_ports.h"

namespace tarvix::hook {

namespace {

constexpr UINT kTickMs = 1000;

struct StartRequest {
    const ReportTargets* targets;
    HANDLE ready;
    bool installed;
};

// What the callback works on; set only on the hook thread, for its lifetime.
// Each consumer of the key events gets every event the callback reads.
struct HookState {
    explicit HookState(const ReportTargets& targets)
        : reports(targets), reporter(keys, clock, reports), watchdog(clock) {}

    Win32KeyState keys;
    Win32TickClock clock;
    PostedReports reports;
    KeyReporter reporter;
    HookWatchdog watchdog;
};
thread_local HookState* t_state = nullptr;

LRESULT CALLBACK KeyboardProc(int code, WPARAM message, LPARAM data) {
    if (code == HC_ACTION && t_state) {
        t_state->watchdog.Seen();
        KeyEvent event;
        if (ReadKeyEvent(message, *reinterpret_cast<const KBDLLHOOKSTRUCT*>(data), event))
            t_state->reporter.OnKeyEvent(event);
    }
    return ::CallNextHookEx(nullptr, code, message, data);
}

HHOOK Install(HMODULE module) { return ::SetWindowsHookExW(WH_KEYBOARD_LL, KeyboardProc, module, 0); }

void RunLoop(HMODULE module, win32::ScopedHook& hook, HookState& state) {
    const UINT_PTR timer = ::SetTimer(nullptr, 0, kTickMs, nullptr);
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (msg.message != WM_TIMER || msg.hwnd) continue;
        state.reporter.ForgetReleasedKeys();
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
        if (hook) RunLoop(module, hook, state);
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

void HookThread::Stop() {
    if (!m_thread) return;
    ::PostThreadMessageW(m_threadId, WM_QUIT, 0, 0);
    // The thread only runs its message loop, so it ends at once; the bound is
    // there so a wedged system cannot hang the window that calls this.
    ::WaitForSingleObject(m_thread.get(), 2000);
    m_thread.reset();
}

}  // namespace tarvix::hook
