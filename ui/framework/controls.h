#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <string>

#include "window.h"

namespace tarvix::ui {

// A hotkey control. The modifier bits are the control's own: 1 Shift,
// 2 Ctrl, 4 Alt, 8 extended key, the bits the scripts store.
class HotkeyControl : public Window {
public:
    void SetHotkey(uint16_t vk, uint16_t mods) const;
    void GetHotkey(uint16_t& vk, uint16_t& mods) const;
    // Modifier combinations (HKCOMB_ bits) the control does not take, and
    // the modifiers it puts in their place.
    void SetRules(WORD invalidCombinations, WORD replacement) const;
};

// An up-down control. Its range binds the arrows only; the buddy may hold
// any text the user types.
class SpinControl : public Window {
public:
    void SetBuddy(HWND buddy) const;
    void SetRange(int lower, int upper) const;
};

// A combo box; indexes are those of its list, -1 (CB_ERR) for none.
class ComboBox : public Window {
public:
    void ResetContent() const;
    // The index the item landed at; negative when it could not be added.
    int AddString(const std::wstring& text) const;
    int GetCurSel() const;
    void SetCurSel(int index) const;
    int GetCount() const;
};

}  // namespace tarvix::ui
