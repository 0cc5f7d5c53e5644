#pragma once

#include <cstdint>
#include <string>

namespace tarvix {

// Modifier bits as the system hotkey control reports them.
enum HotkeyModifier : uint16_t {
    ModShift = 1,
    ModCtrl = 2,
    ModAlt = 4,
    ModExtended = 8,
};

// The display name of a virtual-key code (low 16 bits used), e.g. "<F5>".
std::string KeyName(int32_t code);

// The display text of a hotkey, modifiers always as Ctrl+, Alt+, Shift+.
std::string HotkeyText(uint16_t vk, uint16_t mods);

// The key-name table as one text of "0x%x" code lines, each followed by its
// name line.
const std::string& KeyNameTable();

}  // namespace tarvix
