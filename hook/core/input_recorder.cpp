#include "input_recorder.h"

namespace tarvix::hook {

namespace {

InputKind SideButton(int32_t button, bool up) {
    if (button == kFirstSideButton) return up ? InputKind::X1Up : InputKind::X1Down;
    if (button == kSecondSideButton) return up ? InputKind::X2Up : InputKind::X2Down;
    return InputKind::OtherSideButton;
}

bool ToKind(const MouseEvent& event, InputKind& kind) {
    switch (event.action) {
    case MouseAction::Move: kind = InputKind::Move; return true;
    case MouseAction::LeftDown: kind = InputKind::LeftDown; return true;
    case MouseAction::LeftUp: kind = InputKind::LeftUp; return true;
    case MouseAction::RightDown: kind = InputKind::RightDown; return true;
    case MouseAction::RightUp: kind = InputKind::RightUp; return true;
    case MouseAction::MiddleDown: kind = InputKind::MiddleDown; return true;
    case MouseAction::MiddleUp: kind = InputKind::MiddleUp; return true;
    case MouseAction::ExtraDown: kind = SideButton(event.data, false); return true;
    case MouseAction::ExtraUp:
        // A button no script can play is counted once, at its press.
        kind = SideButton(event.data, true);
        return kind != InputKind::OtherSideButton;
    case MouseAction::Wheel: kind = InputKind::Wheel; return true;
    case MouseAction::HWheel: kind = InputKind::HWheel; return true;
    }
    return false;
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
    if (!ToKind(event, in.kind)) return;
    ReportWindowOrigin(event.timeUs);
    in.x = event.x;
    in.y = event.y;
    // The system's wheel message carries 16 bits of it.
    if (IsWheel(in.kind)) in.wheel = static_cast<int16_t>(event.data);
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
