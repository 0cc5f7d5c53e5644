#include "script_rows.h"

#include <windows.h>

#include <cwchar>

#include "key_names.h"
#include "text.h"

namespace tarvix {

namespace {

constexpr wchar_t kValidMark[] = L"\u221A";  // √

}  // namespace

const std::wstring& ScriptRowTexts::HotkeyText(const CScript& script) {
    const uint32_t key = script.m_beginHotkey | static_cast<uint32_t>(script.m_beginHotkeyMod) << 16;
    auto found = m_hotkeyTexts.find(key);
    if (found == m_hotkeyTexts.end())
        found = m_hotkeyTexts
                    .emplace(key, ui::WideFromBig5(tarvix::HotkeyText(script.m_beginHotkey, script.m_beginHotkeyMod)))
                    .first;
    return found->second;
}

std::wstring ScriptRowTexts::Text(const CScript& script, int column) {
    switch (column) {
    case Hotkey:
        return HotkeyText(script);
    case Valid:
        return script.m_enabled ? kValidMark : L"";
    case Description:
        return ui::WideFromBig5(script.m_description);
    case FileName:
        return ui::WideFromBig5(script.m_fileName);
    default:
        return std::wstring();
    }
}

bool ScriptRowTexts::Before(const CScript& a, const CScript& b) {
    const std::wstring& textA = HotkeyText(a);
    const std::wstring& textB = HotkeyText(b);
    return ::CompareStringW(LOCALE_USER_DEFAULT, 0, textA.c_str(), -1, textB.c_str(), -1) == CSTR_LESS_THAN;
}

bool ScriptRowTexts::HotkeyStartsWith(const CScript& script, const std::wstring& prefix) {
    const std::wstring& text = HotkeyText(script);
    return prefix.size() <= text.size() && ::_wcsnicmp(text.c_str(), prefix.c_str(), prefix.size()) == 0;
}

bool ScriptRowTexts::HotkeyEquals(const CScript& script, const std::wstring& text) {
    const std::wstring& own = HotkeyText(script);
    return own.size() == text.size() && ::_wcsnicmp(own.c_str(), text.c_str(), text.size()) == 0;
}

}  // namespace tarvix
