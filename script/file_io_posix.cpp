#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>

#include "file_io.h"

namespace tarvix {
namespace {

bool WriteAllAndSync(const std::string& path, std::string_view bytes) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0) return false;
    bool ok = true;
    while (ok && !bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written <= 0) ok = false;
        else bytes.remove_prefix(static_cast<size_t>(written));
    }
    ok = ok && ::fsync(fd) == 0;
    return ::close(fd) == 0 && ok;
}

bool EndsInTxt(std::string_view name) {
    if (name.size() < 4) return false;
    std::string ending(name.substr(name.size() - 4));
    for (char& c : ending)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return ending == ".txt";
}

}  // namespace

// Names are bytes here, Big5 ones included, as the file system keeps them.
std::string PathInFolder(const std::string& folder, std::string_view big5Name) {
    return folder + std::string(big5Name);
}

std::vector<ListedFile> ListTextFiles(const std::string& folder) {
    std::vector<ListedFile> files;
    DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
    if (!dir) return files;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        struct stat info;
        if (!EndsInTxt(name) || ::stat((folder + name).c_str(), &info) != 0 || !S_ISREG(info.st_mode)) continue;
        ListedFile file;
        file.name = name;
        file.size = static_cast<uint64_t>(info.st_size);
        file.writeTime = static_cast<uint64_t>(info.st_mtim.tv_sec) * 1000000000u +
                         static_cast<uint64_t>(info.st_mtim.tv_nsec);
        files.push_back(std::move(file));
    }
    ::closedir(dir);
    return files;
}

std::vector<std::string> TextFileNames(const std::string& folder) {
    std::vector<std::string> names;
    for (ListedFile& file : ListTextFiles(folder)) names.push_back(std::move(file.name));
    return names;
}

bool CanOpenForReading(const std::string& path) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    std::fclose(f);
    return true;
}

bool RemoveFile(const std::string& path) { return std::remove(path.c_str()) == 0; }

bool WriteFileAtomically(const std::string& path, std::string_view bytes) {
    const std::string temp = path + ".tmp";
    if (!WriteAllAndSync(temp, bytes) || std::rename(temp.c_str(), path.c_str()) != 0) {
        ::unlink(temp.c_str());
        return false;
    }
    return true;
}

bool ReadWholeFile(const std::string& path, std::string& out) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    out.clear();
    char buffer[64 * 1024];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, f)) > 0) out.append(buffer, got);
    const bool ok = !std::ferror(f);
    std::fclose(f);
    return ok;
}

}  // namespace tarvix
