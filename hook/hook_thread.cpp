#include "hook_thread.h"

#include "hook_keeper.h"
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

HHOOK Install(HMODULE module);
HHOOK InstallMouse(HMODULE module);

// The hook thread's hooks, as the keeper puts them back.
class Win32Hooks : public HookSetter {
public:
    explicit Win32Hooks(HMODULE module) : m_module(module) {}
    bool ReplaceKeyboardHook() override { return Replace(keyboard, Install(m_module)); }
    bool ReplaceMouseHook() override { return Replace(mouse, InstallMouse(m_module)); }
    bool MouseHooked() override { return static_cast<bool>(mouse); }
    uint32_t LastInputMs() override { return LastInputTime(); }
    uint64_t NowUs() override { return win32::CounterMicroseconds(); }

    win32::ScopedHook keyboard;
    win32::ScopedHook mouse;

private:
    // The fresh hook is in before the old one goes.
    static bool Replace(win32::ScopedHook& held, HHOOK fresh) {
        if (!fresh) return false;
        held.reset(fresh);
        return true;
    }
    HMODULE m_module;
};

// What the callback works on; set only on the hook thread, for its lifetime.
// Each consumer of the key events gets every event the callback reads.
struct HookState {
    HookState(ReportTargets& targets, HMODULE module)
        : targets(targets),
          reports(targets),
          reporter(keys, clock, reports),
          recorder(reports, &windows),
          hooks(module),
          keeper(hooks, clock, recorder) {}

    ReportTargets& targets;
    Win32KeyState keys;
    Win32TickClock clock;
    PostedReports reports;
    Win32WindowInFront windows;
    KeyReporter reporter;
    InputRecorder recorder;
    Win32Hooks hooks;
    HookKeeper keeper;
};
thread_local HookState* t_state = nullptr;

LRESULT CALLBACK KeyboardProc(int code, WPARAM message, LPARAM data) {
    if (code == HC_ACTION && t_state) {
        t_state->keeper.KeyboardSeen();
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
        t_state->keeper.MouseSeen();
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
    if (wanted && !state.hooks.mouse) {
        state.hooks.mouse.reset(InstallMouse(module));
        state.keeper.MouseInstalled();
    } else if (!wanted) {
        state.hooks.mouse.reset();
    }
    state.targets.recordingHooked.store(wanted && state.hooks.mouse);
}

void RunLoop(HMODULE module, HookState& state) {
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
        state.keeper.Tick();
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

    HookState state(*request->targets, module);
    t_state = &state;
    state.hooks.keyboard.reset(Install(module));
    state.keeper.KeyboardInstalled();
    request->installed = static_cast<bool>(state.hooks.keyboard);
    ::SetEvent(request->ready);  // the request is gone after this
    if (state.hooks.keyboard) {
        MatchMouseHook(module, state);
        RunLoop(module, state);
    }
    // The thread ends without unwinding its stack: the hooks come out here.
    state.hooks.mouse.reset();
    state.hooks.keyboard.reset();
    state.targets.recordingHooked.store(false);
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
