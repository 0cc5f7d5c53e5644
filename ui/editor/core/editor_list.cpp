#include "editor_list.h"

namespace tarvix {

namespace {

EditorList::Row MakeRow(const ScriptAction& action, const RowTexts& texts) {
    return {texts, RowColor(action.category)};
}

}  // namespace

EditorList::EditorList() {
    m_actions.push_back(ScriptAction::EndMarker());
    m_rows.push_back(MakeRow(m_actions.back(), {}));
}

EditorList::EditorList(const std::list<ScriptAction>& actions, const KindNames& names, std::string_view unit) {
    for (const ScriptAction& action : actions) {
        // Anything after the end marker is not part of the script.
        if (action.kind == KindEndMarker) break;
        m_actions.push_back(action);
        m_rows.push_back(MakeRow(action, ListedRowTexts(action, names, unit)));
    }
    m_actions.push_back(ScriptAction::EndMarker());
    m_rows.push_back(MakeRow(m_actions.back(), {}));
    m_insertPos = static_cast<int>(EndRow());
}

size_t EditorList::Insert(const ScriptAction& action, const RowTexts& texts) {
    const int at = m_insertPos;
    ++m_insertPos;
    // An insertion point off the list puts the action at the head, and its
    // row with it: the rows always show the actions one to one.
    const size_t index = at >= 0 && static_cast<size_t>(at) < m_actions.size() ? static_cast<size_t>(at) : 0;
    m_actions.insert(m_actions.begin() + static_cast<std::ptrdiff_t>(index), action);
    m_rows.insert(m_rows.begin() + static_cast<std::ptrdiff_t>(index), MakeRow(action, texts));
    return index;
}

void EditorList::Select(int row) {
    m_insertPos = row >= 0 && static_cast<size_t>(row) < m_actions.size() ? row : 0;
}

bool EditorList::CanDelete(int selected) const {
    return selected >= 0 && static_cast<size_t>(selected) < EndRow();
}

bool EditorList::CanMoveUp(int selected) const { return CanDelete(selected) && selected > 0; }

bool EditorList::CanMoveDown(int selected) const {
    return CanDelete(selected) && static_cast<size_t>(selected) + 1 < EndRow();
}

int EditorList::Delete(int selected) {
    if (!CanDelete(selected)) return -1;
    m_actions.erase(m_actions.begin() + selected);
    m_rows.erase(m_rows.begin() + selected);
    // The row that followed, perhaps the end marker, is selected next.
    Select(selected);
    return selected;
}

int EditorList::MoveUp(int selected) {
    if (!CanMoveUp(selected)) return -1;
    std::swap(m_actions[static_cast<size_t>(selected)], m_actions[static_cast<size_t>(selected) - 1]);
    std::swap(m_rows[static_cast<size_t>(selected)], m_rows[static_cast<size_t>(selected) - 1]);
    Select(selected - 1);
    return selected - 1;
}

int EditorList::MoveDown(int selected) {
    if (!CanMoveDown(selected)) return -1;
    std::swap(m_actions[static_cast<size_t>(selected)], m_actions[static_cast<size_t>(selected) + 1]);
    std::swap(m_rows[static_cast<size_t>(selected)], m_rows[static_cast<size_t>(selected) + 1]);
    Select(selected + 1);
    return selected + 1;
}

std::list<ScriptAction> EditorList::TakeActions() const {
    return std::list<ScriptAction>(m_actions.begin(), m_actions.end());
}

}  // namespace tarvix
