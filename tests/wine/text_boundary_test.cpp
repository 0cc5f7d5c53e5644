// The boundary between the model's Big5 bytes and the wide Win32 functions,
// run once in a prefix whose code page is 950 and once in one whose code page
// is 1252: texts and file names must come out the same in both.
//
// Files go into a folder whose name holds characters that neither Big5 nor
// code page 1252 has, as a program folder under a user's own name may.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "file_io.h"
#include "script.h"
#include "script_folder.h"
#include "wide_text.h"
#include "wine_support.h"

namespace {

using namespace tarvix;

int g_failures = 0;

void Expect(bool ok, const std::string& what) {
    std::printf("%s - %s\n", ok ? "ok" : "FAIL", what.c_str());
    if (!ok) ++g_failures;
}

// 中文描述 and its Big5 bytes.
const std::wstring kChinese = L"\u4E2D\u6587\u63CF\u8FF0";
const std::string kChineseBig5 = "\xA4\xA4\xA4\xE5\xB4\x79\xADz";

void TextsConvertWithBig5() {
    Expect(WideFromBig5(kChineseBig5) == kChinese, "Big5 bytes read as the characters they are");
    Expect(Big5FromWide(kChinese) == kChineseBig5, "characters written as their Big5 bytes");
    // 許 and 功: a trail byte that is a backslash stays part of its character.
    Expect(WideFromBig5("\xB3\x5C\xA5\x5C") == L"\u8A31\u529F", "trail bytes that look like a backslash");
    Expect(WideFromBig5("a\xA4\x40" "b") == L"a\u4E00b", "mixed with ASCII");
    Expect(WideFromBig5("").empty() && Big5FromWide(L"").empty(), "empty texts");

    // Every character of the code page goes there and back. A few have two
    // codes in Big5 (十 is A2CC and A451); they come back by the one a
    // code-page-950 system writes, which reads as the same character.
    int pairs = 0, lost = 0, twins = 0;
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
        for (int trail = 0x40; trail <= 0xFE; ++trail) {
            if (trail > 0x7E && trail < 0xA1) continue;
            const std::string bytes{static_cast<char>(lead), static_cast<char>(trail)};
            if (::MultiByteToWideChar(kModelCodePage, MB_ERR_INVALID_CHARS, bytes.data(), 2, nullptr, 0) <= 0)
                continue;
            ++pairs;
            const std::wstring wide = WideFromBig5(bytes);
            const std::string back = Big5FromWide(wide);
            if (WideFromBig5(back) != wide || back.size() != 2) ++lost;
            else if (back != bytes) ++twins;
        }
    }
    Expect(pairs > 13000 && lost == 0 && twins < 20,
           "all " + std::to_string(pairs) + " double-byte characters round trip (" + std::to_string(lost) +
               " lost, " + std::to_string(twins) + " by their other code)");
    Expect(Big5FromWide(WideFromBig5("\xA2\xCC")) == "\xA4\x51", "十 by the code a 950 system writes");
}

void BytesThatAreNoBig5() {
    // A lone lead byte still gives a character, never nothing and never the
    // next character swallowed.
    const std::wstring lone = WideFromBig5("a\xA4");
    Expect(lone.size() == 2 && lone[0] == L'a', "a lone lead byte at the end becomes one stand-in");
    Expect(WideFromBig5("\xA4\x20" "b").back() == L'b', "the byte after an invalid pair is kept");
    // Characters Big5 lacks: "?" as a code-page-950 system writes them.
    std::string out = "kept";
    Expect(Big5FromWide(L"\u00E9").size() == 1, "a character Big5 lacks becomes one byte");
    Expect(!Big5FromWideExactly(L"caf\u00E9", out) && out == "kept", "a name Big5 lacks is refused");
    Expect(Big5FromWideExactly(kChinese, out) && out == kChineseBig5, "a Big5 name converts exactly");
    Expect(PathInFolder("C:\\x\\", "\xA4") .empty(), "a name that is no Big5 text names no file");
    Expect(PathInFolder("C:\\x\\", "\xA4\xA4.txt") == "C:\\x\\\xE4\xB8\xAD.txt", "a Big5 name joins a path in UTF-8");
}

bool WideFileHolds(const std::wstring& path, const std::string& bytes) {
    const HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    char buffer[4096];
    DWORD got = 0;
    const BOOL read = ::ReadFile(file, buffer, sizeof buffer, &got, nullptr);
    ::CloseHandle(file);
    return read && std::string(buffer, got) == bytes;
}

void FilesInAFolderNoCodePageHas(const std::wstring& wideFolder) {
    const std::string folder = PathFromWide(wideFolder);
    Expect(WideFromPath(folder) == wideFolder, "the folder goes there and back as a path");

    CScript script;
    script.m_description = kChineseBig5;
    script.ChooseFileName(folder);
    Expect(script.m_fileName == kChineseBig5 + "1.txt", "a new script's name is its Big5 description");
    script.m_actions.push_back({CategoryText, KindSayString, kChineseBig5, 0, 0});
    Expect(script.Save(folder), "the script is saved");
    const std::wstring onDisk = wideFolder + kChinese + L"1.txt";
    Expect(WideFileHolds(onDisk, script.SerializedText()), "under its Chinese name, holding the Big5 bytes");

    const std::vector<std::string> names = TextFileNames(folder);
    Expect(names == std::vector<std::string>{script.m_fileName}, "the folder lists it by its Big5 name");
    CScript loaded;
    loaded.Load(folder, script.m_fileName);
    Expect(loaded.m_description == kChineseBig5 && loaded.m_actions.size() == 2 &&
               loaded.m_actions.front().text == kChineseBig5,
           "it loads again as it was saved");
    const std::vector<ListedFile> listed = ListTextFiles(folder);
    Expect(listed.size() == 1 && listed[0].name == script.m_fileName &&
               listed[0].size == script.SerializedText().size() && listed[0].writeTime != 0,
           "listed with its size and write time");
    const std::string cache = folder + "scripts.cache";
    for (const char* from : {"the file", "the cache"}) {
        const auto scripts = LoadScriptFolder(folder, cache, Edition::V11);
        Expect(scripts.size() == 1 && scripts[0]->m_fileName == script.m_fileName &&
                   scripts[0]->m_actions == loaded.m_actions && CanOpenForReading(cache),
               std::string("the folder loads through ") + from);
    }
    RemoveFile(cache);
    script.ChooseFileName(folder);
    Expect(script.m_fileName == kChineseBig5 + "2.txt", "the taken name is seen");
    Expect(RemoveFile(PathInFolder(folder, kChineseBig5 + "1.txt")) &&
               ::GetFileAttributesW(onDisk.c_str()) == INVALID_FILE_ATTRIBUTES,
           "and deleted by that name");
}

void AFileNameBig5Lacks(const std::wstring& wideFolder) {
    // Made by someone else: the program may list it only by a name that
    // opens this very file.
    const std::wstring foreign = wideFolder + L"caf\u00E9 \u015D.txt";
    const HANDLE file = ::CreateFileW(foreign.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    ::WriteFile(file, "foreign", 7, &written, nullptr);
    ::CloseHandle(file);

    // Wine gives every long name a short one, so the file must be listed.
    const std::string folder = PathFromWide(wideFolder);
    const std::vector<std::string> names = TextFileNames(folder);
    std::string read;
    Expect(names.size() == 1 && ReadWholeFile(PathInFolder(folder, names[0]), read) && read == "foreign",
           "listed by its short name, which opens it");
    ::DeleteFileW(foreign.c_str());
}

// The save goes through a temporary file moved over the old one: a save
// that cannot finish leaves the old file as it was, and none leaves the
// temporary file behind.
void SavesReplaceWholeOrNotAtAll(const std::wstring& wideFolder) {
    const std::string folder = PathFromWide(wideFolder);
    const std::string path = PathInFolder(folder, kChineseBig5 + ".txt");
    const std::wstring wide = wideFolder + kChinese + L".txt";
    const std::wstring temp = wide + L".tmp";
    Expect(WriteFileAtomically(path, "first") && WriteFileAtomically(path, "second\r\n") &&
               WideFileHolds(wide, "second\r\n") && ::GetFileAttributesW(temp.c_str()) == INVALID_FILE_ATTRIBUTES,
           "a save replaces the file and leaves no temporary file");
    // The temporary file cannot be made: a folder stands in its place.
    ::CreateDirectoryW(temp.c_str(), nullptr);
    Expect(!WriteFileAtomically(path, "third") && WideFileHolds(wide, "second\r\n"),
           "a save that cannot write fails and keeps the old file");
    ::RemoveDirectoryW(temp.c_str());
    // The move cannot be made: the old file is open without sharing.
    const HANDLE held = ::CreateFileW(wide.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    Expect(!WriteFileAtomically(path, "fourth") && ::GetFileAttributesW(temp.c_str()) == INVALID_FILE_ATTRIBUTES,
           "a save that cannot move fails and removes its temporary file");
    ::CloseHandle(held);
    Expect(WideFileHolds(wide, "second\r\n"), "and the old file is as it was");
    ::DeleteFileW(wide.c_str());
}

}  // namespace

int main() {
    std::printf("Big5 text boundary (system code page %u)\n", ::GetACP());
    TextsConvertWithBig5();
    BytesThatAreNoBig5();
    // é and ŝ: in no narrow code page the two runs use.
    const tarvix::wine_test::TempFolder temp(L"tarvix \u00E9\u015D");
    const std::wstring& folder = temp.path();
    FilesInAFolderNoCodePageHas(folder);
    AFileNameBig5Lacks(folder);
    SavesReplaceWholeOrNotAtAll(folder);
    std::printf("%d failure(s)\n", g_failures);
    return g_failures ? 1 : 0;
}
