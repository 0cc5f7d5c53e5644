#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <unordered_map>
#include <vector>

#include "script.h"

namespace tarvix {

// The program's scripts: it owns the records, keeps them in the order the
// main list shows them, and finds the scripts of one start hotkey without
// looking at any other, so a key that starts nothing costs the same with ten
// scripts or ten thousand.
//
// The order is the list's: ascending by the hotkey column's text as `RowOrder`
// compares it; of rows whose texts compare equal, the one added last comes
// first, as a sorted list control places a new row before its equals. Loading
// counts as adding the files in the order they were found; a modified record
// counts as added anew.
class ScriptLibrary {
public:
    // Whether a's hotkey text sorts before b's; it looks at the start hotkey
    // and its modifiers only, and holds a strict weak order.
    using RowOrder = std::function<bool(const CScript& a, const CScript& b)>;

    explicit ScriptLibrary(RowOrder order);
    ~ScriptLibrary();
    ScriptLibrary(const ScriptLibrary&) = delete;
    ScriptLibrary& operator=(const ScriptLibrary&) = delete;

    size_t size() const { return m_rows.size(); }
    const CScript& operator[](size_t row) const { return *m_rows[row].script; }

    // Adds records in the order given: the same rows as adding them one by
    // one, in O(n log n) rather than a shift of the rows for each.
    void AddAll(std::vector<std::unique_ptr<CScript>> scripts);
    // Returns the row the record landed at.
    size_t Add(std::unique_ptr<CScript> script);
    // The record of `row` takes the content of `edited` (its address stays)
    // and moves to where its hotkey now sorts. Returns its new row.
    size_t Replace(size_t row, CScript edited);
    void SetEnabled(size_t row, bool enabled);
    // Removes and frees the records of the rows named, in any order; rows
    // out of range and repeats are ignored. One pass over the rows however
    // many go.
    void Remove(const std::vector<size_t>& rows);

    // The scripts whose start hotkey is vk with exactly the Alt, Ctrl and
    // Shift bits of mods (other bits are not looked at), in list order,
    // valid or not.
    std::vector<const CScript*> ScriptsOn(uint16_t vk, uint16_t mods) const;
    // Whether any script starts on vk, with whatever modifiers.
    bool UsesKey(uint16_t vk) const;

private:
    struct Row {
        std::unique_ptr<CScript> script;
        uint64_t serial;  // higher: added later
    };

    size_t InsertRow(Row row);
    void IndexFront(CScript* script);
    void Unindex(const CScript* script);
    void RebuildIndex();

    RowOrder m_order;
    std::vector<Row> m_rows;
    uint64_t m_nextSerial = 0;
    // Start hotkey (key and Alt/Ctrl/Shift bits) to its scripts in list order.
    std::unordered_map<uint32_t, std::vector<CScript*>> m_byHotkey;
    // Start key to the number of scripts on it.
    std::unordered_map<uint16_t, size_t> m_keyUses;
};

}  // namespace tarvix
