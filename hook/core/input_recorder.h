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
    explicit InputRecorder(ReportSink& sink) : m_sink(sink) {}

    void OnKeyEvent(const KeyEvent& event);
    void OnMouseEvent(const MouseEvent& event);
    // A hook had been taken out by the system and is back in: the input
    // meanwhile is lost, and the recording must say so.
    void OnInputMissed(uint64_t timeUs);

private:
    ReportSink& m_sink;
};

}  // namespace tarvix::hook
