// The settings file and the program folder.
#include <gtest/gtest.h>

#include "paths.h"
#include "settings.h"
#include "test_support.h"

namespace tarvix {
namespace {

using testing::TempFolder;

std::string Text(Hotkey h) { return std::to_string(h.vk) + "/" + std::to_string(h.mods); }
std::string Text(ScreenPoint p) { return std::to_string(p.x) + "," + std::to_string(p.y); }
std::string Text(RecordChoices c) {
    return std::to_string(c.mousePath) + std::to_string(c.keepTiming) + std::to_string(c.windowRelative);
}

TEST(Settings, MissingFileGivesDefaultsAndIsNotCreated) {
    TempFolder dir;
    const Settings settings(dir.file("tarvix.ini"));
    EXPECT_EQ(Text(settings.ReadStopHotkey()), "65/3");
    EXPECT_EQ(settings.ReadEnableType(), 0);
    EXPECT_EQ(Text(settings.ReadCapturePoint(8)), "0,0");
    EXPECT_EQ(Text(settings.ReadRecordChoices()), "010") << "timing kept, no path, on the screen";
    EXPECT_FALSE(settings.WriteCapturePoint(9, {1, 1}));
    EXPECT_FALSE(settings.WriteCapturePoint(-1, {1, 1}));
    EXPECT_FALSE(settings.WriteCapturePointInWindow(9, {1, 1}));
    EXPECT_EQ(dir.Count(), 0u);
    // A stop hotkey written by hand keeps its low 16 bits.
    dir.Write("tarvix.ini", "[general]\nendhotkey = 65601\nENDHOTKEYMOD=\"-1\"\n");
    EXPECT_EQ(Text(settings.ReadStopHotkey()), "65/65535");
}

// A point's place in its window sits beside its screen keys; one that has
// none (captured by edition 1.0, or before) is its screen place; a capture
// of the screen place alone leaves it be.
TEST(Settings, WritesComeBackAndLeaveOtherKeysAlone) {
    TempFolder dir;
    const Settings settings(dir.file("tarvix.ini"));
    ASSERT_TRUE(settings.WriteStopHotkey({0x13, 2}));
    ASSERT_TRUE(settings.WriteEnableType(1));
    ASSERT_TRUE(settings.WriteCapturePoint(3, {-1500, 300}));
    EXPECT_EQ(Text(settings.ReadCapturePointInWindow(3)), "-1500,300");
    ASSERT_TRUE(settings.WriteCapturePointInWindow(3, {476, -2}));
    ASSERT_TRUE(settings.WriteCapturePoint(3, {7, 8}));
    ASSERT_TRUE(settings.WriteRecordChoices({true, false, true}));
    EXPECT_EQ(Text(settings.ReadStopHotkey()), "19/2");
    EXPECT_EQ(settings.ReadEnableType(), 1);
    EXPECT_EQ(Text(settings.ReadCapturePoint(3)), "7,8");
    EXPECT_EQ(Text(settings.ReadCapturePointInWindow(3)), "476,-2");
    EXPECT_EQ(Text(settings.ReadRecordChoices()), "101");
    EXPECT_EQ(dir.Read("tarvix.ini"),
              "[General]\r\nEndHotkey=19\r\nEndHotkeyMod=2\r\nEnableType=1\r\n[Position]\r\nPosition3X=7\r\n"
              "Position3Y=8\r\nPosition3WindowX=476\r\nPosition3WindowY=-2\r\n"
              "[Record]\r\nMousePath=1\r\nKeepTiming=0\r\nWindowRelative=1\r\n");
}

TEST(ProgramFolder, DriveAndDirectoryOfTheProgramFile) {
    const std::pair<const char*, const char*> cases[] = {{"C:\\Tools\\tarvix\\tarvix.exe", "C:\\Tools\\tarvix\\"},
        {"\\\\server\\share\\t\\tarvix.exe", "\\\\server\\share\\t\\"}, {"D:/x/y.z/tarvix-classic.exe", "D:/x/y.z/"}, {"C:tarvix.exe", "C:"}};
    for (const auto& [module, folder] : cases) EXPECT_EQ(ProgramFolderFromModulePath(module), folder) << module;
    EXPECT_EQ(SettingsPath("C:\\t\\"), "C:\\t\\tarvix.ini");
    EXPECT_EQ(ScriptFolderPath("C:\\t\\"), "C:\\t\\script\\");
}

}  // namespace
}  // namespace tarvix
