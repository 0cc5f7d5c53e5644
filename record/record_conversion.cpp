#include "record_conversion.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdlib>

#include "playback_engine.h"
#include "recording.h"

namespace tarvix {

namespace {

using hook::InputKind;
using hook::RecordedInput;

constexpr uint64_t kPlayerHoldUs = uint64_t{kHoldMs} * 1000;

bool IsKey(const RecordedInput& e) { return e.kind == InputKind::KeyDown || e.kind == InputKind::KeyUp; }

// Each button's press and release, and the kinds that play them.
struct ButtonKinds {
    InputKind down, up;
    int32_t click, press, release;
};
constexpr ButtonKinds kButtons[] = {
    {InputKind::LeftDown, InputKind::LeftUp, KindLeftClick, KindLeftDown, KindLeftUp},
    {InputKind::RightDown, InputKind::RightUp, KindRightClick, KindRightDown, KindRightUp},
    {InputKind::MiddleDown, InputKind::MiddleUp, KindMiddleClick, KindMiddleDown, KindMiddleUp},
    {InputKind::X1Down, InputKind::X1Up, KindX1Click, KindX1Down, KindX1Up},
    {InputKind::X2Down, InputKind::X2Up, KindX2Click, KindX2Down, KindX2Up},
};

const ButtonKinds* ButtonOf(InputKind kind) {
    for (const ButtonKinds& button : kButtons)
        if (kind == button.down || kind == button.up) return &button;
    return nullptr;
}

bool IsButtonDown(const RecordedInput& e) {
    const ButtonKinds* button = ButtonOf(e.kind);
    return button && e.kind == button->down;
}

// The release that ends the press at `down`, when it is the very next event.
bool ReleasedNext(const std::vector<RecordedInput>& events, size_t down) {
    if (down + 1 >= events.size()) return false;
    const RecordedInput& d = events[down];
    const RecordedInput& u = events[down + 1];
    if (d.kind == InputKind::KeyDown) return u.kind == InputKind::KeyUp && u.vk == d.vk;
    if (!IsButtonDown(d)) return false;
    return u.kind == ButtonOf(d.kind)->up && u.x == d.x && u.y == d.y;
}

// The client area's corner of the window in front; (0, 0), the primary
// monitor's, with none in front or before the hook has said.
struct WindowOrigin {
    int32_t x = 0;
    int32_t y = 0;
    bool operator==(const WindowOrigin& o) const { return x == o.x && y == o.y; }
};

// Recorded positions travel in 16 bits; this holds for any two numbers.
int32_t Difference(int32_t a, int32_t b) {
    return static_cast<int32_t>(std::clamp<int64_t>(int64_t{a} - b, INT32_MIN, INT32_MAX));
}

class Converter {
public:
    Converter(const std::vector<RecordedInput>& events, const RecordOptions& options)
        : m_options(options) {
        WindowOrigin origin;
        for (const RecordedInput& e : events) {
            if (e.kind == InputKind::WindowOrigin) origin = {e.x, e.y};
            const bool used = IsKey(e) || ButtonOf(e.kind) || hook::IsWheel(e.kind) ||
                              (e.kind == InputKind::Move && options.mousePath);
            if (!used) continue;
            m_events.push_back(e);
            m_origins.push_back(origin);
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
            PointerTo(i);
            return i + 1;
        }
        if (!IsKey(e)) PointerTo(i);
        if (hook::IsWheel(e.kind)) {
            EmitWheel(e);
            return i + 1;
        }
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
            PointerTo(i);
            return i + 1;
        }
        if (!IsKey(e)) PointerTo(i);
        if (hook::IsWheel(e.kind)) {
            AddWheel(e);
            return i + 1;
        }
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
        if (e.kind == InputKind::KeyDown) return KindKeyPress;
        return ButtonOf(e.kind)->click;
    }

    static int32_t SingleKind(const RecordedInput& e) {
        if (e.kind == InputKind::KeyDown) return KindKeyDown;
        if (e.kind == InputKind::KeyUp) return KindKeyUp;
        const ButtonKinds* button = ButtonOf(e.kind);
        return e.kind == button->down ? button->press : button->release;
    }

    static int32_t WheelKind(const RecordedInput& e) { return e.kind == InputKind::HWheel ? KindHWheel : KindWheel; }

    void EmitWheel(const RecordedInput& e) {
        m_out.push_back(MakeAction(WheelKind(e), e.wheel));
        m_lastPressVk = -1;
    }

    // A turn the same way as the line before, with the pointer where it was,
    // goes into that line: one line per scroll rather than per notch. A turn
    // back is a line of its own, so that what was scrolled to on the way is
    // still scrolled to.
    void AddWheel(const RecordedInput& e) {
        if (!m_out.empty()) {
            ScriptAction& last = m_out.back();
            const int64_t sum = int64_t{last.param1} + e.wheel;
            const bool sameWay = (last.param1 < 0) == (e.wheel < 0);
            if (last.kind == WheelKind(e) && sameWay && sum >= INT32_MIN && sum <= INT32_MAX) {
                last.param1 = static_cast<int32_t>(sum);
                return;
            }
        }
        EmitWheel(e);
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

    void PointerTo(size_t i) {
        const RecordedInput& e = m_events[i];
        const WindowOrigin origin = m_options.windowRelative ? m_origins[i] : WindowOrigin{};
        if (m_havePointer && m_x == e.x && m_y == e.y && m_origin == origin) return;
        if (m_options.windowRelative)
            m_out.push_back(MakeAction(KindMoveIn, Difference(e.x, origin.x), Difference(e.y, origin.y)));
        else
            m_out.push_back(MakeAction(KindMoveTo, e.x, e.y));
        m_havePointer = true;
        m_x = e.x;
        m_y = e.y;
        m_origin = origin;
        m_lastPressVk = -1;
    }

    const RecordOptions& m_options;
    std::vector<RecordedInput> m_events;
    std::vector<WindowOrigin> m_origins;  // of each event
    std::vector<ScriptAction> m_out;
    uint64_t m_startUs = 0;
    uint64_t m_plannedUs = 0;
    bool m_havePointer = false;
    int32_t m_x = 0;
    int32_t m_y = 0;
    WindowOrigin m_origin;
    int m_lastPressVk = -1;
};

}  // namespace

std::vector<ScriptAction> ConvertRecording(const std::vector<RecordedInput>& events, const RecordOptions& options) {
    return Converter(events, options).Run();
}

}  // namespace tarvix
