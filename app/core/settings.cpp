#include "settings.h"

#include <string>
#include <utility>

#include "profile.h"

namespace tarvix {
namespace {

constexpr const char* kGeneral = "General";
constexpr const char* kPosition = "Position";

std::string PositionKey(int index, char axis) {
    return "Position" + std::to_string(index) + axis;
}

std::string WindowPositionKey(int index, char axis) {
    return "Position" + std::to_string(index) + "Window" + axis;
}

bool ValidPointIndex(int index) { return index >= 0 && index < Settings::kCapturePointCount; }

}  // namespace

Settings::Settings(std::string iniPath) : m_path(std::move(iniPath)) {}

Hotkey Settings::ReadStopHotkey() const {
    const ProfileDocument ini = ProfileDocument::FromFile(m_path);
    Hotkey hotkey;
    hotkey.vk = static_cast<uint16_t>(ini.GetInt(kGeneral, "EndHotkey", kDefaultStopHotkey.vk));
    hotkey.mods = static_cast<uint16_t>(ini.GetInt(kGeneral, "EndHotkeyMod", kDefaultStopHotkey.mods));
    return hotkey;
}

bool Settings::WriteStopHotkey(Hotkey hotkey) const {
    const bool vkWritten = WriteProfileKey(m_path, kGeneral, "EndHotkey", std::to_string(hotkey.vk));
    const bool modsWritten = WriteProfileKey(m_path, kGeneral, "EndHotkeyMod", std::to_string(hotkey.mods));
    return vkWritten && modsWritten;
}

int32_t Settings::ReadEnableType() const {
    return ProfileDocument::FromFile(m_path).GetInt(kGeneral, "EnableType", 0);
}

bool Settings::WriteEnableType(int32_t type) const {
    return WriteProfileKey(m_path, kGeneral, "EnableType", std::to_string(type));
}

ScreenPoint Settings::ReadCapturePoint(int index) const {
    ScreenPoint point;
    if (!ValidPointIndex(index)) return point;
    const ProfileDocument ini = ProfileDocument::FromFile(m_path);
    point.x = ini.GetInt(kPosition, PositionKey(index, 'X'), 0);
    point.y = ini.GetInt(kPosition, PositionKey(index, 'Y'), 0);
    return point;
}

bool Settings::WriteCapturePoint(int index, ScreenPoint point) const {
    if (!ValidPointIndex(index)) return false;
    const bool xWritten = WriteProfileKey(m_path, kPosition, PositionKey(index, 'X'), std::to_string(point.x));
    const bool yWritten = WriteProfileKey(m_path, kPosition, PositionKey(index, 'Y'), std::to_string(point.y));
    return xWritten && yWritten;
}

ScreenPoint Settings::ReadCapturePointInWindow(int index) const {
    ScreenPoint point;
    if (!ValidPointIndex(index)) return point;
    const ProfileDocument ini = ProfileDocument::FromFile(m_path);
    point.x = ini.GetInt(kPosition, WindowPositionKey(index, 'X'), ini.GetInt(kPosition, PositionKey(index, 'X'), 0));
    point.y = ini.GetInt(kPosition, WindowPositionKey(index, 'Y'), ini.GetInt(kPosition, PositionKey(index, 'Y'), 0));
    return point;
}

bool Settings::WriteCapturePointInWindow(int index, ScreenPoint point) const {
    if (!ValidPointIndex(index)) return false;
    const bool xWritten =
        WriteProfileKey(m_path, kPosition, WindowPositionKey(index, 'X'), std::to_string(point.x));
    const bool yWritten =
        WriteProfileKey(m_path, kPosition, WindowPositionKey(index, 'Y'), std::to_string(point.y));
    return xWritten && yWritten;
}

RecordChoices Settings::ReadRecordChoices() const {
    const ProfileDocument ini = ProfileDocument::FromFile(m_path);
    RecordChoices choices;
    choices.mousePath = ini.GetInt("Record", "MousePath", 0) != 0;
    choices.keepTiming = ini.GetInt("Record", "KeepTiming", 1) != 0;
    choices.windowRelative = ini.GetInt("Record", "WindowRelative", 0) != 0;
    return choices;
}

bool Settings::WriteRecordChoices(RecordChoices choices) const {
    const bool pathWritten = WriteProfileKey(m_path, "Record", "MousePath", choices.mousePath ? "1" : "0");
    const bool timingWritten = WriteProfileKey(m_path, "Record", "KeepTiming", choices.keepTiming ? "1" : "0");
    const bool windowWritten =
        WriteProfileKey(m_path, "Record", "WindowRelative", choices.windowRelative ? "1" : "0");
    return pathWritten && timingWritten && windowWritten;
}

}  // namespace tarvix
