// The boundary between the model's Big5 bytes and the wide Win32 functions,
// run once in a prefix whose code page is 950 and once in one whose code page
// is 1252: texts and file names must come out the same in both. Files go into
// a folder whose name holds characters that neither Big5 nor code page 1252
// has, as a program folder under a user's own name may.
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
using tarvix::wine_test::FileBytes;

int g_failures = 0;

void Expect(bool ok, const std::string& what) {
    std::printf("%s - %s\n", ok ? "ok" : "FAIL", what.c_str());
    if (!ok) ++g_failures;
}

// 中文描述 and its Big5 bytes.
const std::wstring kChinese = L"\u4E2D\u6587\u63CF\u8FF0";
const std::string kChineseBig5 = "\xA4\xA4\xA4\xE5\xB4\x79\xADz";

void Texts() {
    const struct {
        std::string big5;
        std::wstring wide;
        const char* what;
    } cases[] = {
        {kChineseBig5, kChinese, "Chinese text"},
        {"\xB3\x5C\xA5\x5C", L"\u8A31\u529F", "trail bytes that look like a backslash (許功)"},
        {"a\xA4\x40" "b", L"a\u4E00b", "mixed with ASCII"},
        {"", L"", "empty text"},
    };
    for (const auto& c : cases)
        Expect(WideFromBig5(c.big5) == c.wide && Big5FromWide(c.wide) == c.big5, c.what);

    // Every double-byte character of the code page goes there and back. A
    // few have two codes (十 is A2CC and A451); they come back by the one a
    // code-page-950 system writes.
    int pairs = 0, lost = 0, twins = 0;
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
        for (int trail = 0x40; trail <= 0xFE; ++trail) {
            const std::string bytes{static_cast<char>(lead), static_cast<char>(trail)};
            if (::MultiByteToWideChar(950, MB_ERR_INVALID_CHARS, bytes.data(), 2, nullptr, 0) <= 0) continue;
            ++pairs;
            const std::string back = Big5FromWide(WideFromBig5(bytes));
            if (back.size() != 2 || WideFromBig5(back) != WideFromBig5(bytes)) ++lost;
            else twins += back != bytes;
        }
    }
    Expect(pairs > 13000 && lost == 0 && twins < 20, std::to_string(pairs) + " characters round trip, " +
                                                         std::to_string(lost) + " lost, " + std::to_string(twins) +
                                                         " by their other code");
    Expect(Big5FromWide(WideFromBig5("\xA2\xCC")) == "\xA4\x51", "十 by the code a 950 system writes");

    // Bytes that are no Big5, and characters Big5 lacks.
    const std::wstring lone = WideFromBig5("a\xA4");
    Expect(lone.size() == 2 && lone[0] == L'a', "a lone lead byte at the end becomes one stand-in");
    Expect(WideFromBig5("\xA4\x20" "b").back() == L'b', "the byte after an invalid pair is kept");
    std::string out = "kept";
    Expect(Big5FromWide(L"\u00E9").size() == 1, "a character Big5 lacks becomes one byte");
    Expect(!Big5FromWideExactly(L"caf\u00E9", out) && out == "kept", "a name Big5 lacks is refused");
    Expect(PathInFolder("C:\\x\\", "\xA4").empty(), "a name that is no Big5 text names no file");
    Expect(PathInFolder("C:\\x\\", "\xA4\xA4.txt") == "C:\\x\\\xE4\xB8\xAD.txt", "a Big5 name joins a path in UTF-8");
}

void ScriptFiles(const std::wstring& wideFolder) {
    const std::string folder = PathFromWide(wideFolder);
    Expect(WideFromPath(folder) == wideFolder, "the folder goes there and back as a path");
    CScript script;
    script.m_description = kChineseBig5;
    script.ChooseFileName(folder);
    script.m_actions.push_back({CategoryText, KindSayString, kChineseBig5, 0, 0});
    const std::wstring onDisk = wideFolder + kChinese + L"1.txt";
    Expect(script.Save(folder) && FileBytes(onDisk) == script.SerializedText(),
           "saved under its Chinese name, holding the Big5 bytes");
    const std::vector<ListedFile> listed = ListTextFiles(folder);
    Expect(listed.size() == 1 && listed[0].name == kChineseBig5 + "1.txt" &&
               listed[0].size == script.SerializedText().size() && listed[0].writeTime != 0,
           "listed by its Big5 name with its size and write time");
    const auto scripts = LoadScriptFolder(folder, folder + "scripts.cache", Edition::V11);
    Expect(scripts.size() == 1 && scripts[0]->m_description == kChineseBig5 &&
               scripts[0]->m_actions.front().text == kChineseBig5,
           "it loads again as it was saved");
    RemoveFile(folder + "scripts.cache");
    script.ChooseFileName(folder);
    Expect(script.m_fileName == kChineseBig5 + "2.txt", "the taken name is seen");
    Expect(RemoveFile(PathInFolder(folder, kChineseBig5 + "1.txt")) && FileBytes(onDisk) == "(none)",
           "and deleted by that name");

    // Made by someone else: Wine gives every long name a short one, which
    // the program lists and which opens this very file.
    wine_test::WriteBytes(wideFolder + L"caf\u00E9 \u015D.txt", "foreign");
    const std::vector<std::string> names = TextFileNames(folder);
    std::string read;
    Expect(names.size() == 1 && ReadWholeFile(PathInFolder(folder, names[0]), read) && read == "foreign",
           "a name Big5 lacks is listed by its short name, which opens it");
    ::DeleteFileW((wideFolder + L"caf\u00E9 \u015D.txt").c_str());
}

// The save goes through a temporary file moved over the old one: a save that
// cannot finish leaves the old file as it was, and none leaves the temporary
// file behind.
void SavesReplaceWholeOrNotAtAll(const std::wstring& wideFolder) {
    const std::string path = PathInFolder(PathFromWide(wideFolder), kChineseBig5 + ".txt");
    const std::wstring wide = wideFolder + kChinese + L".txt";
    const std::wstring temp = wide + L".tmp";
    Expect(WriteFileAtomically(path, "first") && WriteFileAtomically(path, "second\r\n") &&
               FileBytes(wide) == "second\r\n" && FileBytes(temp) == "(none)",
           "a save replaces the file and leaves no temporary file");
    ::CreateDirectoryW(temp.c_str(), nullptr);  // the temporary file cannot be made
    Expect(!WriteFileAtomically(path, "third") && FileBytes(wide) == "second\r\n",
           "a save that cannot write fails and keeps the old file");
    ::RemoveDirectoryW(temp.c_str());
    // The move cannot be made: the old file is open without sharing.
    const HANDLE held = ::CreateFileW(wide.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    Expect(!WriteFileAtomically(path, "fourth") && ::GetFileAttributesW(temp.c_str()) == INVALID_FILE_ATTRIBUTES,
           "a save that cannot move fails and removes its temporary file");
    ::CloseHandle(held);
    Expect(FileBytes(wide) == "second\r\n", "and the old file is as it was");
    ::DeleteFileW(wide.c_str());
}

}  // namespace

int main() {
    std::printf("Big5 text boundary (system code page %u)\n", ::GetACP());
    Texts();
    // é and ŝ: in no narrow code page the two runs use.
    const std::wstring folder = tarvix::wine_test::NewTempFolder(L"tarvix \u00E9\u015D");
    ScriptFiles(folder);
    SavesReplaceWholeOrNotAtAll(folder);
    std::printf("%d failure(s)\n", g_failures);
    return g_failures ? 1 : 0;
}
