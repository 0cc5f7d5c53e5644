// Any byte sequence is a script file a user may hand us: one saved by another
// program, cut short by a full disk, or edited by hand in any code page. Every
// such file must load in both editions without harm, and what it loads as must
// survive being saved and read again.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "profile.h"
#include "script.h"

namespace {

namespace fs = std::filesystem;
using tarvix::CScript;
using tarvix::Edition;
using tarvix::ProfileDocument;
using tarvix::ScriptAction;

[[noreturn]] void Fail(const char* what, const char* file, int line) {
    std::fprintf(stderr, "%s:%d: invariant broken: %s\n", file, line, what);
    std::abort();
}

#define FUZZ_CHECK(cond) \
    do { \
        if (!(cond)) Fail(#cond, __FILE__, __LINE__); \
    } while (0)

constexpr const char kFileName[] = "fuzz.txt";

// Save flushes every file it writes; on a RAM-backed folder that flush costs
// nothing, which keeps the fuzzer at thousands of inputs a second.
fs::path ScratchRoot() {
    if (std::getenv("TMPDIR") == nullptr) {
        std::error_code ec;
        if (fs::is_directory("/dev/shm", ec)) return "/dev/shm";
    }
    return fs::temp_directory_path();
}

// One set of folders per process, made on first use and removed at exit.
class ScratchFolders {
public:
    ScratchFolders() {
        std::random_device rd;
        const fs::path base = ScratchRoot();
        do {
            root_ = base / ("tarvix-fuzz-" + std::to_string(rd()));
        } while (!fs::create_directory(root_));
        for (const char* name : {"input", "saved", "edited"}) fs::create_directory(root_ / name);
    }
    ~ScratchFolders() {
        std::error_code ec;
        fs::remove_all(root_, ec);
    }
    ScratchFolders(const ScratchFolders&) = delete;
    ScratchFolders& operator=(const ScratchFolders&) = delete;

    // Script folder paths end in a separator, as the program's do.
    std::string Folder(const char* name) const { return (root_ / name).string() + "/"; }

private:
    fs::path root_;
};

const ScratchFolders& Folders() {
    static const ScratchFolders folders;
    return folders;
}

void WriteBytes(const std::string& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    FUZZ_CHECK(out.good());
}

std::string ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Every name in the folder with its bytes, in name order.
using Snapshot = std::vector<std::pair<std::string, std::string>>;

Snapshot Snap(const std::string& folder) {
    Snapshot snap;
    for (const auto& entry : fs::directory_iterator(folder))
        snap.emplace_back(entry.path().filename().string(), ReadBytes(entry.path()));
    std::sort(snap.begin(), snap.end());
    return snap;
}

std::vector<ScriptAction> Actions(const CScript& s) { return {s.m_actions.begin(), s.m_actions.end()}; }

// What a file can give back of an action: a key code is a 16-bit
// virtual-key code in the file, whatever width the record gives it, and the
// reader trims every line, so a text loses the spaces it ends with (a NUL in a
// line can leave some there).
ScriptAction AsWritten(ScriptAction a) {
    if (a.category == tarvix::CategoryKey) a.param1 &= 0xFFFF;
    while (!a.text.empty() && std::string_view(" \t\r\n").find(a.text.back()) != std::string_view::npos)
        a.text.pop_back();
    return a;
}

void Dump(const char* title, const std::vector<ScriptAction>& actions) {
    std::fprintf(stderr, "%s (%zu):\n", title, actions.size());
    for (const ScriptAction& a : actions) {
        std::fprintf(stderr, "  kind %d category %d params %d %d text [", a.kind, a.category, a.param1, a.param2);
        for (unsigned char c : a.text) std::fprintf(stderr, c >= 0x20 && c < 0x7F ? "%c" : "\\x%02X", c);
        std::fprintf(stderr, "]\n");
    }
}

#define FUZZ_CHECK_ACTIONS(got, expected) \
    do { \
        const std::vector<ScriptAction> g_ = (got), e_ = (expected); \
        if (g_ != e_) { \
            Dump("got", g_); \
            Dump("expected", e_); \
            Fail(#got " == " #expected, __FILE__, __LINE__); \
        } \
    } while (0)

void CheckLoadedRecord(const CScript& s, Edition edition) {
    FUZZ_CHECK(s.edition() == edition);
    FUZZ_CHECK(s.m_fileName == kFileName);
    if (!tarvix::TraitsOf(edition).hasRunOnce) FUZZ_CHECK(s.m_runOnce == 0);

    // The editor inserts in front of the end marker, so there is exactly one
    // and it is last.
    FUZZ_CHECK(!s.m_actions.empty());
    FUZZ_CHECK(s.m_actions.back() == ScriptAction::EndMarker());
    size_t markers = 0;
    for (const ScriptAction& a : s.m_actions) {
        markers += a.kind == tarvix::KindEndMarker;
        FUZZ_CHECK(tarvix::EditionHasKind(edition, a.kind));
        FUZZ_CHECK(a.category == tarvix::CategoryOfKind(a.kind));
        if (a.category != tarvix::CategoryText) FUZZ_CHECK(a.text.empty());
        FUZZ_CHECK(a.text.find_first_of(std::string_view("\n\0", 2)) == std::string::npos);
    }
    FUZZ_CHECK(markers == 1);
}

// Edition 1.0 reads a 1.1 file as 1.1 does, less the kinds it lacks and RunOnce.
void CheckEditionsAgree(const CScript& v10, const CScript& v11) {
    std::vector<ScriptAction> expected;
    for (const ScriptAction& a : v11.m_actions)
        if (tarvix::EditionHasKind(tarvix::Edition::V10, a.kind)) expected.push_back(a);
    FUZZ_CHECK_ACTIONS(Actions(v10), expected);
    FUZZ_CHECK(v10.m_description == v11.m_description);
    FUZZ_CHECK(v10.m_enabled == v11.m_enabled);
    FUZZ_CHECK(v10.m_beginHotkey == v11.m_beginHotkey);
    FUZZ_CHECK(v10.m_beginHotkeyMod == v11.m_beginHotkeyMod);
    FUZZ_CHECK(v10.m_repeatType == v11.m_repeatType);
    FUZZ_CHECK(v10.m_repeatNumber == v11.m_repeatNumber);

    // What 1.0 keeps for 1.1: its RunOnce as 1.1 reads it, and a count of the
    // lines it could not read that differs from 1.1's by the lines of those kinds.
    if (v10.m_keptRunOnce) FUZZ_CHECK(*v10.m_keptRunOnce == v11.m_runOnce);
    else FUZZ_CHECK(v11.m_runOnce == 1);
    if (v10.m_keptSpeed) FUZZ_CHECK(*v10.m_keptSpeed == v11.m_speed);
    else FUZZ_CHECK(v11.m_speed == tarvix::kNormalSpeed);
    FUZZ_CHECK(v10.m_speed == tarvix::kNormalSpeed);
    const auto moves = static_cast<int32_t>(v11.m_actions.size() - v10.m_actions.size());
    FUZZ_CHECK(v10.m_unreadLineCount == v11.m_unreadLineCount + moves);
    FUZZ_CHECK(tarvix::LinesToConfirmBeforeSaving(v11) == 0);
}

// The profile reader's blanks, the DOS end-of-file mark included.
bool IsTrimmable(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f' || c == '\x1a';
}

// A description is read back as written unless reading would change it: the
// reader trims values and takes off one pair of enclosing quotes, and a line
// end cannot live inside a value.
bool DescriptionSurvivesSaving(std::string_view d) {
    if (d.find_first_of("\r\n") != std::string_view::npos) return false;
    if (d.empty()) return true;
    if (IsTrimmable(d.front()) || IsTrimmable(d.back())) return false;
    return !(d.size() >= 2 && d.front() == '"' && d.back() == '"');
}

void CheckSaveAndReload(const CScript& loaded) {
    const std::string folder = Folders().Folder("saved");
    const std::string text = loaded.SerializedText();
    FUZZ_CHECK(loaded.Save(folder));
    const Snapshot after = Snap(folder);
    FUZZ_CHECK(after.size() == 1);  // no temporary file left beside it
    FUZZ_CHECK(after[0].first == kFileName);
    FUZZ_CHECK(after[0].second == text);

    CScript back(loaded.edition());
    back.Load(folder, kFileName);
    CheckLoadedRecord(back, loaded.edition());

    std::vector<ScriptAction> expected;
    for (const ScriptAction& a : loaded.m_actions) expected.push_back(AsWritten(a));
    FUZZ_CHECK_ACTIONS(Actions(back), expected);
    FUZZ_CHECK(back.m_enabled == (loaded.m_enabled != 0 ? 1 : 0));
    FUZZ_CHECK(back.m_beginHotkey == loaded.m_beginHotkey);
    FUZZ_CHECK(back.m_beginHotkeyMod == loaded.m_beginHotkeyMod);
    FUZZ_CHECK(back.m_repeatType == loaded.m_repeatType);
    FUZZ_CHECK(back.m_repeatNumber == loaded.m_repeatNumber);
    FUZZ_CHECK(back.m_runOnce == loaded.m_runOnce);
    FUZZ_CHECK(back.m_speed == loaded.m_speed);
    FUZZ_CHECK(back.m_keptSpeed == loaded.m_keptSpeed);
    if (DescriptionSurvivesSaving(loaded.m_description)) {
        FUZZ_CHECK(back.m_description == loaded.m_description);
        // Saving what was read back writes what the record, less what the
        // file cannot keep, writes: after one save, Save and Load are a fixed
        // point.
        CScript keepable = loaded;
        keepable.m_actions.assign(expected.begin(), expected.end());
        FUZZ_CHECK(back.SerializedText() == keepable.SerializedText());
    }
}

std::string_view TrimSpaces(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
    return s;
}

struct Probe {
    std::string section;
    std::string key;
};

// Names as the platform matches them: C strings, without regard to case or
// to the blanks around them. Trimming every control byte here errs on the
// side of treating two names as one, which only skips a comparison.
std::string_view TrimName(std::string_view s) {
    s = s.substr(0, s.find('\0'));
    auto blank = [](char c) { return static_cast<unsigned char>(c) <= 0x20; };
    while (!s.empty() && blank(s.front())) s.remove_prefix(1);
    while (!s.empty() && blank(s.back())) s.remove_suffix(1);
    return s;
}

bool SameName(std::string_view a, std::string_view b) {
    a = TrimName(a);
    b = TrimName(b);
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 'a' + 'A');
        if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 'a' + 'A');
        if (x != y) return false;
    }
    return true;
}

// Names to ask the document about: the script keys, and a rough guess at the
// names the file itself holds. The guess only picks questions; the answers are
// compared with each other, never with the guess.
std::vector<Probe> ProbesFor(std::string_view text) {
    std::vector<Probe> probes = {
        {"General", "Enable"},     {"General", "Description"}, {"General", "BeginHotkey"},
        {"General", "BeginHotkeyMod"}, {"General", "RunOnce"}, {"Repeat", "Type"},
        {"Repeat", "Number"},      {"Script", "KeyPress 65 1"}, {"General", "Speed"},
    };
    constexpr size_t kMaxProbes = 32;
    std::string section;
    while (!text.empty() && probes.size() < kMaxProbes) {
        const size_t end = text.find('\n');
        const std::string_view line = TrimSpaces(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (!line.empty() && line.front() == '[') {
            const size_t close = line.find(']');
            section = std::string(TrimSpaces(line.substr(1, close == std::string_view::npos ? line.npos : close - 1)));
        } else if (const size_t eq = line.find('='); eq != std::string_view::npos) {
            probes.push_back({section, std::string(TrimSpaces(line.substr(0, eq)))});
        }
    }
    return probes;
}

struct Reading {
    bool has = false;
    std::string value;
    int32_t number = 0;
};

constexpr std::string_view kAbsent = "\x01(absent)";
constexpr int32_t kAbsentNumber = -0x5A5A5A5;

Reading Read(const ProfileDocument& doc, const Probe& p) {
    return {doc.HasKey(p.section, p.key), doc.GetString(p.section, p.key, kAbsent),
            doc.GetInt(p.section, p.key, kAbsentNumber)};
}

bool operator==(const Reading& a, const Reading& b) {
    return a.has == b.has && a.value == b.value && a.number == b.number;
}

void CheckReading(const Reading& r) {
    if (!r.has) {
        FUZZ_CHECK(r.value == kAbsent);
        FUZZ_CHECK(r.number == kAbsentNumber);
    }
    if (r.value.empty()) FUZZ_CHECK(r.number == kAbsentNumber);
    // A value the program itself would write reads as that number.
    if (!r.value.empty() && r.value != kAbsent) {
        char* end = nullptr;
        const long long n = std::strtoll(r.value.c_str(), &end, 10);
        if (end == r.value.c_str() + r.value.size() && n >= INT32_MIN && n <= INT32_MAX &&
            std::to_string(n) == r.value)
            FUZZ_CHECK(r.number == static_cast<int32_t>(n));
    }
}

// Where a script line holds a lone CR with more after it, the profile reader
// sees two lines where the script reader sees one, and a key added at the
// end of a section that ends there lands inside that script line whatever
// the writer does. The bytes are still only added to; what that one line
// plays is not compared.
bool LoneCrInsideScriptLines(std::string_view text) {
    size_t pos = 0;
    bool inScript = false;
    while (pos < text.size() && !inScript) {
        size_t end = text.find('\n', pos);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(pos, end - pos);
        const size_t first = line.find_first_not_of(" \t\r\n");
        const size_t last = line.find_last_not_of(" \t\r\n");
        line = first == std::string_view::npos ? std::string_view() : line.substr(first, last - first + 1);
        inScript = SameName(line, "[Script]") && line.size() == 8;
        pos = end + 1;
    }
    if (!inScript) return false;
    for (size_t i = pos; i < text.size(); ++i) {
        if (text[i] != '\r' || (i + 1 < text.size() && text[i + 1] == '\n')) continue;
        const size_t next = text.find_first_not_of('\r', i);
        if (next != std::string_view::npos) return true;
    }
    return false;
}

struct Edit {
    Probe where;
    std::string value;
};

// Edits the way the program does (the settings file, a script's Enable) and
// checks that an edit touches its key and nothing else.
void CheckProfile(std::string_view bytes, const CScript& loadedV11) {
    ProfileDocument doc{std::string(bytes)};
    std::vector<Probe> probes = ProbesFor(bytes);
    std::vector<Reading> readings;
    for (const Probe& p : probes) {
        readings.push_back(Read(doc, p));
        CheckReading(readings.back());
    }

    const Edit edits[] = {
        {{"General", "Description"}, "fuzz \xA4\xA4 \\| value"},
        {{"Repeat", "Number"}, "7"},
        {{"tarvix.fuzz", "Added"}, "1"},
        {{"General", "Enable"}, "0"},
    };
    for (const Edit& e : edits) {
        doc.SetString(e.where.section, e.where.key, e.value);
        const Reading now = Read(doc, e.where);
        FUZZ_CHECK(now.has);
        FUZZ_CHECK(now.value == e.value);
        for (size_t i = 0; i < probes.size(); ++i) {
            const Probe& p = probes[i];
            if (SameName(p.section, e.where.section) && SameName(p.key, e.where.key)) {
                // Maybe the edited key, maybe one whose name differs only in
                // control bytes: no comparison, but what it reads now.
                readings[i] = Read(doc, p);
                continue;
            }
            const Reading after = Read(doc, p);
            if (!(after == readings[i])) {
                std::fprintf(stderr, "setting [%s] %s changed [%s] %s: has %d->%d, number %d->%d\n",
                             e.where.section.c_str(), e.where.key.c_str(), p.section.c_str(), p.key.c_str(),
                             readings[i].has, after.has, readings[i].number, after.number);
                Fail("an edit leaves every other key as it was", __FILE__, __LINE__);
            }
        }
        probes.push_back(e.where);
        readings.push_back(now);
    }

    // The edited text, parsed afresh, reads as the edited document does.
    const ProfileDocument reparsed(doc.Text());
    for (size_t i = 0; i < probes.size(); ++i) FUZZ_CHECK(Read(reparsed, probes[i]) == readings[i]);

    // The script keeps its actions and untouched fields through the edits.
    const std::string folder = Folders().Folder("edited");
    WriteBytes(folder + kFileName, doc.Text());
    CScript edited(Edition::V11);
    edited.Load(folder, kFileName);
    if (!LoneCrInsideScriptLines(bytes)) FUZZ_CHECK_ACTIONS(Actions(edited), Actions(loadedV11));
    FUZZ_CHECK(edited.m_description == edits[0].value);
    FUZZ_CHECK(edited.m_repeatNumber == 7);
    FUZZ_CHECK(edited.m_enabled == 0);
    FUZZ_CHECK(edited.m_beginHotkey == loadedV11.m_beginHotkey);
    FUZZ_CHECK(edited.m_beginHotkeyMod == loadedV11.m_beginHotkeyMod);
    FUZZ_CHECK(edited.m_repeatType == loadedV11.m_repeatType);
    FUZZ_CHECK(edited.m_runOnce == loadedV11.m_runOnce);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::string input = Folders().Folder("input");
    WriteBytes(input + kFileName, bytes);

    const Snapshot before = Snap(input);
    CScript v11(Edition::V11);
    v11.Load(input, kFileName);
    CScript v10(Edition::V10);
    v10.Load(input, kFileName);
    FUZZ_CHECK(Snap(input) == before);  // loading writes nothing

    CheckLoadedRecord(v11, Edition::V11);
    CheckLoadedRecord(v10, Edition::V10);
    CheckEditionsAgree(v10, v11);
    CheckSaveAndReload(v11);
    CheckSaveAndReload(v10);
    CheckProfile(bytes, v11);
    return 0;
}
