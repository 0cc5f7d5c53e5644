#pragma once

#include <cstddef>
#include <list>
#include <vector>

#include "row_texts.h"
#include "script_action.h"

namespace tarvix {

// The editor's working copy of a script's action list and the rows that show
// it, kept one to one: row i shows action i, and the last row is the end
// marker's empty row. The record itself is changed only when the user
// confirms the editor (TakeActions), so Cancel loses nothing.
//
// The insertion point is the row in front of which the next inserted action
// goes. It starts on the end marker, follows the selected row, and moves on
// by one with each insertion, so a series of insertions lands in order in
// front of the same row.
class EditorList {
public:
    struct Row {
        RowTexts texts;
        uint32_t color = 0;
    };

    // A new script: only the end marker, the insertion point on it.
    EditorList();
    // An existing script's actions, with the rows an opened script shows;
    // the insertion point on the end marker. A list without an end marker
    // gets one.
    EditorList(const std::list<ScriptAction>& actions, const KindNames& names, std::string_view unit);

    size_t size() const { return m_actions.size(); }
    const ScriptAction& action(size_t i) const { return m_actions[i]; }
    const Row& row(size_t i) const { return m_rows[i]; }
    size_t EndRow() const { return m_actions.size() - 1; }
    // Whether the list holds any action besides the end marker.
    bool HasActions() const { return m_actions.size() > 1; }
    int insertionPoint() const { return m_insertPos; }

    // Inserts in front of the insertion point and moves the point on by one.
    // Returns the index of the new row.
    size_t Insert(const ScriptAction& action, const RowTexts& texts);

    // The list view's selection changed: the selected row, or -1 for none,
    // which sends the next insertion to the top of the list.
    void Select(int row);

    // Whether Delete, Up and Down act on the selected row (-1 for none).
    bool CanDelete(int selected) const;
    bool CanMoveUp(int selected) const;
    bool CanMoveDown(int selected) const;
    // Each returns the row to select afterwards, or -1 when nothing changed.
    // The moved or following row is selected, and the insertion point goes
    // there with the selection.
    int Delete(int selected);
    int MoveUp(int selected);
    int MoveDown(int selected);

    // The actions for the record, the end marker last.
    std::list<ScriptAction> TakeActions() const;

private:
    std::vector<ScriptAction> m_actions;
    std::vector<Row> m_rows;
    int m_insertPos = 0;
};

}  // namespace tarvix
