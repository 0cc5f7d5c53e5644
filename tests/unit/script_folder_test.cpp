// Loading a whole folder of scripts on several threads gives the same records,
// in the order of the names, as loading them one by one.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "script.h"
#include "script_folder.h"
#include "temp_folder.h"

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

}  // namespace
}  // namespace tarvix
