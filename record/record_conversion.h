#pragma once

#include <cstdint>
#include <vector>

#include "recorded_input.h"
#include "script_action.h"

namespace tarvix {

struct RecordOptions {
    bool keepTiming = true;
    bool mousePath = false;
    // The system's double-click time and the size of the spot two clicks
    // must share to be one double click.
    uint32_t doubleClickMs = 500;
    int32_t doubleClickWidth = 4;
    int32_t doubleClickHeight = 4;
};

// How far a recorded hold may be from the player's own 50 ms for a press and
// its release to become one KeyPress or click.
constexpr uint64_t kHoldToleranceUs = 3000;

// Turns a finished recording (Recording::Finish) into actions of kinds both
// editions have. With the timing kept, Delay actions reproduce every gap
// between consecutive events, counting the 50 ms the player holds a key or
// button of a KeyPress or click; without it the actions are as compact as
// the kinds allow. Pointer samples are used only with the path kept;
// without it a MoveTo goes only before a button event away from the
// pointer's last place.
std::vector<ScriptAction> ConvertRecording(const std::vector<hook::RecordedInput>& events,
                                           const RecordOptions& options);

}  // namespace tarvix
