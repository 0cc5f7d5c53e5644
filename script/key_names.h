#pragma once

#include <cstdint>
#include <string>

#include "hotkey.h"

namespace tarvix {

// The display name of a virtual-key code (low 16 bits used), e.g. "<F5>".
std::string KeyName(int32_t code);

// The display text of a hotkey, modifiers always as Ctrl+, Alt+, Shift+.
std::string HotkeyText(uint16_t vk, uint16_t mods);

// The key-name table as one text of "0x%x" code lines, each followed by its
// name line.
const std::string& KeyNameTable();

}  // namespace tarvix
