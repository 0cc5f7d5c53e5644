#include "recording.h"

#include <algorithm>

namespace tarvix {

namespace {

constexpr uint8_t kShift = 0x10, kControl = 0x11, kMenu = 0x12;

// The generic key of each modifier bit and its two sided keys.
struct ModifierKeys {
    uint16_t bit;
    uint8_t keys[3];
};
constexpr ModifierKeys kModifiers[] = {
    {1, {kShift, 0xA0, 0xA1}},
    {2, {kControl, 0xA2, 0xA3}},
    {4, {kMenu, 0xA4, 0xA5}},
};

int ButtonIndex(InputKind kind) { return kind == InputKind::LeftDown || kind == InputKind::LeftUp ? 0 : 1; }

}  // namespace

uint8_t ScriptKeyOf(uint8_t vk) {
    for (const ModifierKeys& modifier : kModifiers)
        if (vk == modifier.keys[1] || vk == modifier.keys[2]) return modifier.keys[0];
    return vk;
}

Recording::Recording(Hotkey stop, const std::vector<uint8_t>& keysDownAtStart, bool keepPath)
    : m_stop(stop), m_keepPath(keepPath) {
    for (uint8_t vk : keysDownAtStart) m_heldAtStart.set(vk);
}

Recording::Outcome Recording::Add(const RecordedInput& input) {
    if (m_outcome != Outcome::Going) return m_outcome;
    switch (input.kind) {
    case InputKind::KeyDown:
    case InputKind::KeyUp: AddKey(input); break;
    case InputKind::LeftDown:
    case InputKind::RightDown: AddButton(input, ButtonIndex(input.kind), false); break;
    case InputKind::LeftUp:
    case InputKind::RightUp: AddButton(input, ButtonIndex(input.kind), true); break;
    case InputKind::Move:
        if (m_keepPath) AddMove(input);
        break;
    case InputKind::MiddleButton: ++m_leftOut.middle; break;
    case InputKind::ExtraButton: ++m_leftOut.extra; break;
    case InputKind::Wheel: ++m_leftOut.wheel; break;
    case InputKind::Missed: m_inputMissed = true; break;
    case InputKind::WindowOrigin: m_origin = input; break;
    }
    if (m_outcome == Outcome::Going && m_events.size() >= kMaxEvents) {
        m_outcome = Outcome::Full;
        m_endUs = input.timeUs;
    }
    return m_outcome;
}

void Recording::AddKey(const RecordedInput& input) {
    const uint8_t vk = input.vk;
    const bool up = input.kind == InputKind::KeyUp;
    if (m_heldAtStart[vk]) {
        // Held since before the start: neither its repeats nor its release
        // are the user's doing in this recording.
        if (up) m_heldAtStart.reset(vk);
        return;
    }
    if (up) {
        if (!m_held[vk]) return;
        m_held.reset(vk);
        FlushPendingMove(input.timeUs);
        Keep(input);
        return;
    }
    if (m_held[vk]) return;  // an auto-repeat
    m_held.set(vk);
    FlushPendingMove(input.timeUs);
    Keep(input);
    if (StopChordPressed(vk)) {
        DropStopChord();
        m_outcome = Outcome::Stopped;
        m_endUs = input.timeUs;
    }
}

void Recording::AddButton(const RecordedInput& input, int button, bool up) {
    if (up != m_buttonHeld[button]) return;  // a release of a press from before the start
    m_buttonHeld[button] = !up;
    // The button's own position replaces any path sample waiting.
    m_pendingMove.reset();
    KeepPointer(input, m_origin);
}

void Recording::AddMove(const RecordedInput& input) {
    if (m_lastMove && m_lastMove->x == input.x && m_lastMove->y == input.y) {
        m_pendingMove.reset();
        return;
    }
    if (!m_lastMove || input.timeUs - m_lastMove->timeUs >= kPathSampleUs) {
        KeepPointer(input, m_origin);
        m_lastMove = input;
        m_pendingMove.reset();
    } else {
        m_pendingMove = input;
        m_pendingOrigin = m_origin;
    }
}

// A sample that came too soon after the last one is still where the pointer
// rested: it is kept once its 10 ms are up, if that is before the next event.
void Recording::FlushPendingMove(uint64_t beforeUs) {
    if (!m_pendingMove || !m_lastMove) return;
    RecordedInput move = *m_pendingMove;
    m_pendingMove.reset();
    const uint64_t due = m_lastMove->timeUs + kPathSampleUs;
    if (due > beforeUs) return;
    move.timeUs = std::max(move.timeUs, due);
    KeepPointer(move, m_pendingOrigin);
    m_lastMove = move;
}

void Recording::Keep(const RecordedInput& input) { m_events.push_back(input); }

void Recording::KeepPointer(const RecordedInput& input, const RecordedInput& origin) {
    if (origin.kind == InputKind::WindowOrigin &&
        !(m_keptOrigin && m_keptOrigin->x == origin.x && m_keptOrigin->y == origin.y)) {
        RecordedInput kept = origin;
        kept.timeUs = input.timeUs;
        Keep(kept);
        m_keptOrigin = origin;
    }
    Keep(input);
}

bool Recording::ModifierHeld(uint16_t bit) const {
    for (const ModifierKeys& modifier : kModifiers)
        if (modifier.bit == bit)
            for (uint8_t vk : modifier.keys)
                if (m_held[vk] || m_heldAtStart[vk]) return true;
    return false;
}

// The same match as the stop hotkey has during playback: each of Shift,
// Ctrl and Alt down exactly when the hotkey asks for it.
bool Recording::StopChordPressed(uint8_t vk) const {
    if (m_stop.vk == 0 || vk != m_stop.vk) return false;
    for (const ModifierKeys& modifier : kModifiers)
        if (ModifierHeld(modifier.bit) != ((m_stop.mods & modifier.bit) != 0)) return false;
    return true;
}

bool Recording::IsChordKey(uint8_t vk) const {
    if (vk == m_stop.vk) return true;
    for (const ModifierKeys& modifier : kModifiers)
        if (m_stop.mods & modifier.bit)
            for (uint8_t key : modifier.keys)
                if (vk == key) return true;
    return false;
}

// The chord's presses at the end of the recording are how it was ended, not
// part of the work. A modifier pressed earlier and held through other events
// was part of the work too: it stays, and Finish releases it.
void Recording::DropStopChord() {
    for (size_t i = m_events.size(); i-- > 0;) {
        const RecordedInput& e = m_events[i];
        if (e.kind == InputKind::Move || e.kind == InputKind::WindowOrigin) continue;
        if (e.kind != InputKind::KeyDown || !IsChordKey(e.vk)) break;
        m_held.reset(e.vk);
        m_events.erase(m_events.begin() + static_cast<std::ptrdiff_t>(i));
    }
}

std::vector<RecordedInput> Recording::Finish() {
    if (m_outcome == Outcome::Going && !m_events.empty()) m_endUs = m_events.back().timeUs;
    if (m_pendingMove) FlushPendingMove(std::max(m_endUs, m_pendingMove->timeUs));
    m_endUs = std::max(m_endUs, m_events.empty() ? 0 : m_events.back().timeUs);
    for (int vk = 0; vk < 256; ++vk) {
        if (!m_held[vk]) continue;
        RecordedInput release;
        release.kind = InputKind::KeyUp;
        release.vk = static_cast<uint8_t>(vk);
        release.timeUs = m_endUs;
        Keep(release);
    }
    m_held.reset();
    for (int button = 0; button < 2; ++button) {
        if (!m_buttonHeld[button]) continue;
        RecordedInput release;
        release.kind = button == 0 ? InputKind::LeftUp : InputKind::RightUp;
        // Where it went down is the best guess of where it is.
        for (auto it = m_events.rbegin(); it != m_events.rend(); ++it)
            if (it->kind != InputKind::KeyDown && it->kind != InputKind::KeyUp &&
                it->kind != InputKind::WindowOrigin) {
                release.x = it->x;
                release.y = it->y;
                break;
            }
        release.timeUs = m_endUs;
        Keep(release);
        m_buttonHeld[button] = false;
    }
    return std::move(m_events);
}

}  // namespace tarvix
