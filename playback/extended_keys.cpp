#include "extended_keys.h"

namespace tarvix {

bool HasExtendedForm(uint8_t vk) {
    switch (vk) {
        case 0x03:  // Break (Ctrl+Pause)
        case 0x21: case 0x22: case 0x23: case 0x24:  // Page Up, Page Down, End, Home
        case 0x25: case 0x26: case 0x27: case 0x28:  // the arrows
        case 0x2C: case 0x2D: case 0x2E:  // Print Screen, Insert, Delete
        case 0x5B: case 0x5C: case 0x5D: case 0x5F:  // left and right Windows, Apps, Sleep
        case 0x6F:  // keypad Divide
        case 0x90:  // NumLock
        case 0xA3: case 0xA5:  // right Ctrl, right Alt
            return true;
        default:
            // Browser, volume, media and launch keys.
            return vk >= 0xA6 && vk <= 0xB7;
    }
}

uint16_t KeyScanCode(uint8_t vk, uint16_t layoutScan) {
    if (!HasExtendedForm(vk)) return layoutScan;
    return static_cast<uint16_t>(kExtendedPrefix | (layoutScan & 0xFF));
}

}  // namespace tarvix
