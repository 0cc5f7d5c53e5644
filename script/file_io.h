#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tarvix {

// Paths are narrow strings in the file system's own form: UTF-8 on Windows,
// where the wide file functions take them (wide_text.h), so that the program
// folder may hold any character; the bytes the system uses elsewhere. A file
// name from the model (a script's, in Big5) joins a path only through
// PathInFolder, which converts it.

// folder (ending in a separator) + the file named by `big5Name`. On Windows
// an empty path, which names no file, when the name is no Big5 text.
std::string PathInFolder(const std::string& folder, std::string_view big5Name);

// The names, in Big5, of the files (not folders) in `folder` whose names end
// in ".txt" in any letter case, in the order the system lists them. A file
// whose name has no Big5 form is listed by its short name when that has one,
// and left out otherwise: the program could not name it again.
std::vector<std::string> TextFileNames(const std::string& folder);

// A script file as the folder's listing gives it, without opening the file.
struct ListedFile {
    std::string name;  // in Big5, as TextFileNames gives it
    uint64_t size = 0;
    uint64_t writeTime = 0;  // the system's own units, only ever compared
};

// The same files as TextFileNames, in the same order, with their sizes and
// last write times.
std::vector<ListedFile> ListTextFiles(const std::string& folder);

// Reads a whole file. Returns false when it cannot be opened or read; errno
// is then ENOENT when the file (or its folder) is not there.
bool ReadWholeFile(const std::string& path, std::string& out);

// Whether the file can be opened for reading.
bool CanOpenForReading(const std::string& path);

// Replaces the file with these bytes so that at every instant either the old
// or the new file is complete on disk: the bytes go to a temporary file beside
// it, are flushed, and the temporary file then takes the old one's place.
// Returns whether the new file is in place.
bool WriteFileAtomically(const std::string& path, std::string_view bytes);

// Deletes a file; false when it could not be deleted.
bool RemoveFile(const std::string& path);

}  // namespace tarvix
