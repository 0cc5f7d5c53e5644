// The main window's script list: an owner-data list view whose rows are the
// library's, asked for at paint time, so ten thousand scripts cost no more
// list memory or start-up than ten. The list keeps selection and focus by row
// number; they follow their records here whenever rows come, go or move.
#include <algorithm>
#include <cwchar>
#include <unordered_set>

#include "macro_dlg.h"

namespace tarvix {

void CMacroDlg::AddScriptRow(std::unique_ptr<CScript> script) {
    if (!script) return;
    const RowMarks marks = SaveRowMarks();
    m_library.Add(std::move(script));
    ShowRows(marks);
}

CMacroDlg::RowMarks CMacroDlg::SaveRowMarks(const std::vector<size_t>& leaving) const {
    RowMarks marks;
    for (int row : m_scriptList.SelectedItems()) {
        const auto index = static_cast<size_t>(row);
        if (index < m_library.size() && !std::binary_search(leaving.begin(), leaving.end(), index))
            marks.selected.push_back(&m_library[index]);
    }
    marks.focused = MarkAfterLeaving(m_scriptList.GetFocusedItem(), leaving);
    marks.selectionMark = MarkAfterLeaving(m_scriptList.GetSelectionMark(), leaving);
    return marks;
}

const CScript* CMacroDlg::MarkAfterLeaving(int row, const std::vector<size_t>& leaving) const {
    // A deleted row's mark stays at its row number, which then shows the
    // next row, or the last row when none follows.
    if (row < 0 || static_cast<size_t>(row) >= m_library.size()) return nullptr;
    auto stays = [&leaving](size_t index) { return !std::binary_search(leaving.begin(), leaving.end(), index); };
    for (size_t index = static_cast<size_t>(row); index < m_library.size(); ++index)
        if (stays(index)) return &m_library[index];
    for (size_t index = static_cast<size_t>(row); index-- > 0;)
        if (stays(index)) return &m_library[index];
    return nullptr;
}

void CMacroDlg::ShowRows(const RowMarks& marks) {
    // Cleared before the count changes: the list would otherwise scroll to
    // the row number that had the focus, whatever it shows now.
    m_scriptList.ClearSelectionAndFocus();
    m_scriptList.SetItemCount(static_cast<int>(m_library.size()));
    int selectionMark = -1;
    const bool anyMark = !marks.selected.empty() || marks.focused || marks.selectionMark;
    const std::unordered_set<const CScript*> selected(marks.selected.begin(), marks.selected.end());
    for (size_t row = 0; anyMark && row < m_library.size(); ++row) {
        const CScript* script = &m_library[row];
        if (selected.count(script)) m_scriptList.SetItemSelected(static_cast<int>(row), true);
        if (script == marks.focused) m_scriptList.SetItemFocused(static_cast<int>(row));
        if (script == marks.selectionMark) selectionMark = static_cast<int>(row);
    }
    m_scriptList.SetSelectionMark(selectionMark);
}

LRESULT CMacroDlg::OnScriptListGetDispInfo(NMHDR* header) {
    LVITEMW& item = reinterpret_cast<NMLVDISPINFOW*>(header)->item;
    if (!(item.mask & LVIF_TEXT) || !item.pszText || item.cchTextMax <= 0) return 0;
    if (item.iItem < 0 || static_cast<size_t>(item.iItem) >= m_library.size()) {
        item.pszText[0] = L'\0';
        return 0;
    }
    // Copied into the list's own buffer: a text handed out by pointer would
    // have to outlive this call.
    const std::wstring text = m_rowTexts.Text(m_library[static_cast<size_t>(item.iItem)], item.iSubItem);
    const size_t length = std::min(text.size(), static_cast<size_t>(item.cchTextMax) - 1);
    std::wmemcpy(item.pszText, text.data(), length);
    item.pszText[length] = L'\0';
    return 0;
}

LRESULT CMacroDlg::OnScriptListFindItem(NMHDR* header) {
    // The list's search as the user types: the next row from iStart whose
    // hotkey begins with what was typed, as a list that holds its texts finds it.
    const auto& find = *reinterpret_cast<NMLVFINDITEMW*>(header);
    const LVFINDINFOW& info = find.lvfi;
    const size_t count = m_library.size();
    if (!(info.flags & (LVFI_STRING | LVFI_PARTIAL)) || !info.psz || count == 0) return -1;
    const std::wstring wanted(info.psz);
    const size_t start = find.iStart < 0 || static_cast<size_t>(find.iStart) >= count ? 0 : static_cast<size_t>(find.iStart);
    const size_t end = (info.flags & LVFI_WRAP) ? start + count : count;
    for (size_t i = start; i < end; ++i) {
        const CScript& script = m_library[i % count];
        const bool found = (info.flags & LVFI_PARTIAL) ? m_rowTexts.HotkeyStartsWith(script, wanted)
                                                        : m_rowTexts.HotkeyEquals(script, wanted);
        if (found) return static_cast<LRESULT>(i % count);
    }
    return -1;
}

}  // namespace tarvix
