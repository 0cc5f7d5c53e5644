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
};

}  // namespace tarvix::ui
