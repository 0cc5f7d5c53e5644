// Whole-file reads and the one-step replacement that saves rely on.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "file_io.h"
#include "temp_folder.h"

namespace tarvix {
namespace {

using testing::TempFolder;

TEST(FileIo, ReadsEveryByte) {
    TempFolder dir;
    std::string bytes;
    for (int i = 0; i < 200000; ++i) bytes += static_cast<char>(i * 7);
    dir.Write("f", bytes);
    std::string read = "stale";
    ASSERT_TRUE(ReadWholeFile(dir.file("f"), read));
    EXPECT_EQ(read, bytes);
    EXPECT_FALSE(ReadWholeFile(dir.file("missing"), read));
    EXPECT_FALSE(CanOpenForReading(dir.file("missing")));
    EXPECT_TRUE(CanOpenForReading(dir.file("f")));
}

TEST(FileIo, AtomicWriteReplacesAndLeavesNoTemporary) {
    TempFolder dir;
    dir.Write("s.txt", "old contents that are longer");
    ASSERT_TRUE(WriteFileAtomically(dir.file("s.txt"), "new"));
    EXPECT_EQ(dir.Read("s.txt"), "new");
    EXPECT_EQ(dir.Count(), 1u);
    ASSERT_TRUE(WriteFileAtomically(dir.file("fresh.txt"), std::string("\0\r\n", 3)));
    EXPECT_EQ(dir.Read("fresh.txt"), std::string("\0\r\n", 3));
}

TEST(FileIo, FailedWriteKeepsTheOldFile) {
    TempFolder dir;
    dir.Write("s.txt", "old");
    // A folder in the temporary file's place makes the write fail before the
    // old file is touched.
    std::filesystem::create_directory(dir.file("s.txt.tmp"));
    EXPECT_FALSE(WriteFileAtomically(dir.file("s.txt"), "new"));
    EXPECT_EQ(dir.Read("s.txt"), "old");
    EXPECT_FALSE(WriteFileAtomically(dir.file("no/such/folder.txt"), "x"));
}

TEST(FileIo, StaleTemporaryFromACrashIsOverwritten) {
    TempFolder dir;
    dir.Write("s.txt.tmp", "half a file from an earlier crash");
    ASSERT_TRUE(WriteFileAtomically(dir.file("s.txt"), "whole"));
    EXPECT_EQ(dir.Read("s.txt"), "whole");
    EXPECT_FALSE(dir.Exists("s.txt.tmp"));
}

TEST(FileIo, RemoveFile) {
    TempFolder dir;
    dir.Write("a", "x");
    EXPECT_TRUE(RemoveFile(dir.file("a")));
    EXPECT_FALSE(RemoveFile(dir.file("a")));
}

TEST(FileIo, TextFilesOfAFolderByTheirBig5Names) {
    TempFolder dir;
    // 中文 in Big5: the name goes to the file system byte for byte here.
    const std::string chinese = "\xA4\xA4\xA4\xE5.txt";
    dir.Write(chinese, "x");
    dir.Write("UPPER.TXT", "x");
    dir.Write("notes.txt.tmp", "x");
    dir.Write("readme", "x");
    std::filesystem::create_directory(dir.file("folder.txt"));
    std::vector<std::string> names = TextFileNames(dir.path());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"UPPER.TXT", chinese}));
    EXPECT_TRUE(TextFileNames(dir.file("missing/")).empty());

    std::string read;
    ASSERT_TRUE(ReadWholeFile(PathInFolder(dir.path(), chinese), read));
    EXPECT_EQ(read, "x");
    EXPECT_TRUE(RemoveFile(PathInFolder(dir.path(), "\xA4\xA4\xA4\xE5.txt")));
}

}  // namespace
}  // namespace tarvix
