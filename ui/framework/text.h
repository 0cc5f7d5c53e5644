#pragma once

#include <string>
#include <string_view>

#include "wide_text.h"

namespace tarvix::ui {

// The model keeps its texts as Big5 bytes (code page 950) whatever the
// system's code page, as files hold them; the windows speak UTF-16. Every
// text that goes from the model into a window or back passes these, which
// are the model's own conversions (wide_text.h), never the system's narrow
// "A" functions or CP_ACP.
using tarvix::Big5FromWide;
using tarvix::WideFromBig5;

// A string of the program's string table; empty when there is none.
std::wstring ResourceString(unsigned id);

// A string of the string table with its one placeholder (%s, %d or %u) filled
// in with value; a string without one is returned as it stands.
std::wstring ResourceStringWith(unsigned id, const std::wstring& value);

// The program file's name without folder and extension ("tarvix" for
// C:\Tools\tarvix.exe): the caption of the program's message boxes.
std::wstring ApplicationName();

}  // namespace tarvix::ui
