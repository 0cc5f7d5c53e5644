#pragma once

#include <windows.h>

#include <cstddef>
#include <string>
#include <vector>

namespace tarvix::ui {

// Resource type of a dialog template's initialisation data, stored under the
// template's own id.
constexpr WORD kDialogInitResourceType = 240;

// One entry of the data: the control it is for, the data's code for what to
// do with it, and its text.
struct DialogInitItem {
    WORD controlId;
    WORD code;
    std::wstring text;
};

// The entries of initialisation data laid out as dialog editors write it:
// per entry a WORD control id, a WORD code, a DWORD length and that many
// bytes of UTF-8 text (cut at its first zero byte); a zero control id ends
// the data. An entry that runs past the end of the block is dropped with
// everything after it.
std::vector<DialogInitItem> ParseDialogInit(const void* data, size_t size);

// Adds the items the data names to the controls of `dialog`: combo box and
// list box items, in the order given. Entries for a control the dialog
// lacks, or with another code, are skipped. Does nothing when `module`
// holds no such data for the template.
void ApplyDialogInit(HWND dialog, HMODULE module, UINT templateId);

}  // namespace tarvix::ui
