#pragma once

#include <windows.h>

#include <string>

namespace tarvix::ui {

// A message box captioned with the program's name, as all of the program's
// questions and warnings are.
int AppMessageBox(HWND owner, const std::wstring& text, UINT type);

}  // namespace tarvix::ui
