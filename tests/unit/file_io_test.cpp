// Whole-file reads, the one-step replacement that saves rely on, and the
// script files of a folder.
#include <gtest/gtest.h>

#include <algorithm>

#include "file_io.h"
#include "test_support.h"

namespace tarvix {
namespace {

using testing::TempFolder;

TEST(FileIo, ReadsEveryByteAndRemoves) {
    TempFolder dir;
    std::string bytes;
    for (int i = 0; i < 200000; ++i) bytes += static_cast<char>(i * 7);
    dir.Write("f", bytes);
    std::string read = "stale";
    ASSERT_TRUE(ReadWholeFile(dir.file("f"), read));
    EXPECT_EQ(read, bytes);
    EXPECT_TRUE(CanOpenForReading(dir.file("f")));
    EXPECT_TRUE(RemoveFile(dir.file("f")));
    EXPECT_FALSE(RemoveFile(dir.file("f")) || ReadWholeFile(dir.file("f"), read) || CanOpenForReading(dir.file("f")));
}

// A stale temporary from a crash is overwritten; a folder in the temporary
// file's place makes the write fail before the old file is touched.
TEST(FileIo, AtomicWriteReplacesWholeOrLeavesTheOldFile) {
    TempFolder dir;
    dir.Write("s.txt", "old contents that are longer");
    dir.Write("s.txt.tmp", "half a file from an earlier crash");
    ASSERT_TRUE(WriteFileAtomically(dir.file("s.txt"), std::string("\0\r\n", 3)));
    EXPECT_EQ(dir.Read("s.txt"), std::string("\0\r\n", 3));
    EXPECT_EQ(dir.Count(), 1u) << "no temporary left";
    std::filesystem::create_directory(dir.file("s.txt.tmp"));
    EXPECT_FALSE(WriteFileAtomically(dir.file("s.txt"), "new"));
    EXPECT_EQ(dir.Read("s.txt"), std::string("\0\r\n", 3));
    EXPECT_FALSE(WriteFileAtomically(dir.file("no/such/folder.txt"), "x"));
}

TEST(FileIo, TextFilesOfAFolderByTheirBig5Names) {
    TempFolder dir;
    const std::string chinese = "\xA4\xA4\xA4\xE5.txt";  // 中文, byte for byte on this file system
    for (const char* name : {"UPPER.TXT", "notes.txt.tmp", "readme"}) dir.Write(name, "x");
    dir.Write(chinese, "x");
    std::filesystem::create_directory(dir.file("folder.txt"));
    std::vector<std::string> names = TextFileNames(dir.path());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"UPPER.TXT", chinese}));
    EXPECT_TRUE(TextFileNames(dir.file("missing/")).empty());
    std::string read;
    EXPECT_TRUE(ReadWholeFile(PathInFolder(dir.path(), chinese), read));
}

}  // namespace
}  // namespace tarvix
