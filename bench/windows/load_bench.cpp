// Loading a folder of script files at start-up: our loader, which reads each
// file once and parses it in memory, against the way a literal port would do
// it, one profile call per key and a second pass over the file for the
// actions. Both run in the same process on the same files, and the figure that
// matters is their ratio.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unordered_map>
#include <vector>

#include "file_io.h"
#include "scoped_handles.h"
#include "script.h"
#include "script_folder.h"

namespace {

using tarvix::CScript;
using tarvix::Edition;
using tarvix::ScriptAction;

constexpr int kFiles = 10000;
constexpr int kActionsPerFile = 20;
constexpr int kRounds = 3;

// A scratch folder under the user's temporary folder, emptied and removed on
// the way out.
class ScratchFolder {
public:
    ScratchFolder() {
        char temp[MAX_PATH + 1];
        const DWORD n = GetTempPathA(sizeof temp, temp);
        if (n == 0 || n > MAX_PATH) std::abort();
        path_ = std::string(temp) + "tarvix-load-bench-" + std::to_string(GetCurrentProcessId()) + "\\";
        if (!CreateDirectoryA(path_.c_str(), nullptr)) std::abort();
    }
    ~ScratchFolder() {
        for (const std::string& name : names_) DeleteFileA((path_ + name).c_str());
        RemoveDirectoryA(path_.c_str());
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::string& path() const { return path_; }
    const std::vector<std::string>& names() const { return names_; }

    void Add(const std::string& name, const std::string& bytes) {
        // No flush: making the files is not what is measured, and a flush per
        // file would make setting up the run take longer than the run.
        const tarvix::win32::ScopedFileHandle h(CreateFileA((path_ + name).c_str(), GENERIC_WRITE, 0, nullptr,
                                                            CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!h) std::abort();
        names_.push_back(name);
        DWORD written = 0;
        const BOOL ok = WriteFile(h.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        if (!ok || written != bytes.size()) std::abort();
    }

private:
    std::string path_;
    std::vector<std::string> names_;
};

// A fixed mix of what recordings hold, varied by a small generator so that
// no two files are alike.
ScriptAction MakeAction(uint32_t& seed) {
    seed = seed * 1664525u + 1013904223u;
    const uint32_t r = seed >> 8;
    static constexpr int32_t kKinds[] = {
        tarvix::KindKeyDown, tarvix::KindKeyUp,   tarvix::KindDelay,     tarvix::KindKeyDown,
        tarvix::KindKeyUp,   tarvix::KindDelay,   tarvix::KindMoveTo,    tarvix::KindKeyPress,
        tarvix::KindLeftClick, tarvix::KindMoveR, tarvix::KindRightClick, tarvix::KindSayString,
    };
    ScriptAction a;
    a.kind = kKinds[r % (sizeof kKinds / sizeof kKinds[0])];
    a.category = tarvix::CategoryOfKind(a.kind);
    switch (a.category) {
        case tarvix::CategoryKey:
            a.param1 = static_cast<int32_t>(8 + r % 200);
            a.param2 = 1;
            break;
        case tarvix::CategoryMove:
            a.param1 = static_cast<int32_t>(r % 1920);
            a.param2 = static_cast<int32_t>((r >> 11) % 1080);
            break;
        case tarvix::CategoryButton:
            a.param1 = 1;
            break;
        case tarvix::CategoryDelay:
            a.param1 = static_cast<int32_t>(10 + r % 990);
            break;
        default:
            a.text = "\xA7\x41\xA6\x6E user" + std::to_string(r % 1000);
            break;
    }
    return a;
}

void MakeScripts(ScratchFolder& folder) {
    uint32_t seed = 2024;
    for (int i = 0; i < kFiles; ++i) {
        CScript s(Edition::V11);
        s.SetProperties("\xB4\xFA\xB8\xD5 macro " + std::to_string(i), static_cast<uint16_t>(112 + i % 12),
                        static_cast<uint16_t>(i % 8), static_cast<uint16_t>(i % 3), 1 + i % 50);
        s.m_enabled = i % 5 != 0;
        s.m_runOnce = i % 2;
        s.m_actions.clear();
        for (int a = 0; a < kActionsPerFile; ++a) s.m_actions.push_back(MakeAction(seed));
        s.m_actions.push_back(ScriptAction::EndMarker());
        char name[32];
        std::snprintf(name, sizeof name, "script%05d.txt", i);
        s.m_fileName = name;
        folder.Add(s.m_fileName, s.SerializedText());
    }
}

void LoadOurs(const ScratchFolder& folder, std::vector<CScript>& out) {
    for (const std::string& name : folder.names()) {
        out.emplace_back(Edition::V11);
        out.back().Load(folder.path(), name);
    }
}

char* TrimInPlace(char* s) {
    while (*s == ' ' || *s == '\t') ++s;
    char* end = s + std::strlen(s);
    while (end > s && (end[-1] == ' ' || end[-1] == '\t' || end[-1] == '\r' || end[-1] == '\n')) --end;
    *end = '\0';
    return s;
}

// The platform's profile functions, one key per call, as the format's first
// readers used them; each call finds and reads the file on its own.
void LoadLiteral(const ScratchFolder& folder, std::vector<CScript>& out) {
    for (const std::string& name : folder.names()) {
        const std::string path = folder.path() + name;
        const char* p = path.c_str();
        out.emplace_back(Edition::V11);
        CScript& s = out.back();
        s.m_fileName = name;
        s.m_enabled = static_cast<int32_t>(GetPrivateProfileIntA("General", "Enable", 1, p));
        char description[1024];
        GetPrivateProfileStringA("General", "Description", "", description, sizeof description, p);
        s.m_description = description;
        s.m_beginHotkey = static_cast<uint16_t>(GetPrivateProfileIntA("General", "BeginHotkey", 123, p));
        s.m_beginHotkeyMod = static_cast<uint16_t>(GetPrivateProfileIntA("General", "BeginHotkeyMod", 0, p));
        s.m_repeatType = static_cast<uint16_t>(GetPrivateProfileIntA("Repeat", "Type", 0, p));
        s.m_repeatNumber = static_cast<int32_t>(GetPrivateProfileIntA("Repeat", "Number", 1, p));
        s.m_runOnce = static_cast<int32_t>(GetPrivateProfileIntA("General", "RunOnce", 1, p));

        if (std::FILE* f = std::fopen(p, "r")) {
            char buffer[4096];
            bool inScript = false;
            while (std::fgets(buffer, sizeof buffer, f)) {
                char* line = TrimInPlace(buffer);
                if (!inScript) inScript = _stricmp(line, "[Script]") == 0;
                else if (*line) s.AddActionFromLine(line);
            }
            std::fclose(f);
        }
        s.m_actions.push_back(ScriptAction::EndMarker());
    }
}

// Floors under any loader: only getting each file's bytes, once through the
// C runtime as ReadWholeFile does, once straight through the system calls.
void ReadOnlyRuntime(const ScratchFolder& folder, std::vector<CScript>& out) {
    std::string bytes;
    for (const std::string& name : folder.names()) {
        if (!tarvix::ReadWholeFile(folder.path() + name, bytes)) std::abort();
        out.emplace_back(Edition::V11);
        out.back().m_description.assign(bytes, 0, 1);
    }
}

void ReadOnlySystem(const ScratchFolder& folder, std::vector<CScript>& out) {
    char buffer[64 * 1024];
    for (const std::string& name : folder.names()) {
        const tarvix::win32::ScopedFileHandle h(CreateFileA((folder.path() + name).c_str(), GENERIC_READ,
                                                            FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                                            FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!h) std::abort();
        DWORD got = 0;
        const BOOL ok = ReadFile(h.get(), buffer, sizeof buffer, &got, nullptr);
        if (!ok) std::abort();
        out.emplace_back(Edition::V11);
        out.back().m_description.assign(buffer, got ? 1 : 0);
    }
}

bool SameRecord(const CScript& a, const CScript& b) {
    return a.m_fileName == b.m_fileName && a.m_enabled == b.m_enabled && a.m_description == b.m_description &&
           a.m_beginHotkey == b.m_beginHotkey && a.m_beginHotkeyMod == b.m_beginHotkeyMod &&
           a.m_repeatType == b.m_repeatType && a.m_repeatNumber == b.m_repeatNumber &&
           a.m_runOnce == b.m_runOnce && a.m_actions == b.m_actions;
}

using Loader = void (*)(const ScratchFolder&, std::vector<CScript>&);

double TimeLoad(Loader load, const ScratchFolder& folder, std::vector<CScript>& out) {
    out.clear();
    out.reserve(folder.names().size());
    const auto start = std::chrono::steady_clock::now();
    load(folder, out);
    const auto stop = std::chrono::steady_clock::now();
    return std::chrono::duration<double>(stop - start).count();
}

}  // namespace

int main() {
    std::printf("script load benchmark: %d files of %d actions each\n", kFiles, kActionsPerFile);
    ScratchFolder folder;
    MakeScripts(folder);
    std::printf("folder: %s\n", folder.path().c_str());

    std::vector<CScript> ours, literal;
    double bestOurs = 1e30, bestLiteral = 1e30;
    // Alternating rounds, so a burst of load on the shared machine hits both.
    for (int round = 1; round <= kRounds; ++round) {
        const double o = TimeLoad(LoadOurs, folder, ours);
        const double l = TimeLoad(LoadLiteral, folder, literal);
        bestOurs = std::min(bestOurs, o);
        bestLiteral = std::min(bestLiteral, l);
        std::printf("round %d: CScript::Load %8.1f ms (%6.1f us/file)   profile calls %8.1f ms (%6.1f us/file)   ratio %.1f\n",
                    round, o * 1e3, o * 1e6 / kFiles, l * 1e3, l * 1e6 / kFiles, l / o);
    }

    std::vector<CScript> floor;
    const double runtimeRead = TimeLoad(ReadOnlyRuntime, folder, floor);
    const double systemRead = TimeLoad(ReadOnlySystem, folder, floor);
    std::printf("bytes only: C runtime (fopen/fread) %.1f ms (%.1f us/file), CreateFile/ReadFile %.1f ms (%.1f us/file)\n",
                runtimeRead * 1e3, runtimeRead * 1e6 / kFiles, systemRead * 1e3, systemRead * 1e6 / kFiles);

    // What the main window does at start: the same loader on several threads.
    double bestFolder = 1e30;
    size_t mismatches = 0;
    for (int round = 1; round <= kRounds; ++round) {
        const auto start = std::chrono::steady_clock::now();
        const auto loaded = tarvix::LoadScriptFiles(folder.path(), folder.names(), Edition::V11);
        bestFolder = std::min(bestFolder, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        if (round == kRounds)
            for (size_t i = 0; i < loaded.size(); ++i) mismatches += !SameRecord(*loaded[i], literal[i]);
    }
    std::printf("LoadScriptFiles (all processors): best %.1f ms (%.1f us/file), ratio to profile calls %.1f\n",
                bestFolder * 1e3, bestFolder * 1e6 / kFiles, bestLiteral / bestFolder);

    // The main window's way since: the folder listed with sizes and write
    // times, the files' bytes kept in one cache file. The first load reads
    // every file and writes the cache; the later ones open none.
    const std::string cache = folder.path().substr(0, folder.path().size() - 1) + ".cache";
    std::unordered_map<std::string, const CScript*> byName;
    for (const CScript& s : literal) byName[s.m_fileName] = &s;
    double firstCached = 0, bestCached = 1e30;
    for (int round = 0; round <= kRounds; ++round) {
        const auto start = std::chrono::steady_clock::now();
        const auto loaded = tarvix::LoadScriptFolder(folder.path(), cache, Edition::V11);
        const double t = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (round == 0) firstCached = t;
        else bestCached = std::min(bestCached, t);
        mismatches += loaded.size() != literal.size();
        for (const auto& s : loaded) {
            const auto found = byName.find(s->m_fileName);
            mismatches += found == byName.end() || !SameRecord(*s, *found->second);
        }
    }
    DeleteFileA(cache.c_str());
    std::printf("LoadScriptFolder: without a cache %.1f ms (the cache written), through it best %.1f ms (%.1f us/file), "
                "ratio to LoadScriptFiles %.1f\n",
                firstCached * 1e3, bestCached * 1e3, bestCached * 1e6 / kFiles, bestFolder / bestCached);

    for (size_t i = 0; i < ours.size(); ++i) mismatches += !SameRecord(ours[i], literal[i]);
    std::printf("records that differ between the loaders: %zu of %zu\n", mismatches, ours.size());
    std::printf("best of %d: CScript::Load %.1f ms, profile calls %.1f ms\n", kRounds, bestOurs * 1e3,
                bestLiteral * 1e3);
    std::printf("ratio (profile calls / CScript::Load): %.1f  (goal: at least 10)\n", bestLiteral / bestOurs);
    return mismatches == 0 ? 0 : 1;
}
