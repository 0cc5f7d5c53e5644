#pragma once

#include <windows.h>

#include <string>

#include "window.h"

namespace tarvix {

// The platform's web browser control in a child window of the main window.
// atl.dll's "AtlAxWin" window hosts it (the program has no control container
// of its own); atl.dll is looked for at run time, so where it or the control
// is missing there is simply no browser and Create says so.
//
// Like the dialog's other controls, the window is the dialog's: it goes when
// the dialog goes. Needs COM initialised on the calling thread.
class CWebBrowser2 : public ui::Window {
public:
    // Creates the host and the control in it; false, with nothing left
    // behind, when either cannot be made.
    bool Create(DWORD style, const RECT& rect, HWND parent, UINT id);

    // Starts loading the page; it loads on whether the window is seen or not.
    bool Navigate(const std::wstring& url) const;
};

}  // namespace tarvix
