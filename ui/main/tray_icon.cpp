#include "tray_icon.h"

#include <algorithm>
#include <cstring>

namespace tarvix {

namespace {

// The record sizes the shell knows the two forms by. They follow from the
// layout of the record on each platform: 88 and 488 bytes for 32-bit
// programs, more for 64-bit ones, where the window and icon handles are
// 8 bytes wide and padded.
constexpr DWORD kOldestSize = NOTIFYICONDATAA_V1_SIZE;
constexpr DWORD kLongTipSize = NOTIFYICONDATAA_V2_SIZE;
static_assert(kOldestSize == offsetof(NOTIFYICONDATAA, szTip) + 64);
static_assert(kLongTipSize == offsetof(NOTIFYICONDATAA, guidItem));
#if !defined(_WIN64)
static_assert(kOldestSize == 88 && kLongTipSize == 488);
#endif

constexpr size_t kTipBytes = 64;

// How many bytes of the tip fit: at most 64, one less than the tip buffer of
// the form in use, and never the lead byte of a character without its
// trail byte.
size_t TipLength(std::string_view tip, size_t buffer) {
    const size_t limit = std::min(kTipBytes, buffer - 1);
    size_t length = 0;
    while (length < tip.size()) {
        const size_t step = ::IsDBCSLeadByte(static_cast<BYTE>(tip[length])) ? 2 : 1;
        if (length + step > limit || length + step > tip.size()) break;
        length += step;
    }
    return length;
}

}  // namespace

NOTIFYICONDATAA MakeTrayIconData(HWND window, HICON icon, std::string_view tip, TrayRecordForm form) {
    const bool oldestForm = form == TrayRecordForm::Oldest;
    NOTIFYICONDATAA data{};
    data.cbSize = oldestForm ? kOldestSize : kLongTipSize;
    data.hWnd = window;
    data.uID = kTrayIconId;
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = WM_TRAYNOTIFY;
    data.hIcon = icon;
    const size_t buffer = oldestForm ? kTipBytes : sizeof(data.szTip);
    std::memcpy(data.szTip, tip.data(), TipLength(tip, buffer));
    return data;
}

UINT TaskbarCreatedMessage() {
    const UINT message = ::RegisterWindowMessageW(L"TaskbarCreated");
    // Registered messages are 0xC000 to 0xFFFF; this one no window receives.
    return message ? message : 0xFFFFFFFFu;
}

}  // namespace tarvix
