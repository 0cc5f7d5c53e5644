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

// Sent to the main window while the editor records: wParam the window that
// receives the recording's reports, lParam a const wchar_t* tip saying so,
// for the time of the recording; wParam 0 when it has ended. A press on the
// icon meanwhile does not bring the window back but ends the recording, as
// the stop hotkey does: it posts WM_STOPRECORDING to that window, lParam the
// pointer's place on the screen (x low, y high, signed 16 bits each). It is
// the way out for a user whose stop hotkey cannot be pressed.
constexpr UINT WM_TRAYRECORDING = WM_USER + 101;
constexpr UINT WM_STOPRECORDING = WM_USER + 102;

// The record of the main window's notification-area icon, in its wide form
// so that the tip reads right whatever the system's code page. Edition 1.0
// hands the shell the oldest form of the record, whose tip holds 64
// characters; 1.1 the form with the 128-character tip. Either way at most 63
// characters of the tip are used, cut so that no surrogate pair is split and
// the text stays terminated.
NOTIFYICONDATAW MakeTrayIconData(HWND window, HICON icon, std::wstring_view tip, TrayRecordForm form);

// The message the shell broadcasts when its taskbar has been made again (it
// restarted): every notification icon has to be added anew. A number no
// message has when the system cannot give one.
UINT TaskbarCreatedMessage();

}  // namespace tarvix
