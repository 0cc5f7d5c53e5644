// Holds the profile layer against the system's own profile functions: every
// read of ours against GetPrivateProfileStringA / GetPrivateProfileIntA on the
// same bytes, and the file after every write of ours against the file after
// WritePrivateProfileStringA. Differences we mean to have are listed below;
// any other one fails the run.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "ascii.h"
#include "profile.h"

namespace {

using tarvix::ProfileDocument;

struct Corpus {
    std::string name;
    bool exists = true;  // false: the file is not there at all
    std::string text;
};

std::string Repeat(std::string_view s, size_t n) {
    std::string out;
    while (n--) out += s;
    return out;
}

std::string ToLf(std::string s) {
    std::string out;
    for (size_t i = 0; i < s.size(); ++i)
        if (!(s[i] == '\r' && i + 1 < s.size() && s[i + 1] == '\n')) out += s[i];
    return out;
}

const std::string kScript =
    "[General]\r\n"
    "Description=\xB4\xFA\xB8\xD5 script\r\n"  // Big5 "test"
    "BeginHotkey=123\r\n"
    "BeginHotkeyMod=0\r\n"
    "RunOnce=1\r\n"
    "Enable=1\r\n"
    "[Repeat]\r\n"
    "Type=0\r\n"
    "Number=1\r\n"
    "\r\n"
    "[Script]\r\n"
    "KeyPress 65 1\r\n"
    "Delay 100\r\n"
    "MouseMove 10 20\r\n"
    "Enable=0\r\n"
    "KeyUp 65\r\n";

std::string ManyKeys() {
    std::string s = "[General]\r\n";
    for (int i = 0; i < 2000; ++i) s += "Key" + std::to_string(i) + "=" + std::to_string(i * 7) + "\r\n";
    s += "Key17=duplicate\r\n[Script]\r\n";
    for (int i = 0; i < 2000; ++i) s += "KeyPress " + std::to_string(i) + " 1\r\n";
    return s;
}

std::string LongLines() {
    return "[General]\r\nDescription=" + Repeat("\xA4\xA4x", 40000) + "\r\n" +
           Repeat("LongKey", 800) + "=long name\r\n" + "[" + Repeat("S", 3000) + "]\r\nk=in long section\r\n" +
           "[Script]\r\nKeyPress " + Repeat("9", 70000) + "\r\nEnable=0\r\n";
}

const char kNulBytes[] = "[General]\r\nEnable=1\0junk\r\nDescr\0iption=x\r\n[Rep\0eat]\r\nNumber=2\r\n";

std::vector<Corpus> FixedCorpus() {
    std::vector<Corpus> c = {
        {"script-crlf", true, kScript},
        {"script-lf-no-final-newline", true, ToLf(kScript.substr(0, kScript.size() - 2))},
        {"script-enable-only-in-actions", true,
         "[General]\r\nDescription=x\r\nBeginHotkey=120\r\n[Repeat]\r\nType=1\r\nNumber=3\r\n"
         "[Script]\r\nKeyPress 65 1\r\nEnable=0\r\nDescription=not this\r\n"},
        {"spacing", true,
         "  [ General ]  \r\n\tEnable\t=\t0\t\r\n Description =  spaced value  \r\n"
         " BeginHotkey= 65 \r\n  Repeat Type = 2\r\n"},
        {"quotes", true,
         "[Q]\r\nq1=\"double\"\r\nq2='single'\r\nq3=\"mismatched'\r\nq4='mismatched\"\r\nq5=\"\r\n"
         "q6='\r\nq7=\"\"\r\nq8=''\r\nq9=\"a\"b\"\r\nq10=\" inner spaces \"\r\n"
         "q11 =   \"after spaces\"   \r\nq12=\"12\"\r\nq13=' -5 '\r\nq14=x\"y\"\r\nq15=\"'\"\r\n"
         "q16=\"only open\r\nq17=only close\"\r\n"},
        {"case", true, "[gEnErAl]\r\nENABLE=0\r\ndescription=lower\r\n[REPEAT]\r\nnumber=9\r\n"},
        {"duplicate-keys", true, "[General]\r\nEnable=0\r\nEnable=1\r\nenable=2\r\nDescription=a\r\n"},
        {"duplicate-sections", true,
         "[General]\r\nEnable=0\r\n[Repeat]\r\nNumber=5\r\n[General]\r\nEnable=1\r\n"
         "Description=second\r\n[general]\r\nRunOnce=0\r\n"},
        {"keys-before-any-section", true, "Enable=1\r\nTop=yes\r\n\r\n[General]\r\nEnable=0\r\n"},
        {"missing-sections", true, "[Other]\r\nx=1\r\n"},
        {"empty-file", true, ""},
        {"no-file", false, ""},
        {"blank-lines-only", true, "\r\n\r\n"},
        {"empty-values", true,
         "[General]\r\nDescription=\r\nEnable=\r\nBeginHotkey=   \r\nRunOnce\r\n=orphan\r\n"
         "=second orphan\r\n"},
        {"numbers", true,
         "[General]\r\nBeginHotkey= 0x41\r\nEnable=+1\r\n[N]\r\na=12abc\r\nb=-5\r\nc=+7\r\n"
         "d= 0x10\r\ne=0x10\r\nf=99999999999\r\ng=-2147483648\r\nh=2147483648\r\ni=4294967296\r\n"
         "j=12345678901234567890123456789012345\r\nk=\"42\"\r\nl=' 8 '\r\nm=--1\r\nn=- 1\r\n"
         "o=0b101\r\np=0o17\r\nq=0X1F\r\nr=007\r\ns=1e3\r\nt=3.9\r\n"
         "u=\"1234567890123456789012345678\"\r\nv=\"12345678901234567890123456789\"\r\n"
         "w=\"123456789012345678901234567890\"\r\nx=-\r\ny=+\r\nz=abc\r\n"},
        {"controls", true,
         "[General]\r\nEnable=\v1\f\r\nDescription=\x1a" "eof mark\x1a\r\nRunOnce=\x01" "5\r\n\x1a\r\n"},
        {"lone-cr", true, "[General]\rEnable=0\rDescription=cr only\r"},
        {"mixed-line-ends", true, "[General]\nEnable=0\r\nDescription=x\n\r\n[Repeat]\r\nNumber=3"},
        {"long-lines", true, LongLines()},
        {"big5", true,
         "[General]\r\nDescription=\xB3\\\xA5\\\xBB\\ \xA4\xA4\xA4\xE5\r\n"  // trail bytes "\"
         "\xA4\xA4\xA4\xE5=\xB4\xFA\xB8\xD5\r\n[\xB4\xFA\xB8\xD5]\r\nk=\xA4\xA4\r\n"},
        {"odd-headers", true,
         "[General] ; comment\r\nEnable=0\r\n[Repeat\r\nNumber=4\r\n[]\r\nk=1\r\n[A]x]y\r\nz=1\r\n"
         " [ Spaced Name ] \r\nq=2\r\n[Script]]\r\nw=1\r\n[ =x]\r\nv=3\r\n"},
        {"comments", true, "; comment\r\n[General]\r\n;Enable=0\r\nEnable=1\r\n# hash=2\r\n"},
        {"many-keys", true, ManyKeys()},
        {"utf8-mark", true, "\xEF\xBB\xBF[General]\r\nEnable=0\r\n"},
        {"utf8-mark-keys-first", true, "\xEF\xBB\xBFTop=1\r\n[General]\r\nEnable=0\r\n"},
        {"nul-bytes", true, std::string(kNulBytes, sizeof kNulBytes - 1)},
        {"equals-in-value", true, "[General]\r\nDescription=a=b=c\r\nk = = x\r\n==\r\n"},
        {"settings", true,
         "[General]\r\nEndHotkey=19\r\nEndHotkeyMod=2\r\nEnableType=1\r\n[Position]\r\n"
         "Position0X=100\r\nPosition0Y=-20\r\n"},
        {"settings-lf", true, "[General]\nEndHotkey=19\nEnableType=1\n[Position]\nPosition0X=100\n"},
        {"header-only-no-newline", true, "[General]"},
        {"last-section-no-newline", true, "[General]\r\nEnable=1\r\n[Repeat]"},
        {"last-key-no-newline", true, "[General]\r\nEnable=1"},
        {"blank-lines-between", true, "[General]\r\nEnable=1\r\n\r\n\r\n[Repeat]\r\nNumber=2\r\n\r\n\r\n"},
        {"key-without-equals-first", true, "[General]\r\nEnable\r\nEnable=0\r\n"},
        {"unterminated-header-last", true, "[General]\r\nEnable=1\r\n[Repeat"},
    };
    c.push_back({"script-lf", true, ToLf(kScript)});
    return c;
}

// Files of the characters that mean something to the profile rules, so that
// the cases nobody thought of turn up too. Fixed seed: every run sees the same.
std::vector<Corpus> RandomCorpus(int count) {
    static const char kAlphabet[] = "[]= \t\r\n\"';aAkK01-+";
    std::mt19937 rng(20240607);
    std::uniform_int_distribution<int> length(0, 90);
    std::uniform_int_distribution<int> pick(0, sizeof kAlphabet - 2);
    std::vector<Corpus> out;
    for (int i = 0; i < count; ++i) {
        std::string text;
        for (int n = length(rng); n > 0; --n) text += kAlphabet[pick(rng)];
        out.push_back({"random-" + std::to_string(i), true, text});
    }
    return out;
}

// Reads where ours and the platform are meant to differ, each with why.
struct KnownRead {
    const char* file;
    const char* section;
    const char* key;
    const char* reason;
};
const KnownRead kKnownReads[] = {
    {"numbers", "General", "BeginHotkey", "platform reads \"0x\" as hex; ours reads decimal"},
    {"numbers", "N", "d", "platform reads \"0x\" as hex; ours reads decimal"},
    {"numbers", "N", "e", "platform reads \"0x\" as hex; ours reads decimal"},
    {"numbers", "N", "o", "platform reads \"0b\" as binary; ours reads decimal"},
    {"numbers", "N", "p", "platform reads \"0o\" as octal; ours reads decimal"},
};

// A file that starts with a UTF-8 mark the platform takes for UTF-8: it hands
// out its values converted to the code page and writes values converted from
// it. Ours keeps the code page bytes the program's records hold, whatever the
// file starts with, and skips only the mark. Such files are compared with
// ASCII names and values, where both agree byte for byte.
constexpr const char* kUtf8MarkReason =
    "platform converts a file with a UTF-8 mark from and to the code page; ours keeps the bytes";

// Writes: the platform writes the whole file anew (spacing around names and
// "=", blank lines, line ends, repeated nameless keys, a last line without a
// line end all change, and the header of a section named "" by "[]" is
// dropped, so that section's keys join the one above it, a fault ours does
// not copy); ours changes only the bytes of the key it writes. Such
// a difference is accepted only where the platform, rewriting our file the same
// way, gets exactly its own bytes, and ours changed a single stretch of one line.
constexpr const char* kLayoutReason =
    "platform rewrites every line of the file on a write; ours keeps all other bytes";

class TempDir {
public:
    TempDir() {
        char base[MAX_PATH];
        GetTempPathA(MAX_PATH, base);
        // A folder of its own for each test: names used in an earlier one
        // may still sit in the platform's cache.
        static int made = 0;
        dir_ = std::string(base) + "tarvix-profile-diff-" + std::to_string(GetCurrentProcessId()) + "-" +
               std::to_string(made++) + "\\";
        CreateDirectoryA(dir_.c_str(), nullptr);
    }
    ~TempDir() {
        for (const std::string& f : made_) DeleteFileA(f.c_str());
        RemoveDirectoryA(dir_.c_str());
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    // A name never used before: the platform caches profiles by name.
    std::string NewPath() {
        made_.push_back(dir_ + "p" + std::to_string(made_.size()) + ".ini");
        return made_.back();
    }

private:
    std::string dir_;
    std::vector<std::string> made_;
};

void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

std::string ReadBytes(const std::string& path) {
    std::ostringstream s;
    s << std::ifstream(path, std::ios::binary).rdbuf();
    return s.str();
}

void Flush(const std::string& path) { WritePrivateProfileStringA(nullptr, nullptr, nullptr, path.c_str()); }

std::string PlatformString(const std::string& path, const std::string& section, const std::string& key,
                           const std::string& def) {
    static std::vector<char> buffer(1 << 20);
    const DWORD n = GetPrivateProfileStringA(section.c_str(), key.c_str(), def.c_str(), buffer.data(),
                                             static_cast<DWORD>(buffer.size()), path.c_str());
    return std::string(buffer.data(), n);
}

int32_t PlatformInt(const std::string& path, const std::string& section, const std::string& key,
                    int32_t def) {
    return static_cast<int32_t>(GetPrivateProfileIntA(section.c_str(), key.c_str(), def, path.c_str()));
}

// The platform's own layout of a file: a key added and taken away again makes
// it write the file anew without changing what it holds.
std::string PlatformLayout(TempDir& dir, const std::string& bytes) {
    const std::string path = dir.NewPath();
    WriteBytes(path, bytes);
    WritePrivateProfileStringA("", "tarvix-layout-probe", "1", path.c_str());
    WritePrivateProfileStringA("", "tarvix-layout-probe", nullptr, path.c_str());
    Flush(path);
    return ReadBytes(path);
}

std::string Shown(std::string_view s) {
    std::string out;
    for (unsigned char c : s.substr(0, 160)) {
        if (c >= 0x20 && c < 0x7F && c != '\\') {
            out += static_cast<char>(c);
        } else {
            char b[8];
            std::snprintf(b, sizeof b, "\\x%02X", c);
            out += b;
        }
    }
    if (s.size() > 160) out += "...(" + std::to_string(s.size()) + " bytes)";
    return out;
}

// Enough to see every kind of difference without drowning the log.
constexpr int kShownDiffs = 400;

// Every comparison of one test; each difference fails the test, and the
// first ones are shown in full.
struct Report {
    int passed = 0, failed = 0, known = 0;
    std::set<const KnownRead*> seen;

    void Check(bool ok, const std::string& file, const std::string& what, std::string_view ours,
               std::string_view platform) {
        if (ok) return void(++passed);
        if (++failed <= kShownDiffs)
            ADD_FAILURE() << "DIFF " << file << ": " << what << "\n  ours:     " << Shown(ours)
                          << "\n  platform: " << Shown(platform);
        else if (failed == kShownDiffs + 1)
            ADD_FAILURE() << "more differences follow; only their count is shown";
    }

    void PrintCounts(const char* what) const {
        std::printf("%s (code page %u): %d passed, %d failed, %d known divergences\n", what, GetACP(), passed, failed,
                    known);
    }
};

using tarvix::ascii::EqualsNoCase;

// A listed read also covers the same key asked in another case and the file
// as it stands after each write.
const KnownRead* FindKnownRead(const std::string& file, const std::string& section, const std::string& key) {
    for (const KnownRead& k : kKnownReads) {
        const std::string base = k.file;
        const bool sameFile = file == base || file.rfind(base + " after ", 0) == 0 ||
                              file.rfind(base + " in turn", 0) == 0;
        if (sameFile && EqualsNoCase(section, k.section) && EqualsNoCase(key, k.key)) return &k;
    }
    return nullptr;
}

struct Probe {
    std::string section, key;
};

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

std::string CutAtNul(std::string s) { return s.substr(0, s.find('\0')); }

std::string TrimBlanks(std::string_view s) {
    const size_t b = s.find_first_not_of(" \t");
    if (b == std::string_view::npos) return {};
    return std::string(s.substr(b, s.find_last_not_of(" \t") - b + 1));
}

// The names the file seems to hold, found the simple way, plus the names the
// program asks for and some it never finds. Which names are asked is all this
// decides: the answers come from ours and the platform.
std::vector<Probe> ProbesFor(const std::string& text, size_t maxFound) {
    std::vector<Probe> found;
    std::string section;
    size_t pos = text.rfind(kUtf8Mark, 0) == 0 ? kUtf8Mark.size() : 0;
    while (pos <= text.size()) {
        size_t end = text.find_first_of("\r\n", pos);
        if (end == std::string::npos) end = text.size();
        const std::string line = TrimBlanks(std::string_view(text).substr(pos, end - pos));
        pos = end + 1;
        if (line.empty()) continue;
        const size_t close = line.rfind(']');
        if (line[0] == '[' && close != std::string::npos) {
            section = CutAtNul(TrimBlanks(line.substr(1, close - 1)));
            found.push_back({section, "tarvix-absent"});
        } else {
            found.push_back({section, CutAtNul(TrimBlanks(line.substr(0, line.find('='))))});
        }
    }
    // The first and the last names: long files repeat themselves between.
    if (found.size() > maxFound) found.erase(found.begin() + maxFound / 2, found.end() - maxFound / 2);
    std::vector<Probe> probes = {
        {"General", "Enable"},   {"General", "Description"}, {"General", "BeginHotkey"},
        {"General", "RunOnce"},  {"Repeat", "Number"},        {"Script", "Enable"},
        {"Script", "KeyPress 65 1"}, {"", "Enable"},          {"Absent", "Enable"},
        {" general\t", " ENABLE "},
    };
    for (const Probe& p : found) {
        probes.push_back(p);
        probes.push_back({tarvix::ascii::Upper(p.section), tarvix::ascii::Upper(p.key)});
    }
    return probes;
}

void CompareReads(Report& report, const std::string& file, const std::string& path,
                  const ProfileDocument& doc, const std::vector<Probe>& probes) {
    static const std::string kAbsent = "\x01tarvix-absent";
    for (const Probe& p : probes) {
        const std::string what = "[" + p.section + "] " + p.key;
        const std::string ours = doc.GetString(p.section, p.key, kAbsent);
        const std::string platform = PlatformString(path, p.section, p.key, kAbsent);
        report.Check(ours == platform, file, "string " + what, ours, platform);
        report.Check(doc.HasKey(p.section, p.key) == (platform != kAbsent), file, "has " + what,
                     doc.HasKey(p.section, p.key) ? "has" : "absent", platform);

        const int32_t ourNumber = doc.GetInt(p.section, p.key, -7777);
        const int32_t platformNumber = PlatformInt(path, p.section, p.key, -7777);
        if (ourNumber != platformNumber) {
            if (const KnownRead* known = FindKnownRead(file, p.section, p.key)) {
                ++report.known;
                report.seen.insert(known);
                continue;
            }
        }
        report.Check(ourNumber == platformNumber, file, "int " + what, std::to_string(ourNumber),
                     std::to_string(platformNumber));
    }
}

// What is left of a default when it is given back.
void CompareDefaults(Report& report, TempDir& dir) {
    const std::string path = dir.NewPath();
    WriteBytes(path, "[General]\r\nEnable=1\r\n");
    const ProfileDocument doc("[General]\r\nEnable=1\r\n");
    for (const char* def : {"", " ", "  ", "x  ", " lead", "\"q\"", "'q'  ", "\"", "'q\"", "\"\"",
                            "\"a\"\t", "tab\t", "''"}) {
        const std::string ours = doc.GetString("General", "Missing", def);
        const std::string platform = PlatformString(path, "General", "Missing", def);
        report.Check(ours == platform, "defaults", "default \"" + Shown(def) + "\"", ours, platform);
    }
}

struct Write {
    std::string section, key, value;
};

std::vector<Write> WritesFor(const std::vector<Probe>& probes) {
    std::vector<Write> writes = {
        {"General", "Enable", "0"},
        {"General", "Description", "\xB4\xFA\xB8\xD5 new"},
        {"Repeat", "Number", "12"},
        {"General", "Added", "v"},
        {"Brand New", "Key", "1"},
        {"Script", "Enable", "1"},
        {"", "Top", "1"},
        {"general", " ENABLE ", "  1  "},
        {"General", "Enable", ""},
        {"General", "Enable", "x\r\ninjected=1"},
    };
    // A name from the file itself, so that odd existing lines get written too.
    if (probes.size() > 10) writes.push_back({probes[10].section, probes[10].key, "w"});
    return writes;
}

bool HasLineEnd(std::string_view s) { return s.find_first_of("\r\n") != std::string_view::npos; }

// Ours may only replace bytes within one line, or add whole lines.
bool IsOneSplice(std::string_view before, std::string_view after) {
    size_t prefix = 0;
    while (prefix < before.size() && prefix < after.size() && before[prefix] == after[prefix]) ++prefix;
    size_t suffix = 0;
    while (suffix < before.size() - prefix && suffix < after.size() - prefix &&
           before[before.size() - 1 - suffix] == after[after.size() - 1 - suffix])
        ++suffix;
    return !HasLineEnd(before.substr(prefix, before.size() - prefix - suffix));
}

struct WriteStep {
    std::string ours;      // our file after the write
    std::string platform;  // the platform's file after the same write
};

// Applies one write to two copies of the same file: ours through
// WriteProfileKey, the platform's through WritePrivateProfileStringA.
WriteStep ApplyWrite(TempDir& dir, const Corpus& before, const Write& w) {
    const std::string ourPath = dir.NewPath();
    const std::string platformPath = dir.NewPath();
    if (before.exists) {
        WriteBytes(ourPath, before.text);
        WriteBytes(platformPath, before.text);
    }
    tarvix::WriteProfileKey(ourPath, w.section, w.key, w.value);
    WritePrivateProfileStringA(w.section.c_str(), w.key.c_str(), w.value.c_str(), platformPath.c_str());
    Flush(platformPath);
    return {ReadBytes(ourPath), ReadBytes(platformPath)};
}

// Whether some line of the file ends in "=", the value as written, and
// nothing but blanks around it (ours keeps the blanks the line had, and
// whatever followed a NUL). The
// layout comparison cannot see the blanks a written value ends with, since
// reading a file trims them.
bool HoldsWrittenValue(std::string_view text, std::string_view value) {
    auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\x1a'; };
    const size_t first = value.find_first_not_of(" \t");
    value = first == std::string_view::npos ? std::string_view() : value.substr(first);
    for (size_t at = text.find('='); at != std::string_view::npos; at = text.find('=', at + 1)) {
        size_t i = at + 1;
        while (i < text.size() && blank(text[i])) ++i;
        if (text.substr(i, value.size()) != value) continue;
        i += value.size();
        while (i < text.size() && blank(text[i])) ++i;
        // The platform sees nothing past a NUL; ours keeps what follows it.
        if (i == text.size() || text[i] == '\r' || text[i] == '\n' || text[i] == '\0') return true;
    }
    return false;
}

void CompareWrite(Report& report, TempDir& dir, const std::string& file, const Write& w,
                  const std::string& what, const std::string& before, const WriteStep& step,
                  const std::vector<Probe>& probes) {
    report.Check(IsOneSplice(before, step.ours), file, what + ": ours changed other lines", step.ours,
                 before);
    if (step.ours != step.platform) {
        // Both files as the platform lays them out: what is left is a
        // difference in what they hold.
        const std::string ours = PlatformLayout(dir, step.ours);
        const std::string platform = PlatformLayout(dir, step.platform);
        report.Check(ours == platform, file, what + ": bytes (in the platform's layout)", ours, platform);
        if (ours == platform) ++report.known;
    } else {
        ++report.passed;
    }
    if (!HasLineEnd(w.value) && HoldsWrittenValue(step.platform, w.value))
        report.Check(HoldsWrittenValue(step.ours, w.value), file, what + ": value bytes", step.ours,
                     step.platform);
    // Our file reads the same to ours and to the platform.
    const std::string path = dir.NewPath();
    WriteBytes(path, step.ours);
    CompareReads(report, file + " after " + what, path, ProfileDocument(step.ours), probes);
}

bool IsAscii(std::string_view s) {
    return std::all_of(s.begin(), s.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

void CompareWrites(Report& report, TempDir& dir, const Corpus& c, const std::vector<Probe>& probes,
                   bool inTurn) {
    std::vector<Write> writes = WritesFor(probes);
    if (c.text.rfind(kUtf8Mark, 0) == 0) {
        const auto notAscii = [](const Write& w) {
            return !IsAscii(w.section) || !IsAscii(w.key) || !IsAscii(w.value);
        };
        writes.erase(std::remove_if(writes.begin(), writes.end(), notAscii), writes.end());
    }
    for (const Write& w : writes) {
        const std::string what = "write [" + w.section + "] " + w.key + "=" + Shown(w.value);
        CompareWrite(report, dir, c.name, w, what, c.text, ApplyWrite(dir, c, w), probes);
    }
    // The same writes one after the other, each on our result of the last:
    // each step starts both sides from the same bytes, so one difference
    // does not carry into every later step.
    if (!inTurn) return;
    Corpus now = c;
    for (const Write& w : writes) {
        const std::string what = "in turn, write [" + w.section + "] " + w.key + "=" + Shown(w.value);
        const WriteStep step = ApplyWrite(dir, now, w);
        CompareWrite(report, dir, c.name, w, what, now.text, step, probes);
        now = {c.name, true, step.ours};
    }
}

// How hard a file is compared: the hand-made files with every name they
// hold and every write in turn; the random ones, many and small, more lightly
// (24 names, no writes in turn), since each platform call under Wine costs a
// round trip to its server.
void CompareFile(Report& report, TempDir& dir, const Corpus& c, bool full) {
    const std::string path = dir.NewPath();
    if (c.exists) WriteBytes(path, c.text);
    const ProfileDocument doc = ProfileDocument::FromFile(path);
    report.Check(doc.Text() == c.text, c.name, "file read as is", doc.Text(), c.text);
    const std::vector<Probe> probes = ProbesFor(c.text, full ? 80 : 24);
    CompareReads(report, c.name, path, doc, probes);
    CompareWrites(report, dir, c, probes, full);
}

// How many random files RandomFiles compares; an argument sets it.
int g_randomFiles = 100;

TEST(ProfileDiff, HandMadeFiles) {
    TempDir dir;
    Report report;
    for (const Corpus& c : FixedCorpus()) CompareFile(report, dir, c, true);
    // Each listed divergence must still occur: one that no longer does is a
    // difference mended, and the list has to say so.
    for (const KnownRead& k : kKnownReads)
        if (!report.seen.count(&k))
            ADD_FAILURE() << "LISTED BUT NOT SEEN " << k.file << ": [" << k.section << "] " << k.key << " ("
                          << k.reason << ")";
    report.PrintCounts("hand-made files");
    std::printf("known divergences: %s; and the listed reads\n", kLayoutReason);
    std::printf("not compared: non-ASCII writes to files with a UTF-8 mark (%s)\n", kUtf8MarkReason);
}

TEST(ProfileDiff, RandomFiles) {
    TempDir dir;
    Report report;
    for (const Corpus& c : RandomCorpus(g_randomFiles)) CompareFile(report, dir, c, false);
    report.PrintCounts("random files");
}

TEST(ProfileDiff, Defaults) {
    TempDir dir;
    Report report;
    CompareDefaults(report, dir);
    report.PrintCounts("defaults");
}

}  // namespace

// An argument left after GoogleTest's own sets how many random files to
// compare (default 100), for longer runs by hand.
int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (argc > 1) g_randomFiles = std::atoi(argv[1]);
    return RUN_ALL_TESTS();
}
