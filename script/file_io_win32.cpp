#include <windows.h>

#include <cerrno>

#include "file_io.h"
#include "scoped_handles.h"

namespace tarvix {
namespace {

using win32::ScopedFileHandle;

bool WriteAllAndFlush(const std::string& path, std::string_view bytes) {
    ScopedFileHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    while (!bytes.empty()) {
        const DWORD chunk = bytes.size() > 0x10000000 ? 0x10000000 : static_cast<DWORD>(bytes.size());
        DWORD written = 0;
        if (!WriteFile(file.get(), bytes.data(), chunk, &written, nullptr) || written == 0) return false;
        bytes.remove_prefix(written);
    }
    return FlushFileBuffers(file.get()) != 0;
}

}  // namespace

bool WriteFileAtomically(const std::string& path, std::string_view bytes) {
    // ".tmp" keeps the file out of the "*.txt" search, short names included.
    const std::string temp = path + ".tmp";
    if (!WriteAllAndFlush(temp, bytes)) {
        DeleteFileA(temp.c_str());
        return false;
    }
    if (!MoveFileExA(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DeleteFileA(temp.c_str());
        return false;
    }
    return true;
}

// Straight through the system calls: under Wine every call of the C
// runtime's stream layer costs a round trip more, and start-up reads
// thousands of these files.
bool ReadWholeFile(const std::string& path, std::string& out) {
    ScopedFileHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file) {
        // As the C runtime reports it: callers tell a file that is not there
        // from one that cannot be read.
        const DWORD error = GetLastError();
        errno = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? ENOENT : EACCES;
        return false;
    }
    out.clear();
    char buffer[64 * 1024];
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr)) return false;
        if (got == 0) return true;
        out.append(buffer, got);
    }
}

}  // namespace tarvix
