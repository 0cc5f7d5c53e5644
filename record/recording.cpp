#include "recording.h"

#include <algorithm>
#include <cstdlib>

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

// The press of a button and its release, in pairs.
constexpr std::pair<InputKind, InputKind> kButtons[] = {
    {InputKind::LeftDown, InputKind::LeftUp},     {InputKind::RightDown, InputKind::RightUp},
    {InputKind::MiddleDown, InputKind::MiddleUp}, {InputKind::X1Down, InputKind::X1Up},
    {InputKind::X2Down, InputKind::X2Up},
};

bool IsGenericModifier(uint8_t vk) { return vk == kShift || vk == kControl || vk == kMenu; }

}  // namespace

uint8_t ScriptKeyOf(uint8_t vk) {
    // Right Ctrl and right Alt are keys of their own to the target (AltGr is
    // right Alt), and play as themselves; the generic code plays as the left.
    if (vk == 0xA3 || vk == 0xA5) return vk;
    for (const ModifierKeys& modifier : kModifiers)
        if (vk == modifier.keys[1] || vk == modifier.keys[2]) return modifier.keys[0];
    return vk;
}

Recording::Recording(Hotkey stop, const std::vector<uint8_t>& keysDownAtStart, bool keepPath)
    : m_stop(stop), m_keepPath(keepPath) {
    // A generic code would never be reported released: the modifier would
    // stay held for the whole recording, and no chord could match.
    for (uint8_t vk : keysDownAtStart)
        if (!IsGenericModifier(vk)) m_heldAtStart.set(vk);
}

Recording::Outcome Recording::Add(const RecordedInput& input) {
    if (m_outcome != Outcome::Going) return m_outcome;
    switch (input.kind) {
    case InputKind::KeyDown:
    case InputKind::KeyUp: AddKey(input); break;
    case InputKind::LeftDown:
    case InputKind::RightDown:
    case InputKind::MiddleDown:
    case InputKind::X1Down:
    case InputKind::X2Down: AddButton(input, false); break;
    case InputKind::LeftUp:
    case InputKind::RightUp:
    case InputKind::MiddleUp:
    case InputKind::X1Up:
    case InputKind::X2Up: AddButton(input, true); break;
    case InputKind::Wheel:
    case InputKind::HWheel: AddWheel(input); break;
    case InputKind::Move:
        if (m_keepPath) AddMove(input);
        break;
    case InputKind::OtherSideButton: ++m_leftOut.otherSideButtons; break;
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
        Release(input);
        FlushPendingMove(input.timeUs);
        Keep(input);
        return;
    }
    if (m_held[vk]) return;  // an auto-repeat
    m_held.set(vk);
    m_down.push_back(input);
    FlushPendingMove(input.timeUs);
    Keep(input);
    if (StopChordPressed(vk)) {
        DropStopChord();
        Stop(input.timeUs);
    }
}

void Recording::AddButton(const RecordedInput& input, bool up) {
    InputKind press = input.kind;
    for (const auto& [down, release] : kButtons)
        if (input.kind == release) press = down;
    const bool held = std::any_of(m_down.begin(), m_down.end(),
                                  [press](const RecordedInput& e) { return e.kind == press; });
    if (up != held) return;  // a release of a press from before the start
    if (up)
        Release(input);
    else
        m_down.push_back(input);
    // The button's own position replaces any path sample waiting.
    m_pendingMove.reset();
    KeepPointer(input, m_origin);
}

void Recording::AddWheel(const RecordedInput& input) {
    if (input.wheel == 0) return;
    m_pendingMove.reset();
    KeepPointer(input, m_origin);
}

// Forgets the held press that this release ends.
void Recording::Release(const RecordedInput& release) {
    for (auto it = m_down.begin(); it != m_down.end(); ++it) {
        const bool ends = release.kind == InputKind::KeyUp
                              ? it->kind == InputKind::KeyDown && it->vk == release.vk
                              : std::any_of(std::begin(kButtons), std::end(kButtons), [&](const auto& button) {
                                    return button.first == it->kind && button.second == release.kind;
                                });
        if (ends) {
            m_down.erase(it);
            return;
        }
    }
}

void Recording::Stop(uint64_t timeUs) {
    m_outcome = Outcome::Stopped;
    m_endUs = timeUs;
}

// The icon hears of the click after the hook has reported its press, and
// often its release too, or before either: what the hook reported of a left
// click where the pointer now is, is that click.
void Recording::StopByIconClick(int32_t x, int32_t y) {
    if (m_outcome != Outcome::Going) return;
    const auto atIcon = [x, y](const RecordedInput& e) {
        return std::abs(e.x - x) <= kIconSlackPx && std::abs(e.y - y) <= kIconSlackPx;
    };
    const auto lastBefore = [this](size_t end) {
        while (end-- > 0)
            if (m_events[end].kind != InputKind::Move && m_events[end].kind != InputKind::WindowOrigin) return end;
        return m_events.size();
    };
    size_t cut = lastBefore(m_events.size());
    if (cut < m_events.size() && m_events[cut].kind == InputKind::LeftUp && atIcon(m_events[cut]))
        cut = lastBefore(cut);
    uint64_t endUs = m_events.empty() ? 0 : m_events.back().timeUs;
    if (cut < m_events.size() && m_events[cut].kind == InputKind::LeftDown && atIcon(m_events[cut])) {
        endUs = m_events[cut].timeUs;
        m_events.erase(m_events.begin() + static_cast<std::ptrdiff_t>(cut), m_events.end());
        m_down.erase(std::remove_if(m_down.begin(), m_down.end(),
                                    [](const RecordedInput& d) { return d.kind == InputKind::LeftDown; }),
                     m_down.end());
    }
    m_pendingMove.reset();
    Stop(endUs);
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
// part of the work, also where the release of a key pressed before falls
// between them. A modifier held through another press, or through anything
// done with the mouse, was part of the work too: it stays, and Finish
// releases it.
void Recording::DropStopChord() {
    for (size_t i = m_events.size(); i-- > 0;) {
        const RecordedInput& e = m_events[i];
        if (e.kind == InputKind::Move || e.kind == InputKind::WindowOrigin) continue;
        if (e.kind == InputKind::KeyUp && !IsChordKey(e.vk)) continue;
        if (e.kind != InputKind::KeyDown || !IsChordKey(e.vk) || !m_held[e.vk]) break;
        const uint8_t vk = e.vk;
        m_held.reset(vk);
        m_down.erase(std::remove_if(m_down.begin(), m_down.end(),
                                    [vk](const RecordedInput& d) { return d.kind == InputKind::KeyDown && d.vk == vk; }),
                     m_down.end());
        m_events.erase(m_events.begin() + static_cast<std::ptrdiff_t>(i));
    }
}

std::vector<RecordedInput> Recording::Finish() {
    if (m_outcome == Outcome::Going && !m_events.empty()) m_endUs = m_events.back().timeUs;
    if (m_pendingMove) FlushPendingMove(std::max(m_endUs, m_pendingMove->timeUs));
    m_endUs = std::max(m_endUs, m_events.empty() ? 0 : m_events.back().timeUs);
    for (auto press = m_down.rbegin(); press != m_down.rend(); ++press) {
        RecordedInput release;
        if (press->kind == InputKind::KeyDown) {
            release.kind = InputKind::KeyUp;
            release.vk = press->vk;
        } else {
            for (const auto& [down, up] : kButtons)
                if (press->kind == down) release.kind = up;
            // Where the pointer was last seen is the best guess of where it is.
            for (auto it = m_events.rbegin(); it != m_events.rend(); ++it)
                if (it->kind != InputKind::KeyDown && it->kind != InputKind::KeyUp &&
                    it->kind != InputKind::WindowOrigin) {
                    release.x = it->x;
                    release.y = it->y;
                    break;
                }
        }
        release.timeUs = m_endUs;
        Keep(release);
    }
    m_down.clear();
    m_held.reset();
    return std::move(m_events);
}

}  // namespace tarvix
