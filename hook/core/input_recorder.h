#pragma once

#include "hook_ports.h"
#include "key_event.h"
#include "recorded_input.h"

namespace tarvix::hook {

// Hands every keyboard and mouse event to the recording report, in the order
// the hooks saw them, with the time they were seen. The program's own tagged
// input is what it plays, never what the user did, so it is left out; input
// other programs synthesise is reported. Deciding what a recording keeps is
// the receiver's business: the hook thread must return at once.
class InputRecorder {
public:
    // Without a window port no recording learns where the windows are.
    explicit InputRecorder(ReportSink& sink, WindowInFront* windows = nullptr) : m_sink(sink), m_windows(windows) {}

    void OnKeyEvent(const KeyEvent& event);
    // Where the sink asks for it, a pointer event goes after the client
    // origin of the window in front, read as the event arrives, when that is
    // new to the recording: the window the event happened over may come in
    // front only because of it, and the report must name the one before.
    void OnMouseEvent(const MouseEvent& event);
    // The recording may be another one now: the next pointer event reports
    // the origin whatever it is.
    void TargetsChanged() { m_originReported = false; }
    // A hook had been taken out by the system and is back in: the input
    // meanwhile is lost, and the recording must say so.
    void OnInputMissed(uint64_t timeUs);

private:
    void ReportWindowOrigin(uint64_t timeUs);

    ReportSink& m_sink;
    WindowInFront* m_windows;
    bool m_originReported = false;
    int32_t m_originX = 0;
    int32_t m_originY = 0;
};

}  // namespace tarvix::hook
