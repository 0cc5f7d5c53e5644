#include "tray_icon.h"

#include <algorithm>
#include <cstring>

namespace tarvix {

namespace {

// The record sizes the shell knows the two forms by. They follow from the
// layout of the record on each platform: 152 and 936 bytes for 32-bit
// programs, more for 64-bit ones, where the window and icon handles are
// 8 bytes wide and padded.
constexpr DWORD kOldestSize = NOTIFYICONDATAW_V1_SIZE;
constexpr DWORD kLongTipSize = NOTIFYICONDATAW_V2_SIZE;
static_assert(kOldestSize == offsetof(NOTIFYICONDATAW, szTip) + 64 * sizeof(wchar_t));
static_assert(kLongTipSize == offsetof(NOTIFYICONDATAW, guidItem));
#if !defined(_WIN64)
static_assert(kOldestSize == 152 && kLongTipSize == 936);
#endif

constexpr size_t kTipChars = 64;

bool IsHighSurrogate(wchar_t c) { return c >= 0xD800 && c <= 0xDBFF; }

// How many characters of the tip fit, its terminator left room: never the
// first half of a surrogate pair without its second.
size_t TipLength(std::wstring_view tip) {
    size_t length = std::min(tip.size(), kTipChars - 1);
    if (length > 0 && length < tip.size() && IsHighSurrogate(tip[length - 1])) --length;
    return length;
}

}  // namespace

NOTIFYICONDATAW MakeTrayIconData(HWND window, HICON icon, std::wstring_view tip, TrayRecordForm form) {
    const bool oldestForm = form == TrayRecordForm::Oldest;
    NOTIFYICONDATAW data{};
    data.cbSize = oldestForm ? kOldestSize : kLongTipSize;
    data.hWnd = window;
    data.uID = kTrayIconId;
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = WM_TRAYNOTIFY;
    data.hIcon = icon;
    std::memcpy(data.szTip, tip.data(), TipLength(tip) * sizeof(wchar_t));
    return data;
}

UINT TaskbarCreatedMessage() {
    const UINT message = ::RegisterWindowMessageW(L"TaskbarCreated");
    // Registered messages are 0xC000 to 0xFFFF; this one no window receives.
    return message ? message : 0xFFFFFFFFu;
}

}  // namespace tarvix
