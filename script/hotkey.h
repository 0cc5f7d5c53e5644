#pragma once

#include <cstdint>

namespace tarvix {

// Modifier bits as the system hotkey control reports them, and as script
// files and tarvix.ini store them.
enum HotkeyModifier : uint16_t {
    ModShift = 1,
    ModCtrl = 2,
    ModAlt = 4,
    ModExtended = 8,  // the key is one of the extended keys; no modifier
};

// The bits of keys a user holds down.
constexpr uint16_t kHeldModifierBits = ModShift | ModCtrl | ModAlt;

struct Hotkey {
    uint16_t vk = 0;
    uint16_t mods = 0;
};

// The stop hotkey until the user chooses another: Ctrl+Shift+A.
inline constexpr Hotkey kDefaultStopHotkey = {0x41, ModCtrl | ModShift};

}  // namespace tarvix
