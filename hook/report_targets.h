#pragma once

#include <windows.h>

#include <atomic>

namespace tarvix::hook {

// Where reports go. The ordinals write it on the user-interface thread while
// the hook thread reads it for every key, so each field is atomic and read
// once per key; the hook thread answers back only whether the recording's
// hooks are in. Nothing else is shared between the two threads.
struct ReportTargets {
    std::atomic<HWND> hotkeys{nullptr};
    std::atomic<HWND> capture{nullptr};
    std::atomic<bool> captureOnKeypad{false};
    std::atomic<HWND> recording{nullptr};
    // The recording wants the client origin of the window in front.
    std::atomic<bool> recordingWindowOrigins{false};
    // Set by the hook thread: both hooks are in for the recording window.
    std::atomic<bool> recordingHooked{false};

    bool AnyRegistered() const { return hotkeys.load() || capture.load() || recording.load(); }
};

}  // namespace tarvix::hook
