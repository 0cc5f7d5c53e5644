#pragma once

#include <windows.h>

#include <string>

namespace tarvix {

// The maker's home page in the user's web browser. Failures show nothing.
void OpenHomePage(HWND owner);

// The help page index.htm of the help folder next to the program, opened as
// the shell opens .htm files. A missing help folder shows nothing. The
// folder is a path (UTF-8, file_io.h).
void OpenHelp(HWND owner, const std::string& programFolder);

// The mouse messages over a link: the hand shows while the pointer is over
// it, and a left button released over it follows the link. A release over
// the link is one whose message goes to the link and whose point lies within
// it, so a press on the link that is let go elsewhere follows nothing.
bool IsMouseMoveOver(const MSG& msg, HWND link);
bool IsLeftReleaseOver(const MSG& msg, HWND link);

}  // namespace tarvix
