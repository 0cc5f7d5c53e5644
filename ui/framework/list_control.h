#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "window.h"

namespace tarvix::ui {

// A report-style list view.
class ListControl : public Window {
public:
    int InsertColumn(int index, const std::wstring& heading, int width) const;
    int GetItemCount() const { return static_cast<int>(Send(LVM_GETITEMCOUNT)); }
    // Returns the index the row landed at (sorted lists place it themselves),
    // -1 when it could not be added.
    int InsertItem(int index, const std::wstring& text) const;
    void SetItemText(int item, int column, const std::wstring& text) const;
    std::wstring GetItemText(int item, int column) const;
    void SetItemData(int item, LPARAM data) const;
    LPARAM GetItemData(int item) const;
    bool DeleteItem(int item) const { return Send(LVM_DELETEITEM, static_cast<WPARAM>(item)) != FALSE; }
    // The selected rows, lowest index first.
    std::vector<int> SelectedItems() const;
    void SetItemSelected(int item, bool selected) const;

    // A list whose rows its owner supplies (owner data): how many it shows.
    // Selection and focus stay on row numbers, not on what the rows show.
    void SetItemCount(int count) const { Send(LVM_SETITEMCOUNT, static_cast<WPARAM>(count), 0); }
    // No row selected or focused.
    void ClearSelectionAndFocus() const;
    int GetFocusedItem() const { return static_cast<int>(Send(LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED)); }
    void SetItemFocused(int item) const;
    // The row a range selected with Shift starts from; -1 for none.
    int GetSelectionMark() const { return static_cast<int>(Send(LVM_GETSELECTIONMARK)); }
    void SetSelectionMark(int item) const { Send(LVM_SETSELECTIONMARK, 0, item); }
};

}  // namespace tarvix::ui
