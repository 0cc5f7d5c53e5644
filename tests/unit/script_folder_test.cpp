// Loading a whole folder of scripts on several threads gives the same records,
// in the order of the names, as loading them one by one; the scripts cache
// gives the same records again without opening a file that did not change.
#include <gtest/gtest.h>

#include <chrono>
#include <map>

#include "file_io.h"
#include "script.h"
#include "script_folder.h"
#include "test_support.h"

namespace tarvix {
namespace {

std::string ScriptBytes(int i) {
    return "[General]\r\nDescription=script " + std::to_string(i) + "\r\nBeginHotkey=" +
           std::to_string(112 + i % 12) + "\r\nEnable=" + std::to_string(i % 2) +
           "\r\n[Repeat]\r\nType=0\r\nNumber=" + std::to_string(i) + "\r\n[Script]\r\nKeyPress " +
           std::to_string(65 + i % 26) + " 1\r\nDelay " + std::to_string(i) + "\r\n";
}

using testing::Fields;

std::vector<std::string> Fields(const std::vector<std::unique_ptr<CScript>>& scripts) {
    std::vector<std::string> out;
    for (const auto& s : scripts) out.push_back(s ? Fields(*s) : "none");
    return out;
}

// A name whose file has gone and one that is a folder load as the defaults,
// as one by one.
TEST(ScriptFolderLoad, SameRecordsInNameOrderOnAnyNumberOfThreads) {
    testing::TempFolder folder;
    std::vector<std::string> names;
    for (int i = 0; i < 500; ++i) {
        names.push_back("s" + std::to_string(i) + ".txt");
        folder.Write(names.back(), ScriptBytes(i));
    }
    names.insert(names.begin() + 7, "missing.txt");
    std::filesystem::create_directory(folder.file("folder.txt"));
    names.push_back("folder.txt");
    for (Edition edition : {Edition::V10, Edition::V11}) {
        std::vector<std::unique_ptr<CScript>> expected;
        for (const std::string& name : names) {
            expected.push_back(std::make_unique<CScript>(edition));
            expected.back()->Load(folder.path(), name);
        }
        for (unsigned threads : {1u, 2u, 7u, 0u})
            EXPECT_EQ(Fields(LoadScriptFiles(folder.path(), names, edition, threads)), Fields(expected)) << threads;
    }
    EXPECT_TRUE(LoadScriptFiles(folder.path(), {}, Edition::V11).empty());
}

// The cache is used only for a file whose name, size and write time it
// holds: rewriting a file's bytes and setting its time shows which it was.
class ScriptFolderCache : public ::testing::Test {
protected:
    void SetUp() override {
        for (int i = 0; i < 100; ++i) scripts.Write("s" + std::to_string(i) + ".txt", ScriptBytes(i));
    }
    std::vector<std::string> Loaded(Edition edition = Edition::V11) {
        return Fields(LoadScriptFolder(scripts.path(), cache, edition, 2));
    }
    // One load's descriptions by file name.
    std::map<std::string, std::string> Descriptions() {
        std::map<std::string, std::string> described;
        for (const auto& s : LoadScriptFolder(scripts.path(), cache, Edition::V11, 2))
            described[s->m_fileName] = s->m_description;
        return described;
    }
    // Its write time moved on by `later`, or kept.
    void Rewrite(const std::string& name, int bytesOf, std::chrono::seconds later = {}) {
        const auto time = std::filesystem::last_write_time(scripts.file(name));
        scripts.Write(name, ScriptBytes(bytesOf));
        std::filesystem::last_write_time(scripts.file(name), time + later);
    }
    testing::TempFolder scripts, program;
    const std::string cache = program.file("scripts.cache");
};

// One cache for both editions, in the listing's order.
TEST_F(ScriptFolderCache, SameRecordsAsReadingEveryFile) {
    for (Edition edition : {Edition::V11, Edition::V10, Edition::V11})
        EXPECT_EQ(Loaded(edition), Fields(LoadScriptFiles(scripts.path(), TextFileNames(scripts.path()), edition)));
}

TEST_F(ScriptFolderCache, AFileIsReadAgainWhenItsSizeOrTimeChangedOrItIsNew) {
    Loaded();
    Rewrite("s1.txt", 7);                            // same size, same time: the kept bytes
    Rewrite("s2.txt", 9, std::chrono::seconds(1));   // same size, another time
    Rewrite("s3.txt", 20003);                        // another size, the same time
    scripts.Write("new.txt", ScriptBytes(4));
    std::filesystem::remove(scripts.file("s4.txt"));
    auto described = Descriptions();
    EXPECT_EQ(described.size(), 100u);
    EXPECT_EQ(described["s1.txt"], "script 1");
    EXPECT_EQ(described["s2.txt"], "script 9");
    EXPECT_EQ(described["s3.txt"], "script 20003");
    EXPECT_EQ(described["new.txt"], "script 4");
    Rewrite("new.txt", 5);
    EXPECT_EQ(Descriptions()["new.txt"], "script 4") << "the new file is kept from now on";
}

TEST_F(ScriptFolderCache, ADamagedCacheIsNoCacheAndIsWrittenAgain) {
    Loaded();
    const std::string good = program.Read("scripts.cache");
    std::string flipped = good;
    flipped[flipped.size() / 2] ^= 0x20;
    for (const std::string& damaged :
         {good.substr(0, good.size() - 1), flipped, std::string(), std::string(good.size(), 'x')}) {
        program.Write("scripts.cache", damaged);
        Rewrite("s1.txt", 7);
        EXPECT_EQ(Descriptions()["s1.txt"], "script 7") << "read from the file";
        Rewrite("s1.txt", 1);
        EXPECT_EQ(Descriptions()["s1.txt"], "script 7") << "kept again";
    }
}

}  // namespace
}  // namespace tarvix
