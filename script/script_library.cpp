#include "script_library.h"

#include <algorithm>
#include <utility>

#include "key_names.h"

namespace tarvix {

namespace {

constexpr uint16_t kMatchedModifiers = ModAlt | ModCtrl | ModShift;

uint32_t HotkeyKey(uint16_t vk, uint16_t mods) {
    return static_cast<uint32_t>(vk) | static_cast<uint32_t>(mods & kMatchedModifiers) << 16;
}

uint32_t HotkeyKey(const CScript& script) { return HotkeyKey(script.m_beginHotkey, script.m_beginHotkeyMod); }

// Every modifier bit, as the row's text shows it.
uint32_t FullHotkeyKey(const CScript& script) {
    return static_cast<uint32_t>(script.m_beginHotkey) | static_cast<uint32_t>(script.m_beginHotkeyMod) << 16;
}

}  // namespace

ScriptLibrary::ScriptLibrary(RowOrder order) : m_order(std::move(order)) {}

ScriptLibrary::~ScriptLibrary() = default;

void ScriptLibrary::AddAll(std::vector<std::unique_ptr<CScript>> scripts) {
    m_rows.reserve(m_rows.size() + scripts.size());
    for (auto& script : scripts)
        if (script) m_rows.push_back({std::move(script), m_nextSerial++});
    // The order may be costly (the system's locale comparison) and thousands
    // of rows share a few dozen hotkeys: the hotkeys are put in order once,
    // each gets its place as a number, and the rows are sorted by number.
    std::unordered_map<uint32_t, const CScript*> firstOfHotkey;
    for (const Row& row : m_rows) firstOfHotkey.emplace(FullHotkeyKey(*row.script), row.script.get());
    std::vector<const CScript*> hotkeys;
    hotkeys.reserve(firstOfHotkey.size());
    for (const auto& entry : firstOfHotkey) hotkeys.push_back(entry.second);
    std::sort(hotkeys.begin(), hotkeys.end(), [this](const CScript* a, const CScript* b) { return m_order(*a, *b); });
    std::unordered_map<uint32_t, size_t> place;
    size_t rank = 0;
    for (size_t i = 0; i < hotkeys.size(); ++i) {
        // Texts the order holds equal share a place.
        if (i > 0 && m_order(*hotkeys[i - 1], *hotkeys[i])) ++rank;
        place[FullHotkeyKey(*hotkeys[i])] = rank;
    }
    std::vector<std::pair<size_t, Row>> ranked;
    ranked.reserve(m_rows.size());
    for (Row& row : m_rows) ranked.emplace_back(place[FullHotkeyKey(*row.script)], std::move(row));
    std::sort(ranked.begin(), ranked.end(), [](const auto& a, const auto& b) {
        return a.first != b.first ? a.first < b.first : a.second.serial > b.second.serial;
    });
    for (size_t i = 0; i < ranked.size(); ++i) m_rows[i] = std::move(ranked[i].second);
    RebuildIndex();
}

size_t ScriptLibrary::InsertRow(Row row) {
    // A row added now is the latest of its equals, so it goes before them all.
    const auto at = std::lower_bound(m_rows.begin(), m_rows.end(), row,
                                     [this](const Row& existing, const Row& added) {
                                         return m_order(*existing.script, *added.script);
                                     });
    const auto inserted = m_rows.insert(at, std::move(row));
    IndexFront(inserted->script.get());
    return static_cast<size_t>(inserted - m_rows.begin());
}

size_t ScriptLibrary::Add(std::unique_ptr<CScript> script) {
    if (!script) return m_rows.size();
    return InsertRow({std::move(script), m_nextSerial++});
}

size_t ScriptLibrary::Replace(size_t row, CScript edited) {
    if (row >= m_rows.size()) return m_rows.size();
    Row moved = std::move(m_rows[row]);
    m_rows.erase(m_rows.begin() + static_cast<std::ptrdiff_t>(row));
    Unindex(moved.script.get());
    *moved.script = std::move(edited);
    moved.serial = m_nextSerial++;
    return InsertRow(std::move(moved));
}

void ScriptLibrary::SetEnabled(size_t row, bool enabled) {
    if (row < m_rows.size()) m_rows[row].script->m_enabled = enabled ? 1 : 0;
}

void ScriptLibrary::Remove(const std::vector<size_t>& rows) {
    std::vector<bool> leaving(m_rows.size(), false);
    bool any = false;
    for (size_t row : rows)
        if (row < m_rows.size()) any = leaving[row] = true;
    if (!any) return;
    // One pass over the rows and one over the index, however many rows go:
    // removing them one at a time would shift the rest each time.
    size_t kept = 0;
    for (size_t row = 0; row < m_rows.size(); ++row)
        if (!leaving[row]) m_rows[kept++] = std::move(m_rows[row]);
    m_rows.resize(kept);
    RebuildIndex();
}

std::vector<const CScript*> ScriptLibrary::ScriptsOn(uint16_t vk, uint16_t mods) const {
    const auto found = m_byHotkey.find(HotkeyKey(vk, mods));
    if (found == m_byHotkey.end()) return {};
    return {found->second.begin(), found->second.end()};
}

bool ScriptLibrary::UsesKey(uint16_t vk) const { return m_keyUses.count(vk) != 0; }

void ScriptLibrary::IndexFront(CScript* script) {
    // Within one hotkey every row text is the same, so the newest script of
    // it is also the first of it in the list.
    std::vector<CScript*>& scripts = m_byHotkey[HotkeyKey(*script)];
    scripts.insert(scripts.begin(), script);
    ++m_keyUses[script->m_beginHotkey];
}

void ScriptLibrary::Unindex(const CScript* script) {
    const auto found = m_byHotkey.find(HotkeyKey(*script));
    if (found != m_byHotkey.end()) {
        std::vector<CScript*>& scripts = found->second;
        scripts.erase(std::remove(scripts.begin(), scripts.end(), script), scripts.end());
        if (scripts.empty()) m_byHotkey.erase(found);
    }
    const auto uses = m_keyUses.find(script->m_beginHotkey);
    if (uses != m_keyUses.end() && --uses->second == 0) m_keyUses.erase(uses);
}

void ScriptLibrary::RebuildIndex() {
    m_byHotkey.clear();
    m_keyUses.clear();
    for (const Row& row : m_rows) {
        m_byHotkey[HotkeyKey(*row.script)].push_back(row.script.get());
        ++m_keyUses[row.script->m_beginHotkey];
    }
}

}  // namespace tarvix
