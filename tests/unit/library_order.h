#pragma once

#include <string>

#include "key_names.h"
#include "script_library.h"

namespace tarvix::testing {

// The list's order as the tests see it: the hotkey texts' bytes.
inline ScriptLibrary::RowOrder HotkeyTextOrder() {
    return [](const CScript& a, const CScript& b) {
        return HotkeyText(a.m_beginHotkey, a.m_beginHotkeyMod) < HotkeyText(b.m_beginHotkey, b.m_beginHotkeyMod);
    };
}

inline std::unique_ptr<CScript> Record(uint16_t vk, uint16_t mods, std::string name) {
    auto script = std::make_unique<CScript>(Edition::V11);
    script->m_beginHotkey = vk;
    script->m_beginHotkeyMod = mods;
    script->m_fileName = std::move(name);
    return script;
}

}  // namespace tarvix::testing
