#pragma once

#include <string>
#include <string_view>

namespace tarvix {

// The one place where the program's narrow strings meet the wide Win32
// functions (Windows only).
//
// Model strings -- descriptions, typed texts, file names, window titles as
// the player compares them -- are bytes in Big5, code page 950, whatever code
// page the system runs in: the script files of every user hold Big5, and a
// file must read the same on an English Windows as on a Chinese one.
constexpr unsigned kModelCodePage = 950;

// Big5 bytes to UTF-16. A byte sequence that is no Big5 character becomes
// the system's stand-in character, as the code page's own conversion does.
std::wstring WideFromBig5(std::string_view big5);

// UTF-16 to Big5 bytes. A character that Big5 lacks becomes the nearest
// Big5 character or "?", exactly as a system running code page 950 converts
// it, so texts are saved as they always were there.
std::string Big5FromWide(std::wstring_view wide);

// UTF-16 to Big5 only when every character has a Big5 form and the bytes
// convert back to the same text: what a file name needs, where a nearest
// character would name another file. False, with `big5` untouched, otherwise.
bool Big5FromWideExactly(std::wstring_view wide, std::string& big5);

// Paths (file_io.h) are UTF-8 on Windows, so that a program folder may hold
// any character. Invalid UTF-8 gives an empty path, which names no file.
std::wstring WideFromPath(std::string_view path);
std::string PathFromWide(std::wstring_view path);

}  // namespace tarvix
