#pragma once

#include <cstdint>

namespace tarvix {

// A script's playback speed, in whole percent: its Delays last 100 / speed
// times their milliseconds. Files without one play at 100.
constexpr uint32_t kNormalSpeed = 100;
constexpr uint32_t kMinSpeed = 10;
constexpr uint32_t kMaxSpeed = 1000;

constexpr bool IsValidSpeed(int64_t percent) {
    return percent >= int64_t{kMinSpeed} && percent <= int64_t{kMaxSpeed};
}

}  // namespace tarvix
