#include <windows.h>

#include <cerrno>

#include "file_io.h"
#include "scoped_handles.h"
#include "wide_text.h"

namespace tarvix {
namespace {

using win32::ScopedFileHandle;

HANDLE OpenForReading(const std::wstring& path, DWORD flags) {
    return CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                       nullptr, OPEN_EXISTING, flags, nullptr);
}

bool WriteAllAndFlush(const std::wstring& path, std::string_view bytes) {
    ScopedFileHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
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

bool EndsInTxt(const std::wstring& name) {
    if (name.size() < 4) return false;
    return CompareStringOrdinal(name.c_str() + name.size() - 4, 4, L".txt", 4, TRUE) == CSTR_EQUAL;
}

}  // namespace

std::string PathInFolder(const std::string& folder, std::string_view big5Name) {
    // Strictly: a name that is no Big5 text would otherwise stand for some
    // other file, one with the stand-in character in its name.
    if (big5Name.empty()) return folder;
    const int size = static_cast<int>(big5Name.size());
    if (MultiByteToWideChar(kModelCodePage, MB_ERR_INVALID_CHARS, big5Name.data(), size, nullptr, 0) <= 0)
        return std::string();
    return folder + PathFromWide(WideFromBig5(big5Name));
}

std::vector<ListedFile> ListTextFiles(const std::string& folder) {
    std::vector<ListedFile> files;
    if (folder.empty()) return files;
    WIN32_FIND_DATAW found;
    const win32::ScopedFindHandle search(FindFirstFileW((WideFromPath(folder) + L"*.txt").c_str(), &found));
    if (!search) return files;
    do {
        // A folder whose name ends in .txt is no script. The pattern also
        // matches by short name, so "a.txt1" would come along: the long name
        // decides.
        const std::wstring name = found.cFileName;
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || !EndsInTxt(name)) continue;
        std::string big5;
        if (!Big5FromWideExactly(name, big5) && !Big5FromWideExactly(found.cAlternateFileName, big5)) continue;
        ListedFile file;
        file.name = std::move(big5);
        file.size = static_cast<uint64_t>(found.nFileSizeHigh) << 32 | found.nFileSizeLow;
        file.writeTime = static_cast<uint64_t>(found.ftLastWriteTime.dwHighDateTime) << 32 |
                         found.ftLastWriteTime.dwLowDateTime;
        files.push_back(std::move(file));
    } while (FindNextFileW(search.get(), &found));
    return files;
}

std::vector<std::string> TextFileNames(const std::string& folder) {
    std::vector<std::string> names;
    for (ListedFile& file : ListTextFiles(folder)) names.push_back(std::move(file.name));
    return names;
}

bool WriteFileAtomically(const std::string& path, std::string_view bytes) {
    const std::wstring target = WideFromPath(path);
    if (target.empty()) return false;
    // ".tmp" keeps the file out of the "*.txt" search, short names included.
    const std::wstring temp = target + L".tmp";
    if (!WriteAllAndFlush(temp, bytes)) {
        DeleteFileW(temp.c_str());
        return false;
    }
    if (!MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DeleteFileW(temp.c_str());
        return false;
    }
    return true;
}

// Straight through the system calls: under Wine every call of the C
// runtime's stream layer costs a round trip more, and start-up reads
// thousands of these files.
bool ReadWholeFile(const std::string& path, std::string& out) {
    const std::wstring name = WideFromPath(path);
    ScopedFileHandle file(name.empty() ? INVALID_HANDLE_VALUE : OpenForReading(name, FILE_FLAG_SEQUENTIAL_SCAN));
    if (!file) {
        // As the C runtime reports it: callers tell a file that is not there
        // from one that cannot be read.
        const DWORD error = name.empty() ? ERROR_FILE_NOT_FOUND : GetLastError();
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

bool CanOpenForReading(const std::string& path) {
    const std::wstring name = WideFromPath(path);
    if (name.empty()) return false;
    const ScopedFileHandle file(OpenForReading(name, FILE_ATTRIBUTE_NORMAL));
    return static_cast<bool>(file);
}

bool RemoveFile(const std::string& path) {
    const std::wstring name = WideFromPath(path);
    return !name.empty() && DeleteFileW(name.c_str()) != 0;
}

}  // namespace tarvix
