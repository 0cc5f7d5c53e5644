#include "script_folder.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <string_view>
#include <system_error>
#include <thread>
#include <unordered_map>

#include "file_io.h"

namespace tarvix {
namespace {

// Runs work(i) for every i below count on up to `threads` threads.
template <class Work>
void ForEachOnThreads(size_t count, unsigned threads, Work work) {
    if (threads == 0) threads = std::min(8u, std::max(1u, std::thread::hardware_concurrency()));
    // A few files are not worth a thread.
    threads = static_cast<unsigned>(std::min<size_t>(threads, (count + 63) / 64));
    std::atomic<size_t> next{0};
    auto worker = [&] {
        for (size_t i = next++; i < count; i = next++) work(i);
    };
    std::vector<std::thread> helpers;
    for (unsigned t = 1; t < threads; ++t) {
        try {
            helpers.emplace_back(worker);
        } catch (const std::system_error&) {
            break;  // no more threads to be had: the ones there are do the rest
        }
    }
    worker();
    for (std::thread& helper : helpers) helper.join();
}

// The cache file: a mark and a count, then for each file its name, size,
// write time and bytes, and last a checksum of everything before it. Numbers
// are little-endian whatever the machine.
constexpr std::string_view kCacheMark = "tarvix script cache 1\n";

struct CachedFile {
    uint64_t size = 0;
    uint64_t writeTime = 0;
    std::string bytes;
};

uint64_t Checksum(std::string_view bytes) {
    uint64_t hash = 14695981039346656037ull;  // FNV-1a
    for (const char c : bytes) hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ull;
    return hash;
}

void PutNumber(std::string& out, uint64_t value) {
    for (int i = 0; i < 8; ++i) out += static_cast<char>(value >> (8 * i) & 0xFF);
}

bool TakeNumber(std::string_view& in, uint64_t& value) {
    if (in.size() < 8) return false;
    value = 0;
    for (int i = 0; i < 8; ++i) value |= static_cast<uint64_t>(static_cast<unsigned char>(in[i])) << (8 * i);
    in.remove_prefix(8);
    return true;
}

bool TakeText(std::string_view& in, std::string& text) {
    uint64_t length = 0;
    if (!TakeNumber(in, length) || length > in.size()) return false;
    text.assign(in.data(), static_cast<size_t>(length));
    in.remove_prefix(static_cast<size_t>(length));
    return true;
}

// Empty when the file is not there or anything in it is amiss: a torn or
// damaged cache is no cache.
std::unordered_map<std::string, CachedFile> ReadCache(const std::string& path) {
    std::unordered_map<std::string, CachedFile> files;
    std::string bytes;
    if (!ReadWholeFile(path, bytes) || bytes.size() < 8) return files;
    std::string_view in(bytes);
    std::string_view tail = in.substr(in.size() - 8);
    in.remove_suffix(8);
    uint64_t sum = 0, count = 0;
    if (!TakeNumber(tail, sum) || sum != Checksum(in)) return files;
    if (in.substr(0, kCacheMark.size()) != kCacheMark) return files;
    in.remove_prefix(kCacheMark.size());
    if (!TakeNumber(in, count)) return files;
    for (uint64_t i = 0; i < count; ++i) {
        std::string name;
        CachedFile file;
        if (!TakeText(in, name) || !TakeNumber(in, file.size) || !TakeNumber(in, file.writeTime) ||
            !TakeText(in, file.bytes) || file.bytes.size() != file.size) {
            files.clear();
            return files;
        }
        files[std::move(name)] = std::move(file);
    }
    if (!in.empty()) files.clear();
    return files;
}

void WriteCache(const std::string& path, const std::vector<ListedFile>& listed,
                const std::vector<const std::string*>& bytes) {
    // A file that changed between the listing and its reading is left out:
    // its bytes may be newer than the size and time it would be kept under.
    auto kept = [&](size_t i) { return bytes[i] && bytes[i]->size() == listed[i].size; };
    std::string out(kCacheMark);
    uint64_t count = 0;
    for (size_t i = 0; i < listed.size(); ++i) count += kept(i);
    PutNumber(out, count);
    for (size_t i = 0; i < listed.size(); ++i) {
        if (!kept(i)) continue;
        PutNumber(out, listed[i].name.size());
        out += listed[i].name;
        PutNumber(out, listed[i].size);
        PutNumber(out, listed[i].writeTime);
        PutNumber(out, bytes[i]->size());
        out += *bytes[i];
    }
    PutNumber(out, Checksum(out));
    // Replaced whole: another start, of either edition, reads the old cache
    // or the new one, never a mixture.
    WriteFileAtomically(path, out);
}

}  // namespace

std::vector<std::unique_ptr<CScript>> LoadScriptFiles(const std::string& scriptFolder,
                                                      const std::vector<std::string>& fileNames,
                                                      Edition edition, unsigned threads) {
    std::vector<std::unique_ptr<CScript>> scripts(fileNames.size());
    ForEachOnThreads(fileNames.size(), threads, [&](size_t i) {
        auto script = std::make_unique<CScript>(edition);
        script->Load(scriptFolder, fileNames[i]);
        scripts[i] = std::move(script);
    });
    return scripts;
}

std::vector<std::unique_ptr<CScript>> LoadScriptFolder(const std::string& scriptFolder,
                                                       const std::string& cachePath, Edition edition,
                                                       unsigned threads) {
    const std::vector<ListedFile> listed = ListTextFiles(scriptFolder);
    const std::unordered_map<std::string, CachedFile> cache = ReadCache(cachePath);
    // Null where the file could not be read.
    std::vector<const std::string*> bytes(listed.size(), nullptr);
    std::vector<std::string> read(listed.size());
    std::vector<char> fromDisk(listed.size(), 0);
    std::vector<std::unique_ptr<CScript>> scripts(listed.size());
    ForEachOnThreads(listed.size(), threads, [&](size_t i) {
        const ListedFile& file = listed[i];
        const auto found = cache.find(file.name);
        if (found != cache.end() && found->second.size == file.size && found->second.writeTime == file.writeTime) {
            bytes[i] = &found->second.bytes;
        } else {
            fromDisk[i] = 1;
            if (ReadWholeFile(PathInFolder(scriptFolder, file.name), read[i])) bytes[i] = &read[i];
        }
        auto script = std::make_unique<CScript>(edition);
        script->LoadBytes(file.name, bytes[i]);
        scripts[i] = std::move(script);
    });
    // Written only when it would hold something else, so a start with nothing
    // changed writes nothing; a file that cannot be read is not kept, and does
    // not make every start write the cache again.
    size_t fromCache = 0;
    bool newlyRead = false;
    for (size_t i = 0; i < listed.size(); ++i) {
        fromCache += !fromDisk[i];
        newlyRead = newlyRead || (fromDisk[i] && bytes[i]);
    }
    if (newlyRead || fromCache != cache.size()) WriteCache(cachePath, listed, bytes);
    return scripts;
}

}  // namespace tarvix
