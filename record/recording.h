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
    uint32_t middle = 0;  // presses of the middle button
    uint32_t extra = 0;   // presses of the side buttons
    uint32_t wheel = 0;   // wheel turns and tilts
    uint32_t Total() const { return middle + extra + wheel; }
};


// One recording in progress: takes the reported events in order and keeps
// what a script should replay. Auto-repeats are one key-down; keys held when
// recording started are not recorded, nor releases of anything whose press it
// never saw; the keys of the stop chord are left out; the pointer's path, when
// it is kept, is thinned to at most one sample per 10 ms and only changes.
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

    // The events kept, with a release added for every key and button still
    // held at the end (the user's, not the stop chord's), so that a replay
    // leaves nothing pressed.
    std::vector<RecordedInput> Finish();

    const LeftOutInput& leftOut() const { return m_leftOut; }
    // Whether the hooks lost input while recording, so that the recording
    // may lack some of what the user did.
    bool inputMissed() const { return m_inputMissed; }
    Outcome outcome() const { return m_outcome; }

private:
    void AddKey(const RecordedInput& input);
    void AddButton(const RecordedInput& input, int button, bool up);
    void AddMove(const RecordedInput& input);
    void Keep(const RecordedInput& input);
    void KeepPointer(const RecordedInput& input, const RecordedInput& origin);
    void FlushPendingMove(uint64_t beforeUs);
    bool StopChordPressed(uint8_t vk) const;
    bool ModifierHeld(uint16_t bit) const;
    bool IsChordKey(uint8_t vk) const;
    void DropStopChord();

    Hotkey m_stop;  // the stop hotkey, whose chord is left out
    bool m_keepPath;
    std::bitset<256> m_heldAtStart;  // not recorded until released
    std::bitset<256> m_held;         // pressed while recording
    bool m_buttonHeld[2] = {false, false};
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

// The key a script names for a sided modifier: Shift, Ctrl and Alt of either
// side are one key to a script, and the names a row shows are theirs.
uint8_t ScriptKeyOf(uint8_t vk);

}  // namespace tarvix
