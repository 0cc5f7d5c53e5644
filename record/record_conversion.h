#pragma once

#include <cstdint>
#include <vector>

#include "recorded_input.h"
#include "script_action.h"

namespace tarvix {

struct RecordOptions {
    bool keepTiming = true;
    bool mousePath = false;
    // Every pointer position as a MoveIn of the client area of the window
    // that was in front (the WindowOrigin before it), rather than a MoveTo.
    bool windowRelative = false;
    // The system's double-click time and the size of the spot two clicks
    // must share to be one double click.
    uint32_t doubleClickMs = 500;
    int32_t doubleClickWidth = 4;
    int32_t doubleClickHeight = 4;
};

// How far a recorded hold may be from the player's own 50 ms for a press and
// its release to become one KeyPress or click.
constexpr uint64_t kHoldToleranceUs = 3000;

// Turns a finished recording (Recording::Finish) into actions of edition
// 1.1, the edition that records. With the timing kept, Delay actions
// reproduce every gap between consecutive events, counting the 50 ms the
// player holds a key or button of a KeyPress or click, and each turn of a
// wheel is a line with its own amount; without it the actions are as compact
// as the kinds allow, and the turns of one wheel one way at one spot add up
// to one line. Pointer samples are used only with the path kept; without it
// a MoveTo goes only before a button or wheel event away from the pointer's
// last place. With windowRelative the pointer goes by MoveIn wherever it
// would go by MoveTo, and also where the place is the same on the screen but
// the window in front is another.
std::vector<ScriptAction> ConvertRecording(const std::vector<hook::RecordedInput>& events,
                                           const RecordOptions& options);

}  // namespace tarvix
