#pragma once

#include <string>
#include <string_view>

namespace tarvix {

// Drive and directory of the program file, ending in a backslash, as
// _splitpath splits a full path: "C:\Tools\tarvix\tarvix.exe" gives
// "C:\Tools\tarvix\". Both separators are accepted. The path is UTF-8 on
// Windows (file_io.h), where no byte of a character equals a separator.
std::string ProgramFolderFromModulePath(std::string_view modulePath);

// The paths every part of the program builds from the program folder.
inline std::string ScriptFolderPath(const std::string& programFolder) { return programFolder + "script\\"; }
inline std::string SettingsPath(const std::string& programFolder) { return programFolder + "tarvix.ini"; }
// What start-up keeps of the script folder so as not to open every script
// (script_folder.h); both editions share it.
inline std::string ScriptCachePath(const std::string& programFolder) { return programFolder + "scripts.cache"; }

}  // namespace tarvix
