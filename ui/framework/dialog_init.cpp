#include "dialog_init.h"

#include <climits>
#include <cstdint>
#include <cstring>

namespace tarvix::ui {

namespace {

// The data keeps the codes of the 16-bit system for adding a list item;
// they are not the Win32 message numbers.
constexpr WORD kAddListBoxItem = 0x0401;
constexpr WORD kAddComboBoxItem = 0x0403;

std::wstring WideFromUtf8(const char* text, size_t length) {
    if (length == 0 || length > INT_MAX) return std::wstring();
    const int size = static_cast<int>(length);
    const int wideLength = ::MultiByteToWideChar(CP_UTF8, 0, text, size, nullptr, 0);
    if (wideLength <= 0) return std::wstring();
    std::wstring wide(static_cast<size_t>(wideLength), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, text, size, wide.data(), wideLength);
    return wide;
}

}  // namespace

std::vector<DialogInitItem> ParseDialogInit(const void* data, size_t size) {
    std::vector<DialogInitItem> items;
    const auto* bytes = static_cast<const unsigned char*>(data);
    size_t offset = 0;
    // Entries need not be aligned, so every field is copied out.
    while (bytes && size - offset >= sizeof(WORD)) {
        WORD controlId;
        std::memcpy(&controlId, bytes + offset, sizeof(controlId));
        if (controlId == 0) break;
        if (size - offset < 2 * sizeof(WORD) + sizeof(uint32_t)) break;
        WORD code;
        uint32_t length;
        std::memcpy(&code, bytes + offset + sizeof(WORD), sizeof(code));
        std::memcpy(&length, bytes + offset + 2 * sizeof(WORD), sizeof(length));
        offset += 2 * sizeof(WORD) + sizeof(uint32_t);
        if (length > size - offset) break;
        const char* text = reinterpret_cast<const char*>(bytes + offset);
        const void* zero = std::memchr(text, 0, length);
        const size_t textLength = zero ? static_cast<size_t>(static_cast<const char*>(zero) - text) : length;
        items.push_back({controlId, code, WideFromUtf8(text, textLength)});
        offset += length;
    }
    return items;
}

void ApplyDialogInit(HWND dialog, HMODULE module, UINT templateId) {
    const HRSRC found = ::FindResourceW(module, MAKEINTRESOURCEW(templateId),
                                        MAKEINTRESOURCEW(kDialogInitResourceType));
    if (!found) return;
    const HGLOBAL loaded = ::LoadResource(module, found);
    const void* data = loaded ? ::LockResource(loaded) : nullptr;
    if (!data) return;
    for (const DialogInitItem& item : ParseDialogInit(data, ::SizeofResource(module, found))) {
        UINT message;
        if (item.code == kAddComboBoxItem)
            message = CB_ADDSTRING;
        else if (item.code == kAddListBoxItem)
            message = LB_ADDSTRING;
        else
            continue;
        const HWND control = ::GetDlgItem(dialog, item.controlId);
        if (control) ::SendMessageW(control, message, 0, reinterpret_cast<LPARAM>(item.text.c_str()));
    }
}

}  // namespace tarvix::ui
