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
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "ascii.h"
#include "profile.h"
#include "wine_support.h"

namespace {

using tarvix::ProfileDocument;

struct Corpus {
    std::string name, text;
};

// A handful of files for what the random ones below rarely make: the
// program's own files, numbers, Big5 trail bytes that look like "\\", odd
// headers, a UTF-8 mark and NUL bytes. Line ends, blanks, quotes, case and
// keys without "=" come up in the random files.
const char kNulBytes[] = "[General]\r\nEnable=1\0junk\r\nDescr\0iption=x\r\n[Rep\0eat]\r\nNumber=2\r\n";
std::vector<Corpus> FixedCorpus() {
    return {
        {"script",  // Big5 "test" in the description; "Enable=" in the actions too
         "[General]\r\nDescription=\xB4\xFA\xB8\xD5 script\r\nBeginHotkey=123\r\nRunOnce=1\r\nEnable=1\r\n"
         "[Repeat]\r\nType=0\r\nNumber=1\r\n\r\n[Script]\r\nKeyPress 65 1\r\nEnable=0\nKeyUp 65"},
        {"numbers",
         "[General]\r\nBeginHotkey= 0x41\r\nEnable=+1\r\n[N]\r\na=12abc\r\nb=-5\r\nd= 0x10\r\ne=0x10\r\n"
         "f=99999999999\r\nh=2147483648\r\nk=\"42\"\r\nl=' 8 '\r\nm=--1\r\no=0b101\r\np=0o17\r\nt=3.9\r\n"},
        {"big5",
         "[General]\r\nDescription=\xB3\\\xA5\\\xBB\\ \xA4\xA4\xA4\xE5\r\n"
         "\xA4\xA4\xA4\xE5=\xB4\xFA\xB8\xD5\r\n[\xB4\xFA\xB8\xD5]\r\nk=\xA4\xA4\r\n"},
        {"odd-headers",
         "[General] ; comment\r\nEnable=0\r\n[Repeat\r\nNumber=4\r\n[]\r\nk=1\r\n[A]x]y\r\nz=1\r\n"
         " [ Spaced Name ] \r\nq=2\r\n[Script]]\r\nw=1\r\n"},
        {"utf8-mark", "\xEF\xBB\xBFTop=1\r\n[General]\r\nEnable=0\r\n"},
        {"nul-bytes", std::string(kNulBytes, sizeof kNulBytes - 1)},
    };
}

// Files of the characters that mean something to the profile rules, so that
// the cases nobody thought of turn up too. Fixed seed: every run sees the same.
std::vector<Corpus> RandomCorpus(int count) {
    static const char kAlphabet[] = "[]= \t\r\n\"';aAkK01-+";
    std::mt19937 rng(20240607);
    std::uniform_int_distribution<int> length(0, 90), pick(0, sizeof kAlphabet - 2);
    std::vector<Corpus> out;
    for (int i = 0; i < count; ++i) {
        std::string text;
        for (int n = length(rng); n > 0; --n) text += kAlphabet[pick(rng)];
        out.push_back({"random-" + std::to_string(i), text});
    }
    return out;
}

// Reads where ours and the platform are meant to differ: the platform reads
// "0x" as hex, "0b" as binary and "0o" as octal; ours reads decimal, 0.
int g_radixReads = 0;

bool HasRadixPrefix(const std::string& value) {
    const size_t b = value.find_first_not_of(" \t");
    return b != std::string::npos && value.size() > b + 1 && value[b] == '0' &&
           std::string_view("xXbBoO").find(value[b + 1]) != std::string_view::npos;
}

// Two more differences are meant. A file that starts with a UTF-8 mark the
// platform takes for UTF-8: it converts its values from and to the code page;
// ours keeps the code page bytes the program's records hold and skips only
// the mark, so such files get ASCII writes only, where both agree byte for
// byte. And the platform writes the whole file anew (spacing around names and
// "=", blank lines, line ends, repeated nameless keys, a last line without a
// line end all change, and the header of a section named "" by "[]" is
// dropped, so that section's keys join the one above it, a fault ours does not
// copy); ours changes only the bytes of the key it writes. That difference is
// accepted only where the platform, rewriting our file the same way, gets
// exactly its own bytes, and ours changed a single stretch of one line.
constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

// A name never used before in a folder of this run: the platform caches
// profiles by name.
std::string NewPath() {
    static const std::wstring folder = tarvix::wine_test::NewTempFolder(L"tarvix-profile-diff");
    static int made = 0;
    return std::string(folder.begin(), folder.end()) + "p" + std::to_string(made++) + ".ini";
}

std::string Bytes(const std::string& path) {
    return tarvix::wine_test::FileBytes(std::wstring(path.begin(), path.end()));
}

std::string NewFile(const std::string& bytes) {
    const std::string path = NewPath();
    tarvix::wine_test::WriteBytes(std::wstring(path.begin(), path.end()), bytes);
    return path;
}

void Flush(const std::string& path) { WritePrivateProfileStringA(nullptr, nullptr, nullptr, path.c_str()); }

std::string PlatformString(const std::string& path, const std::string& section, const std::string& key,
                           const std::string& def) {
    static std::vector<char> buffer(1 << 20);
    const DWORD n = GetPrivateProfileStringA(section.c_str(), key.c_str(), def.c_str(), buffer.data(),
                                             static_cast<DWORD>(buffer.size()), path.c_str());
    return std::string(buffer.data(), n);
}

// The file as the platform lays it out: a key written to the nameless
// section and taken away again makes it write the file anew without
// changing what it holds.
std::string PlatformLayout(const std::string& bytes) {
    const std::string path = NewFile(bytes);
    WritePrivateProfileStringA("", "tarvix-layout-probe", "1", path.c_str());
    WritePrivateProfileStringA("", "tarvix-layout-probe", nullptr, path.c_str());
    Flush(path);
    return Bytes(path);
}

std::string Shown(std::string_view s) {
    std::string out;
    for (unsigned char c : s.substr(0, 160)) {
        char b[8];
        std::snprintf(b, sizeof b, c >= 0x20 && c < 0x7F && c != '\\' ? "%c" : "\\x%02X", c);
        out += b;
    }
    return s.size() > 160 ? out + "...(" + std::to_string(s.size()) + " bytes)" : out;
}

// Each difference fails the test; the first 400 are shown in full, enough to
// see every kind without drowning the log.
void Check(bool ok, const std::string& file, const std::string& what, std::string_view ours,
           std::string_view platform) {
    static int failed = 0;
    if (ok || ++failed > 401) return;
    if (failed == 401) ADD_FAILURE() << "more differences follow, not shown";
    else ADD_FAILURE() << "DIFF " << file << ": " << what << "\n  ours:     " << Shown(ours) << "\n  platform: " << Shown(platform);
}

struct Probe {
    std::string section, key;
};

std::string TrimBlanks(std::string_view s) {
    const size_t b = s.find_first_not_of(" \t");
    return b == std::string_view::npos ? "" : std::string(s.substr(b, s.find_last_not_of(" \t") - b + 1));
}

std::string CutAtNul(const std::string& s) { return s.substr(0, s.find('\0')); }

// The names the file seems to hold, found the simple way (the first and last
// `maxFound`: long files repeat themselves between), each also in upper case,
// plus the names the program asks for and some it never finds. Which names
// are asked is all this decides: the answers come from ours and the platform.
std::vector<Probe> ProbesFor(const std::string& text, size_t maxFound) {
    std::vector<Probe> found;
    std::string section;
    for (size_t pos = text.rfind(kUtf8Mark, 0) == 0 ? kUtf8Mark.size() : 0; pos <= text.size();) {
        const size_t end = std::min(text.find_first_of("\r\n", pos), text.size());
        const std::string line = TrimBlanks(std::string_view(text).substr(pos, end - pos));
        pos = end + 1;
        const size_t close = line.rfind(']');
        if (line.empty()) continue;
        if (line[0] == '[' && close != std::string::npos) {
            section = CutAtNul(TrimBlanks(line.substr(1, close - 1)));
            found.push_back({section, "tarvix-absent"});
        } else {
            found.push_back({section, CutAtNul(TrimBlanks(line.substr(0, line.find('='))))});
        }
    }
    if (found.size() > maxFound) found.erase(found.begin() + maxFound / 2, found.end() - maxFound / 2);
    std::vector<Probe> probes = {{"General", "Enable"}, {"General", "Description"}, {"General", "BeginHotkey"},
                                 {"General", "RunOnce"}, {"Repeat", "Number"},       {"Script", "Enable"},
                                 {"Script", "KeyPress 65 1"}, {"", "Enable"},        {"Absent", "Enable"},
                                 {" general\t", " ENABLE "}};
    for (const Probe& p : found) {
        probes.push_back(p);
        probes.push_back({tarvix::ascii::Upper(p.section), tarvix::ascii::Upper(p.key)});
    }
    return probes;
}

// A listed read also covers the same key asked in another case, and the
// file as it stands after each write.
void CompareReads(const std::string& file, const std::string& text, const std::vector<Probe>& probes) {
    static const std::string kAbsent = "\x01tarvix-absent";
    const std::string path = NewFile(text);
    const ProfileDocument doc(text);
    for (const Probe& p : probes) {
        const std::string what = "[" + p.section + "] " + p.key;
        const std::string ours = doc.GetString(p.section, p.key, kAbsent);
        const std::string platform = PlatformString(path, p.section, p.key, kAbsent);
        Check(ours == platform, file, "string " + what, ours, platform);
        Check(doc.HasKey(p.section, p.key) == (platform != kAbsent), file, "has " + what, ours, platform);
        const int32_t ourNumber = doc.GetInt(p.section, p.key, -7777);
        const auto platformNumber =
            static_cast<int32_t>(GetPrivateProfileIntA(p.section.c_str(), p.key.c_str(), -7777, path.c_str()));
        if (ourNumber != platformNumber && ourNumber == 0 && HasRadixPrefix(ours)) ++g_radixReads;
        else Check(ourNumber == platformNumber, file, "int " + what, std::to_string(ourNumber), std::to_string(platformNumber));
    }
}

bool HasLineEnd(std::string_view s) { return s.find_first_of("\r\n") != std::string_view::npos; }

// Ours may only replace bytes within one line, or add whole lines.
bool IsOneSplice(std::string_view before, std::string_view after) {
    size_t prefix = 0, suffix = 0;
    while (prefix < before.size() && prefix < after.size() && before[prefix] == after[prefix]) ++prefix;
    while (suffix < before.size() - prefix && suffix < after.size() - prefix &&
           before[before.size() - 1 - suffix] == after[after.size() - 1 - suffix])
        ++suffix;
    return !HasLineEnd(before.substr(prefix, before.size() - prefix - suffix));
}

bool IsAscii(std::string_view s) {
    return std::all_of(s.begin(), s.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// One write applied to two copies of `before`: ours through WriteProfileKey,
// the platform's through WritePrivateProfileStringA. Returns our file.
std::string CompareWrite(const Corpus& c, const std::string& before, const Probe& w, const std::string& value,
                         const std::string& what, std::vector<Probe> probes) {
    const std::string ourPath = NewFile(before), platformPath = NewFile(before);
    tarvix::WriteProfileKey(ourPath, w.section, w.key, value);
    WritePrivateProfileStringA(w.section.c_str(), w.key.c_str(), value.c_str(), platformPath.c_str());
    Flush(platformPath);
    const std::string ours = Bytes(ourPath), platform = Bytes(platformPath);
    Check(IsOneSplice(before, ours), c.name, what + ": ours changed other lines", ours, before);
    // Both files as the platform lays them out: what is left is a difference
    // in what they hold.
    if (ours != platform) {
        const std::string ourLayout = PlatformLayout(ours), platformLayout = PlatformLayout(platform);
        Check(ourLayout == platformLayout, c.name, what + ": bytes (in the platform's layout)", ourLayout, platformLayout);
    }
    // Our file reads the same to ours and to the platform.
    probes.push_back(w);
    CompareReads(c.name + " after " + what, ours, probes);
    return ours;
}

// The hand-made files with every name they hold and every write also in
// turn, each on our result of the last (each step starts both sides from the
// same bytes, so one difference does not carry into every later step); the
// random ones, many and small, more lightly, since each platform call under
// Wine is a round trip to its server. After a write, the file is read again
// for fewer names: the random files' only for those the program asks for and
// the one written.
void CompareFile(const Corpus& c, bool full) {
    const std::string path = NewFile(c.text);
    Check(ProfileDocument::FromFile(path).Text() == c.text, c.name, "file read as is",
          ProfileDocument::FromFile(path).Text(), c.text);
    const std::vector<Probe> probes = ProbesFor(c.text, full ? 80 : 24);
    CompareReads(c.name, c.text, probes);
    std::vector<std::pair<Probe, std::string>> writes = {
        {{"General", "Enable"}, "0"},          {{"General", "Description"}, "\xB4\xFA\xB8\xD5 new"},
        {{"Repeat", "Number"}, "12"},          {{"General", "Added"}, "v"},
        {{"Brand New", "Key"}, "1"},           {{"Script", "Enable"}, "1"},
        {{"", "Top"}, "1"},                    {{"general", " ENABLE "}, "  1  "},
        {{"General", "Enable"}, ""},           {{"General", "Enable"}, "x\r\ninjected=1"},
    };
    // A name from the file itself, so that odd existing lines get written too.
    if (probes.size() > 10) writes.push_back({probes[10], "w"});
    if (c.text.rfind(kUtf8Mark, 0) == 0)
        writes.erase(std::remove_if(writes.begin(), writes.end(), [](const auto& w) {
                         return !IsAscii(w.first.section) || !IsAscii(w.first.key) || !IsAscii(w.second);
                     }), writes.end());
    const std::vector<Probe> fewer = ProbesFor(c.text, full ? 8 : 0);
    std::string now = c.text;
    for (const auto& [w, value] : writes) {
        const std::string what = "write [" + w.section + "] " + w.key + "=" + Shown(value);
        CompareWrite(c, c.text, w, value, what, fewer);
        if (full) now = CompareWrite(c, now, w, value, "in turn, " + what, fewer);
    }
}

TEST(ProfileDiff, HandMadeFiles) {
    for (const Corpus& c : FixedCorpus()) CompareFile(c, true);
    // The meant difference must still occur: one that no longer does is a
    // difference mended, and the comment above has to say so.
    EXPECT_GT(g_radixReads, 0) << "the platform reads 0x, 0b and 0o as ours does now";
}

TEST(ProfileDiff, RandomFiles) {
    for (const Corpus& c : RandomCorpus(100)) CompareFile(c, false);
}

// What is left of a default when it is given back.
TEST(ProfileDiff, Defaults) {
    const std::string path = NewFile("[General]\r\nEnable=1\r\n");
    const ProfileDocument doc("[General]\r\nEnable=1\r\n");
    for (const char* def : {"", " ", "  ", "x  ", " lead", "\"q\"", "'q'  ", "\"", "'q\"", "\"\"", "\"a\"\t", "tab\t", "''"}) {
        const std::string ours = doc.GetString("General", "Missing", def);
        const std::string platform = PlatformString(path, "General", "Missing", def);
        Check(ours == platform, "defaults", "default \"" + Shown(def) + "\"", ours, platform);
    }
}

}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    std::printf("code page %u\n", GetACP());
    return RUN_ALL_TESTS();
}
