#pragma once

#include <string>
#include <string_view>

namespace tarvix::ui {

// The model keeps its texts as bytes in the ANSI code page, as files hold
// them; the windows speak UTF-16. These convert at that boundary.
std::wstring WideFromAnsi(std::string_view text);
std::string AnsiFromWide(std::wstring_view text);

// A string of the program's string table; empty when there is none.
std::wstring ResourceString(unsigned id);

// The program file's name without folder and extension ("tarvix" for
// C:\Tools\tarvix.exe): the caption of the program's message boxes.
std::wstring ApplicationName();

}  // namespace tarvix::ui
