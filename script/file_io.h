#pragma once

#include <string>
#include <string_view>

namespace tarvix {

// Paths are narrow strings in the ANSI code page, as the program builds them.

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
