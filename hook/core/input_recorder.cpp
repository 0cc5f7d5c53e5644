#include "input_recorder.h"

namespace tarvix::hook {

namespace {

bool ToKind(MouseAction action, InputKind& kind) {
    switch (action) {
    case MouseAction::Move: kind = InputKind::Move; return true;
    case MouseAction::LeftDown: kind = InputKind::LeftDown; return true;
    case MouseAction::LeftUp: kind = InputKind::LeftUp; return true;
    case MouseAction::RightDown: kind = InputKind::RightDown; return true;
    case MouseAction::RightUp: kind = InputKind::RightUp; return true;
    case MouseAction::MiddleDown: kind = InputKind::MiddleButton; return true;
    case MouseAction::ExtraDown: kind = InputKind::ExtraButton; return true;
    case MouseAction::Wheel: kind = InputKind::Wheel; return true;
    default: return false;  // a release of a button counted at its press
    }
}

}  // namespace

void InputRecorder::OnKeyEvent(const KeyEvent& event) {
    if (event.IsOwnInput() || !m_sink.Recording()) return;
    RecordedInput in;
    in.kind = event.up ? InputKind::KeyUp : InputKind::KeyDown;
    in.vk = event.vk;
    in.scan = event.scan;
    in.extended = event.extended;
    in.injected = event.injected;
    in.timeUs = event.timeUs;
    m_sink.ReportRecorded(in);
}

void InputRecorder::OnInputMissed(uint64_t timeUs) {
    if (!m_sink.Recording()) return;
    RecordedInput in;
    in.kind = InputKind::Missed;
    in.timeUs = timeUs;
    m_sink.ReportRecorded(in);
}

void InputRecorder::OnMouseEvent(const MouseEvent& event) {
    if (event.extraInfo == kOwnInputTag || !m_sink.Recording()) return;
    RecordedInput in;
    if (!ToKind(event.action, in.kind)) return;
    ReportWindowOrigin(event.timeUs);
    in.x = event.x;
    in.y = event.y;
    in.injected = event.injected;
    in.timeUs = event.timeUs;
    m_sink.ReportRecorded(in);
}

void InputRecorder::ReportWindowOrigin(uint64_t timeUs) {
    if (!m_windows || !m_sink.RecordsWindowOrigins()) return;
    int32_t x = 0, y = 0;
    if (!m_windows->ClientOrigin(x, y)) x = y = 0;  // the primary monitor's corner
    if (m_originReported && x == m_originX && y == m_originY) return;
    m_originReported = true;
    m_originX = x;
    m_originY = y;
    RecordedInput origin;
    origin.kind = InputKind::WindowOrigin;
    origin.x = x;
    origin.y = y;
    origin.timeUs = timeUs;
    m_sink.ReportRecorded(origin);
}

}  // namespace tarvix::hook
