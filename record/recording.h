#pragma once

#include <bitset>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "hotkey.h"
#include "recorded_input.h"

namespace tarvix {

using hook::InputKind;
using hook::RecordedInput;

// What a script cannot hold, counted so that the user hears of it.
struct LeftOutInput {
    uint32_t otherSideButtons = 0;  // presses of side buttons after the second
    uint32_t Total() const { return otherSideButtons; }
};

// One recording in progress: takes the reported events in order and keeps
// what a script should replay. Auto-repeats are one key-down; keys held when
// recording started are not recorded, nor releases of anything whose press it
// never saw; the keys of the stop chord are left out; the pointer's path, when
// it is kept, is thinned to at most one sample per 10 ms and only changes.
// Keys held at the start are given as the system's key state has them: Shift,
// Ctrl and Alt both by their generic codes and by their sided ones, while
// the hook reports only the sided ones.
// Where the hook reports the window in front, a pointer event kept goes after
// the origin it happened with, whenever that differs from the one kept last.
class Recording {
public:
    static constexpr size_t kMaxEvents = 100000;
    static constexpr uint64_t kPathSampleUs = 10000;

    enum class Outcome { Going, Stopped, Full };

    Recording(Hotkey stop, const std::vector<uint8_t>& keysDownAtStart, bool keepPath);

    // Takes one event; once Stopped or Full, every later event is ignored.
    Outcome Add(const RecordedInput& input);

    // The user clicked the program's notification icon, the way out that
    // needs no key, and the pointer is now at x, y: the recording stops as
    // with the stop chord, without that click where it was reported.
    void StopByIconClick(int32_t x, int32_t y);
    // How far from the pointer the click on the icon may have been reported:
    // the size of a notification icon at twice the normal scale.
    static constexpr int32_t kIconSlackPx = 32;

    // The events kept, with a release added for every key and button still
    // held at the end (the user's, not the stop chord's), last pressed first,
    // so that a replay leaves nothing pressed and undoes a chord as a hand
    // would (a Ctrl-drag drops before Ctrl goes up).
    std::vector<RecordedInput> Finish();

    const LeftOutInput& leftOut() const { return m_leftOut; }
    // Whether the hooks lost input while recording, so that the recording
    // may lack some of what the user did.
    bool inputMissed() const { return m_inputMissed; }
    Outcome outcome() const { return m_outcome; }

private:
    void AddKey(const RecordedInput& input);
    void AddButton(const RecordedInput& input, bool up);
    void AddWheel(const RecordedInput& input);
    void AddMove(const RecordedInput& input);
    void Keep(const RecordedInput& input);
    void KeepPointer(const RecordedInput& input, const RecordedInput& origin);
    void FlushPendingMove(uint64_t beforeUs);
    bool StopChordPressed(uint8_t vk) const;
    bool ModifierHeld(uint16_t bit) const;
    bool IsChordKey(uint8_t vk) const;
    void DropStopChord();
    void Stop(uint64_t timeUs);
    void Release(const RecordedInput& press);

    Hotkey m_stop;  // the stop hotkey, whose chord is left out
    bool m_keepPath;
    std::bitset<256> m_heldAtStart;  // not recorded until released
    std::bitset<256> m_held;         // pressed while recording
    // The presses of keys and buttons still held, in the order they came.
    std::vector<RecordedInput> m_down;
    std::vector<RecordedInput> m_events;
    std::optional<RecordedInput> m_lastMove;     // the last path sample kept
    std::optional<RecordedInput> m_pendingMove;  // a later one, too soon to keep yet
    RecordedInput m_origin;                      // the window origin reported last
    RecordedInput m_pendingOrigin;               // the one the pending sample happened with
    std::optional<RecordedInput> m_keptOrigin;   // the one kept last
    LeftOutInput m_leftOut;
    bool m_inputMissed = false;
    Outcome m_outcome = Outcome::Going;
    uint64_t m_endUs = 0;
};

// The key a script names for a sided modifier: Shift of either side and left
// Ctrl and Alt are the generic keys, whose names a row shows; right Ctrl and
// right Alt keep their own codes (0xA3, 0xA5).
uint8_t ScriptKeyOf(uint8_t vk);

}  // namespace tarvix
