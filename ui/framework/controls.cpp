#include "controls.h"

namespace tarvix::ui {

void HotkeyControl::SetHotkey(uint16_t vk, uint16_t mods) const {
    // The control holds one byte of each: the key in the low byte of the
    // message's word, the modifiers in the high byte.
    Send(HKM_SETHOTKEY, MAKEWORD(static_cast<BYTE>(vk), static_cast<BYTE>(mods)));
}

void HotkeyControl::GetHotkey(uint16_t& vk, uint16_t& mods) const {
    const WORD hotkey = LOWORD(Send(HKM_GETHOTKEY));
    vk = LOBYTE(hotkey);
    mods = HIBYTE(hotkey);
}

void HotkeyControl::SetRules(WORD invalidCombinations, WORD replacement) const {
    Send(HKM_SETRULES, invalidCombinations, MAKELPARAM(replacement, 0));
}

void SpinControl::SetBuddy(HWND buddy) const { Send(UDM_SETBUDDY, reinterpret_cast<WPARAM>(buddy)); }

void SpinControl::SetRange(int lower, int upper) const {
    Send(UDM_SETRANGE32, static_cast<WPARAM>(lower), static_cast<LPARAM>(upper));
}

void ComboBox::ResetContent() const { Send(CB_RESETCONTENT); }

int ComboBox::AddString(const std::wstring& text) const {
    return static_cast<int>(Send(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str())));
}

int ComboBox::GetCurSel() const { return static_cast<int>(Send(CB_GETCURSEL)); }

void ComboBox::SetCurSel(int index) const { Send(CB_SETCURSEL, static_cast<WPARAM>(index)); }

int ComboBox::GetCount() const { return static_cast<int>(Send(CB_GETCOUNT)); }

}  // namespace tarvix::ui
