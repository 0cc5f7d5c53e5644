#pragma once

#include <cstdint>

namespace tarvix {

// Keys whose keyboard code has the E0 prefix: the navigation block, right
// Ctrl and Alt, keypad Divide, NumLock, the Windows, Apps and media keys.
// Sent without it they arrive as their keypad or left-side twins (Left as
// keypad 4, right Alt as left Alt).
bool HasExtendedForm(uint8_t vk);

// The scan code a key is sent with: the layout's scan code, with the E0
// prefix (0xE000) for a key that has an extended form. The layout alone
// cannot be trusted to give the prefix: some systems drop it even when asked
// for the extended form.
uint16_t KeyScanCode(uint8_t vk, uint16_t layoutScan);

constexpr uint16_t kExtendedPrefix = 0xE000;

}  // namespace tarvix
