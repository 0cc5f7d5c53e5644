#pragma once

#include <cstdint>

namespace tarvix {

// How often a script's actions play, as [Repeat] Type stores it.
enum RepeatType : uint16_t {
    RepeatCount = 0,      // Number passes
    RepeatUntilStop = 1,  // until the stop hotkey
    RepeatSeconds = 2,    // until Number whole seconds have passed
};

}  // namespace tarvix
