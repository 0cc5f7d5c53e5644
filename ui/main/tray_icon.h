#pragma once

#include <windows.h>
#include <shellapi.h>

#include <string_view>

#include "edition.h"

namespace tarvix {

// The message the notification-area icon sends to the main window; its
// second parameter is the mouse message that happened over the icon.
constexpr UINT WM_TRAYNOTIFY = WM_USER + 100;
constexpr UINT kTrayIconId = 1;

// The record of the main window's notification-area icon, in the form the
// edition hands the shell. Either way at most 64 bytes of the tip are used,
// cut so that no double-byte character is split and the text stays
// terminated.
NOTIFYICONDATAA MakeTrayIconData(HWND window, HICON icon, std::string_view tip, TrayRecordForm form);

// The message the shell broadcasts when its taskbar has been made again (it
// restarted): every notification icon has to be added anew. A number no
// message has when the system cannot give one.
UINT TaskbarCreatedMessage();

}  // namespace tarvix
