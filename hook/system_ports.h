#pragma once

#include <windows.h>

#include <cstdint>

#include "hook_ports.h"
#include "key_event.h"
#include "recorded_input.h"
#include "report_targets.h"

namespace tarvix::hook {

// The hook's decisions asked of Windows.

class Win32KeyState : public SystemKeyState {
public:
    bool IsDown(uint8_t vk) override { return (::GetAsyncKeyState(vk) & 0x8000) != 0; }
};

class Win32TickClock : public TickClock {
public:
    uint32_t NowMs() override { return ::GetTickCount(); }
};

class Win32WindowInFront : public WindowInFront {
public:
    bool ClientOrigin(int32_t& x, int32_t& y) override;
};

// Posts each report as WM_HOTKEY to the window registered for its kind.
class PostedReports : public ReportSink {
public:
    explicit PostedReports(const ReportTargets& targets) : m_targets(targets) {}
    void ReportHotkey(uint8_t vk) override;
    CaptureKeys WantedCaptureKeys() override;
    void ReportCapture(int index) override;
    bool Recording() override;
    bool RecordsWindowOrigins() override;
    void ReportRecorded(const RecordedInput& input) override;

private:
    const ReportTargets& m_targets;
    // A recorded event could not be posted (the receiver's queue was full):
    // the recording hears of the gap with the next event that can be.
    bool m_recordingGap = false;
};

// The session's last input time from any device, as a tick count.
uint32_t LastInputTime();

// Reads what the keyboard hook was given into a portable event; false for a
// message that is no key going down or up.
bool ReadKeyEvent(WPARAM message, const KBDLLHOOKSTRUCT& key, KeyEvent& event);

// Reads what the mouse hook was given; false for a message it does not know.
bool ReadMouseEvent(WPARAM message, const MSLLHOOKSTRUCT& mouse, MouseEvent& event);

}  // namespace tarvix::hook
