#pragma once

#include <cstdint>

namespace tarvix::hook {

// The extra-info value that marks input the program synthesises itself
// (hook_api.h gives the same value to the Windows side as kTarvixInputTag).
constexpr uint64_t kOwnInputTag = 0x54415256;  // 'TARV'

// One keyboard event as the low-level hook saw it, with nothing of the
// system's structures left in it. It carries more than the hotkey decisions
// read, so that other consumers of the same stream (a recorder wants every
// detail and an exact time) need no change to how events are taken.
struct KeyEvent {
    uint8_t vk = 0;           // virtual-key code
    uint16_t scan = 0;        // hardware scan code
    bool up = false;          // released; a press and its auto-repeats are both downs
    bool extended = false;    // an extended key (right Ctrl, arrows beside the keypad, ...)
    bool injected = false;    // synthesised by some program rather than typed
    uint64_t extraInfo = 0;   // the sender's mark; kOwnInputTag for the program's own input
    uint64_t timeUs = 0;      // when the hook saw it, on a monotonic microsecond clock

    bool IsOwnInput() const { return extraInfo == kOwnInputTag; }
};

// Virtual-key codes the decisions name (the Windows values).
namespace vk {
constexpr uint8_t kControl = 0x11;
constexpr uint8_t kMenu = 0x12;  // Alt
constexpr uint8_t kDigit1 = 0x31;
constexpr uint8_t kNumpad1 = 0x61;
constexpr uint8_t kLeftControl = 0xA2;
constexpr uint8_t kRightControl = 0xA3;
constexpr uint8_t kLeftMenu = 0xA4;
constexpr uint8_t kRightMenu = 0xA5;
}  // namespace vk

}  // namespace tarvix::hook
