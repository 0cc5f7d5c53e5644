// The settings file and the program folder.
#include <gtest/gtest.h>

#include "paths.h"
#include "settings.h"
#include "temp_folder.h"

namespace tarvix {
namespace {

using testing::TempFolder;

TEST(Settings, MissingFileGivesDefaultsAndIsNotCreated) {
    TempFolder dir;
    const Settings settings(dir.file("tarvix.ini"));
    EXPECT_EQ(settings.ReadStopHotkey().vk, 65);
    EXPECT_EQ(settings.ReadStopHotkey().mods, 3);
    EXPECT_EQ(settings.ReadEnableType(), 0);
    for (int i = 0; i < Settings::kCapturePointCount; ++i) {
        EXPECT_EQ(settings.ReadCapturePoint(i).x, 0);
        EXPECT_EQ(settings.ReadCapturePoint(i).y, 0);
    }
    EXPECT_EQ(dir.Count(), 0u);
}

TEST(Settings, WritesReadBackAndKeepOtherKeys) {
    TempFolder dir;
    const Settings settings(dir.file("tarvix.ini"));
    ASSERT_TRUE(settings.WriteStopHotkey({0x13, 2}));
    ASSERT_TRUE(settings.WriteEnableType(1));
    ASSERT_TRUE(settings.WriteCapturePoint(2, {-1280, 1439}));
    ASSERT_TRUE(settings.WriteCapturePoint(8, {5, 6}));
    EXPECT_EQ(settings.ReadStopHotkey().vk, 0x13);
    EXPECT_EQ(settings.ReadStopHotkey().mods, 2);
    EXPECT_EQ(settings.ReadEnableType(), 1);
    EXPECT_EQ(settings.ReadCapturePoint(2).x, -1280);
    EXPECT_EQ(settings.ReadCapturePoint(2).y, 1439);
    EXPECT_EQ(settings.ReadCapturePoint(8).x, 5);
    EXPECT_EQ(settings.ReadCapturePoint(0).x, 0);
    const std::string text = dir.Read("tarvix.ini");
    EXPECT_NE(text.find("Position2X=-1280\r\n"), std::string::npos);
    EXPECT_NE(text.find("EndHotkey=19\r\n"), std::string::npos);
}

TEST(Settings, ValuesWrittenByHandAreReadWithTheProfileRules) {
    TempFolder dir;
    dir.Write("tarvix.ini", "[general]\nendhotkey = 70\nENDHOTKEYMOD=\"6\"\nEnableType=5\n"
                            "[POSITION]\nposition0x=100\nPosition0Y=-20\n");
    const Settings settings(dir.file("tarvix.ini"));
    EXPECT_EQ(settings.ReadStopHotkey().vk, 70);
    EXPECT_EQ(settings.ReadStopHotkey().mods, 6);
    EXPECT_EQ(settings.ReadEnableType(), 5);
    EXPECT_EQ(settings.ReadCapturePoint(0).x, 100);
    EXPECT_EQ(settings.ReadCapturePoint(0).y, -20);
}

TEST(Settings, RecordChoicesDefaultToTimingWithoutPathAndComeBack) {
    TempFolder dir;
    const Settings settings(dir.file("tarvix.ini"));
    EXPECT_FALSE(settings.ReadRecordChoices().mousePath);
    EXPECT_TRUE(settings.ReadRecordChoices().keepTiming);
    EXPECT_FALSE(settings.ReadRecordChoices().windowRelative);
    ASSERT_TRUE(settings.WriteRecordChoices({true, false, true}));
    EXPECT_TRUE(settings.ReadRecordChoices().mousePath);
    EXPECT_FALSE(settings.ReadRecordChoices().keepTiming);
    EXPECT_TRUE(settings.ReadRecordChoices().windowRelative);
    EXPECT_NE(dir.Read("tarvix.ini").find("[Record]\r\nMousePath=1\r\nKeepTiming=0\r\nWindowRelative=1\r\n"),
              std::string::npos)
        << dir.Read("tarvix.ini");
}

// A point's place in its window sits beside its screen keys; one that has
// none (captured by edition 1.0, or before) is its screen place, as with no
// window in front; a capture of the screen place alone leaves it be.
TEST(Settings, CapturePointInWindowBesideTheScreenPoint) {
    TempFolder dir;
    const Settings settings(dir.file("tarvix.ini"));
    ASSERT_TRUE(settings.WriteCapturePoint(3, {-1500, 300}));
    EXPECT_EQ(settings.ReadCapturePointInWindow(3).x, -1500);
    ASSERT_TRUE(settings.WriteCapturePointInWindow(3, {476, -2}));
    ASSERT_TRUE(settings.WriteCapturePoint(3, {7, 8}));
    EXPECT_EQ(settings.ReadCapturePointInWindow(3).y, -2);
    EXPECT_NE(dir.Read("tarvix.ini").find("Position3X=7\r\nPosition3Y=8\r\nPosition3WindowX=476\r\n"
                                          "Position3WindowY=-2\r\n"),
              std::string::npos);
    EXPECT_FALSE(settings.WriteCapturePointInWindow(9, {1, 1}));
}

TEST(Settings, StopHotkeyKeepsLow16Bits) {
    TempFolder dir;
    dir.Write("tarvix.ini", "[General]\r\nEndHotkey=65601\r\nEndHotkeyMod=-1\r\n");
    const Hotkey hotkey = Settings(dir.file("tarvix.ini")).ReadStopHotkey();
    EXPECT_EQ(hotkey.vk, 65);
    EXPECT_EQ(hotkey.mods, 0xFFFF);
}

TEST(Settings, CapturePointIndexOutsideTheNineIsRefused) {
    TempFolder dir;
    const Settings settings(dir.file("tarvix.ini"));
    EXPECT_FALSE(settings.WriteCapturePoint(9, {1, 1}));
    EXPECT_FALSE(settings.WriteCapturePoint(-1, {1, 1}));
    EXPECT_EQ(settings.ReadCapturePoint(9).x, 0);
    EXPECT_EQ(dir.Count(), 0u);
}

TEST(ProgramFolder, DriveAndDirectoryOfTheProgramFile) {
    EXPECT_EQ(ProgramFolderFromModulePath("C:\\Tools\\tarvix\\tarvix.exe"), "C:\\Tools\\tarvix\\");
    EXPECT_EQ(ProgramFolderFromModulePath("C:\\tarvix.exe"), "C:\\");
    EXPECT_EQ(ProgramFolderFromModulePath("\\\\server\\share\\t\\tarvix.exe"), "\\\\server\\share\\t\\");
    EXPECT_EQ(ProgramFolderFromModulePath("D:/x/y.z/tarvix-classic.exe"), "D:/x/y.z/");
    EXPECT_EQ(ProgramFolderFromModulePath("C:tarvix.exe"), "C:");
    EXPECT_EQ(SettingsPath("C:\\t\\"), "C:\\t\\tarvix.ini");
    EXPECT_EQ(ScriptFolderPath("C:\\t\\"), "C:\\t\\script\\");
}

}  // namespace
}  // namespace tarvix
