#pragma once

// Where a window's client area begins on the virtual desktop, shared by
// playback, the hook and the capture dialog so that a point recorded by one
// is played to the same pixel by the other.

#include <windows.h>

namespace tarvix::win32 {

// The top-left corner of the client area of the window in front, in
// physical pixels (the programs are per-monitor aware); false when no window
// is in front or it is minimised, which has no client area on any monitor.
inline bool ClientOriginOf(HWND window, POINT& corner) {
    if (!window || ::IsIconic(window)) return false;
    corner = POINT{0, 0};
    return ::ClientToScreen(window, &corner) != FALSE;
}

inline bool ForegroundClientOrigin(POINT& corner) { return ClientOriginOf(::GetForegroundWindow(), corner); }

}  // namespace tarvix::win32
