// Loading a whole folder of scripts on several threads gives the same records,
// in the order of the names, as loading them one by one.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

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

bool SameRecord(const CScript& a, const CScript& b) {
    return a.m_fileName == b.m_fileName && a.m_description == b.m_description && a.m_enabled == b.m_enabled &&
           a.m_beginHotkey == b.m_beginHotkey && a.m_repeatNumber == b.m_repeatNumber &&
           a.m_actions == b.m_actions;
}

TEST(ScriptFolderLoad, SameRecordsInNameOrderOnAnyNumberOfThreads) {
    testing::TempFolder folder;
    std::vector<std::string> names;
    for (int i = 0; i < 500; ++i) {
        names.push_back("s" + std::to_string(i) + ".txt");
        folder.Write(names.back(), ScriptBytes(i));
    }
    // A name whose file has gone and one that is a folder load as the
    // defaults, as one by one.
    names.insert(names.begin() + 7, "missing.txt");
    std::filesystem::create_directory(folder.file("folder.txt"));
    names.push_back("folder.txt");

    std::vector<CScript> expected;
    for (const std::string& name : names) {
        expected.emplace_back(Edition::V11);
        expected.back().Load(folder.path(), name);
    }
    for (unsigned threads : {1u, 2u, 7u, 0u}) {
        const auto loaded = LoadScriptFiles(folder.path(), names, Edition::V11, threads);
        ASSERT_EQ(loaded.size(), names.size()) << threads;
        for (size_t i = 0; i < names.size(); ++i) {
            ASSERT_NE(loaded[i], nullptr);
            EXPECT_TRUE(SameRecord(*loaded[i], expected[i])) << "threads " << threads << " row " << i;
            EXPECT_EQ(loaded[i]->edition(), Edition::V11);
        }
    }
    EXPECT_EQ(LoadScriptFiles(folder.path(), names, Edition::V10, 3)[0]->edition(), Edition::V10);
}

TEST(ScriptFolderLoad, NoNamesNoRecords) {
    testing::TempFolder folder;
    EXPECT_TRUE(LoadScriptFiles(folder.path(), {}, Edition::V11).empty());
}

// The cache is used only for a file whose name, size and write time it
// holds: rewriting a file's bytes and putting its time back shows which it was.
class ScriptFolderCache : public ::testing::Test {
protected:
    void SetUp() override {
        for (int i = 0; i < 100; ++i) scripts.Write("s" + std::to_string(i) + ".txt", ScriptBytes(i));
    }
    std::vector<std::string> Descriptions(Edition edition = Edition::V11) {
        std::vector<std::string> out;
        for (const auto& s : LoadScriptFolder(scripts.path(), cache, edition, 2)) out.push_back(s->m_description);
        return out;
    }
    std::string Of(const std::vector<std::string>& described, const std::string& name) {
        const auto names = TextFileNames(scripts.path());
        const size_t at = static_cast<size_t>(std::find(names.begin(), names.end(), name) - names.begin());
        return at < described.size() ? described[at] : "(not listed)";
    }
    void RewriteKeepingTime(const std::string& name, const std::string& bytes) {
        const auto time = std::filesystem::last_write_time(scripts.file(name));
        scripts.Write(name, bytes);
        std::filesystem::last_write_time(scripts.file(name), time);
    }
    testing::TempFolder scripts, program;
    const std::string cache = program.file("scripts.cache");
};

TEST_F(ScriptFolderCache, SameRecordsAsReadingEveryFileInTheListingsOrder) {
    for (Edition edition : {Edition::V11, Edition::V10, Edition::V11}) {  // one cache for both editions
        const auto loaded = LoadScriptFolder(scripts.path(), cache, edition);
        const auto expected = LoadScriptFiles(scripts.path(), TextFileNames(scripts.path()), edition);
        ASSERT_EQ(loaded.size(), 100u);
        for (size_t i = 0; i < loaded.size(); ++i) {
            EXPECT_TRUE(SameRecord(*loaded[i], *expected[i])) << i;
            EXPECT_EQ(loaded[i]->edition(), edition);
        }
    }
}

TEST_F(ScriptFolderCache, AFileIsReadAgainWhenItsSizeOrTimeChangedOrItIsNew) {
    Descriptions();
    RewriteKeepingTime("s1.txt", ScriptBytes(7));  // same size, same time: the kept bytes
    scripts.Write("s2.txt", ScriptBytes(20002));   // another size
    scripts.Write("new.txt", ScriptBytes(3));
    std::filesystem::remove(scripts.file("s3.txt"));
    const std::vector<std::string> described = Descriptions();
    ASSERT_EQ(described.size(), 100u);
    EXPECT_EQ(Of(described, "s1.txt"), "script 1");
    EXPECT_EQ(Of(described, "s2.txt"), "script 20002");
    EXPECT_EQ(Of(described, "new.txt"), "script 3");
    RewriteKeepingTime("new.txt", ScriptBytes(4));
    EXPECT_EQ(Descriptions(), described) << "the new file is kept from now on";
}

TEST_F(ScriptFolderCache, ADamagedCacheIsNoCacheAndIsWrittenAgain) {
    Descriptions();
    const std::string good = program.Read("scripts.cache");
    std::string flipped = good;
    flipped[flipped.size() / 2] ^= 0x20;
    for (const std::string& damaged : {good.substr(0, good.size() - 1), flipped, std::string(), std::string(good.size(), 'x')}) {
        program.Write("scripts.cache", damaged);
        RewriteKeepingTime("s1.txt", ScriptBytes(7));
        EXPECT_EQ(Of(Descriptions(), "s1.txt"), "script 7") << "read from the file";
        RewriteKeepingTime("s1.txt", ScriptBytes(1));
        EXPECT_EQ(Of(Descriptions(), "s1.txt"), "script 7") << "kept again";
    }
}

}  // namespace
}  // namespace tarvix
