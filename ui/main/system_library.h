#pragma once

#include <windows.h>

namespace tarvix {

// A library of the system folder, by file name, never one of the same name
// in the program folder or the current one; null when it is not there. It
// stays loaded for the life of the process: what it hands out (window
// procedures, objects) may be in use until the end.
HMODULE LoadSystemLibrary(const wchar_t* fileName);

}  // namespace tarvix
