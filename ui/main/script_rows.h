#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>

#include "script.h"

namespace tarvix {

// What a row of the main list shows of its record, and the order of the
// rows. The list asks for the texts of every cell it paints, and the order
// compares hotkey texts at every insertion, so each hotkey's text is made
// once.
class ScriptRowTexts {
public:
    enum Column { Hotkey = 0, Valid = 1, Description = 2, FileName = 3 };

    std::wstring Text(const CScript& script, int column);
    const std::wstring& HotkeyText(const CScript& script);
    // Whether a's row sorts above b's: the hotkey texts as the user's locale
    // compares them, the comparison the sorted list control made.
    bool Before(const CScript& a, const CScript& b);
    // Whether the row's hotkey text begins with `prefix`, case not counted:
    // the list's search as the user types.
    bool HotkeyStartsWith(const CScript& script, const std::wstring& prefix);
    bool HotkeyEquals(const CScript& script, const std::wstring& text);

private:
    std::unordered_map<uint32_t, std::wstring> m_hotkeyTexts;
};

}  // namespace tarvix
