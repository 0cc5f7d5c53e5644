#include "record_conversion.h"

#include <algorithm>
#include <cstdlib>

#include "playback_engine.h"
#include "recording.h"

namespace tarvix {

namespace {

using hook::InputKind;
using hook::RecordedInput;

constexpr uint64_t kPlayerHoldUs = uint64_t{kHoldMs} * 1000;

bool IsKey(const RecordedInput& e) { return e.kind == InputKind::KeyDown || e.kind == InputKind::KeyUp; }

bool IsButtonDown(const RecordedInput& e) {
    return e.kind == InputKind::LeftDown || e.kind == InputKind::RightDown;
}

// The release that ends the press at `down`, when it is the very next event.
bool ReleasedNext(const std::vector<RecordedInput>& events, size_t down) {
    if (down + 1 >= events.size()) return false;
    const RecordedInput& d = events[down];
    const RecordedInput& u = events[down + 1];
    switch (d.kind) {
    case InputKind::KeyDown: return u.kind == InputKind::KeyUp && u.vk == d.vk;
    case InputKind::LeftDown: return u.kind == InputKind::LeftUp && u.x == d.x && u.y == d.y;
    case InputKind::RightDown: return u.kind == InputKind::RightUp && u.x == d.x && u.y == d.y;
    default: return false;
    }
}

class Converter {
public:
    Converter(const std::vector<RecordedInput>& events, const RecordOptions& options)
        : m_options(options) {
        for (const RecordedInput& e : events) {
            const bool used = IsKey(e) || e.kind == InputKind::LeftDown || e.kind == InputKind::LeftUp ||
                              e.kind == InputKind::RightDown || e.kind == InputKind::RightUp ||
                              (e.kind == InputKind::Move && options.mousePath);
            if (used) m_events.push_back(e);
        }
    }

    std::vector<ScriptAction> Run() {
        if (m_events.empty()) return {};
        m_startUs = m_events.front().timeUs;
        for (size_t i = 0; i < m_events.size();)
            i = m_options.keepTiming ? TimedStep(i) : CompactStep(i);
        return std::move(m_out);
    }

private:
    // --- Timing kept ---

    size_t TimedStep(size_t i) {
        const RecordedInput& e = m_events[i];
        WaitUntil(e.timeUs);
        if (e.kind == InputKind::Move) {
            PointerTo(e);
            return i + 1;
        }
        if (!IsKey(e)) PointerTo(e);
        if ((e.kind == InputKind::KeyDown || IsButtonDown(e)) && ReleasedNext(m_events, i) &&
            HoldNearPlayers(m_events[i + 1].timeUs - e.timeUs)) {
            Emit(PressKind(e), e);
            // A hold a little off the player's is that one gap's error; the
            // next gap is measured from the release as recorded, so they
            // never add up.
            m_plannedUs = std::max(m_plannedUs, m_events[i + 1].timeUs - m_startUs);
            return i + 2;
        }
        Emit(SingleKind(e), e);
        return i + 1;
    }

    static bool HoldNearPlayers(uint64_t holdUs) {
        const uint64_t off = holdUs > kPlayerHoldUs ? holdUs - kPlayerHoldUs : kPlayerHoldUs - holdUs;
        return off <= kHoldToleranceUs;
    }

    // The replay has played everything before this event by m_plannedUs
    // (microseconds after its first action); the Delay makes up the rest of
    // the recorded gap, its rounding carried on to the next one.
    void WaitUntil(uint64_t timeUs) {
        const uint64_t due = timeUs - m_startUs;
        if (due <= m_plannedUs) return;
        const uint64_t ms = (due - m_plannedUs + 500) / 1000;
        if (ms == 0) return;
        m_out.push_back(MakeAction(KindDelay, static_cast<int32_t>(ms)));
        m_plannedUs += ms * 1000;
    }

    // --- Compact ---

    size_t CompactStep(size_t i) {
        const RecordedInput& e = m_events[i];
        if (e.kind == InputKind::Move) {
            PointerTo(e);
            return i + 1;
        }
        if (!IsKey(e)) PointerTo(e);
        if (e.kind == InputKind::LeftDown && DoubleClickAt(i)) {
            Emit(KindLeftDoubleClick, e);
            return i + 4;
        }
        if ((e.kind == InputKind::KeyDown || IsButtonDown(e)) && ReleasedNext(m_events, i)) {
            if (e.kind == InputKind::KeyDown && m_lastPressVk == e.vk && !m_out.empty() &&
                m_out.back().kind == KindKeyPress) {
                ++m_out.back().param2;  // the same key again: one KeyPress with a count
            } else {
                Emit(PressKind(e), e);
            }
            return i + 2;
        }
        Emit(SingleKind(e), e);
        return i + 1;
    }

    // Two left clicks, each released where it went down, the second within
    // the double-click time and spot of the first.
    bool DoubleClickAt(size_t i) const {
        if (i + 3 >= m_events.size()) return false;
        const RecordedInput& first = m_events[i];
        const RecordedInput& second = m_events[i + 2];
        if (!ReleasedNext(m_events, i) || second.kind != InputKind::LeftDown || !ReleasedNext(m_events, i + 2))
            return false;
        if (second.timeUs - first.timeUs > uint64_t{m_options.doubleClickMs} * 1000) return false;
        return std::abs(second.x - first.x) <= m_options.doubleClickWidth / 2 &&
               std::abs(second.y - first.y) <= m_options.doubleClickHeight / 2;
    }

    // --- Both ---

    static int32_t PressKind(const RecordedInput& e) {
        switch (e.kind) {
        case InputKind::KeyDown: return KindKeyPress;
        case InputKind::LeftDown: return KindLeftClick;
        default: return KindRightClick;
        }
    }

    static int32_t SingleKind(const RecordedInput& e) {
        switch (e.kind) {
        case InputKind::KeyDown: return KindKeyDown;
        case InputKind::KeyUp: return KindKeyUp;
        case InputKind::LeftDown: return KindLeftDown;
        case InputKind::LeftUp: return KindLeftUp;
        case InputKind::RightDown: return KindRightDown;
        default: return KindRightUp;
        }
    }

    void Emit(int32_t kind, const RecordedInput& e) {
        if (CategoryOfKind(kind) == CategoryKey) {
            m_out.push_back(MakeAction(kind, ScriptKeyOf(e.vk), 1));
            m_lastPressVk = kind == KindKeyPress ? e.vk : -1;
        } else {
            m_out.push_back(MakeAction(kind, 1));
            m_lastPressVk = -1;
        }
    }

    void PointerTo(const RecordedInput& e) {
        if (m_havePointer && m_x == e.x && m_y == e.y) return;
        m_out.push_back(MakeAction(KindMoveTo, e.x, e.y));
        m_havePointer = true;
        m_x = e.x;
        m_y = e.y;
        m_lastPressVk = -1;
    }

    const RecordOptions& m_options;
    std::vector<RecordedInput> m_events;
    std::vector<ScriptAction> m_out;
    uint64_t m_startUs = 0;
    uint64_t m_plannedUs = 0;
    bool m_havePointer = false;
    int32_t m_x = 0;
    int32_t m_y = 0;
    int m_lastPressVk = -1;
};

}  // namespace

std::vector<ScriptAction> ConvertRecording(const std::vector<RecordedInput>& events, const RecordOptions& options) {
    return Converter(events, options).Run();
}

}  // namespace tarvix
