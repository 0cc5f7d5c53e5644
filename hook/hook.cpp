// The entry points of hook.dll. They run on the host's user-interface
// thread; the hook thread runs while any window is registered, so no hook
// slows the session's keyboard while nothing listens.
//
// There is no DllMain work: the hook thread holds its own reference to the
// library, so the library is only unloaded after that thread has ended, and
// at process exit the system has ended it already.

#include "hook_api.h"
#include "hook_thread.h"
#include "report_targets.h"

namespace {

tarvix::hook::ReportTargets g_targets;
tarvix::hook::HookThread g_thread(g_targets);

void Register(std::atomic<HWND>& slot, HWND window) {
    slot.store(window);
    if (g_targets.AnyRegistered()) {
        g_thread.Start();
        g_thread.TargetsChanged();
    } else {
        g_thread.Stop();
    }
}

bool HostCapturesOnKeypad() {
    const auto* flag = reinterpret_cast<const int*>(
        ::GetProcAddress(::GetModuleHandleW(nullptr), kCaptureOnKeypadExport));
    return flag && *flag != 0;
}

}  // namespace

extern "C" {

void WINAPI HookStartCapture(HWND window) {
    g_targets.captureOnKeypad.store(HostCapturesOnKeypad());
    Register(g_targets.capture, window);
}

void WINAPI HookStopCapture() { Register(g_targets.capture, nullptr); }

void WINAPI HookStartHotkeys(HWND window) { Register(g_targets.hotkeys, window); }

void WINAPI HookStopHotkeys() { Register(g_targets.hotkeys, nullptr); }

BOOL WINAPI HookStartRecording(HWND window) {
    // Cleared first, so that a hook thread that never answers is no success.
    g_targets.recordingHooked.store(false);
    Register(g_targets.recording, window);
    return window && g_targets.recordingHooked.load() ? TRUE : FALSE;
}

void WINAPI HookStopRecording() { Register(g_targets.recording, nullptr); }

void WINAPI HookRecordWindowOrigins(BOOL on) { g_targets.recordingWindowOrigins.store(on != FALSE); }

}  // extern "C"
