#pragma once

#include <cstdint>
#include <string>

#include "hotkey.h"

namespace tarvix {

// The recording choices, remembered between recordings.
struct RecordChoices {
    bool mousePath = false;
    bool keepTiming = true;
    // Pointer positions in the client area of the window in front.
    bool windowRelative = false;
};

struct ScreenPoint {
    int32_t x = 0;
    int32_t y = 0;
};

// The settings file tarvix.ini in the program folder. Every read supplies its
// default; the file is created by the first write.
class Settings {
public:
    static constexpr int kCapturePointCount = 9;

    explicit Settings(std::string iniPath);

    const std::string& path() const { return m_path; }

    // General/EndHotkey and General/EndHotkeyMod; kDefaultStopHotkey where
    // the file has none.
    Hotkey ReadStopHotkey() const;
    bool WriteStopHotkey(Hotkey hotkey) const;

    // General/EnableType: 0 all windows, otherwise one window.
    int32_t ReadEnableType() const;
    bool WriteEnableType(int32_t type) const;

    // Position/Position<n>X and Position<n>Y, n = 0 to 8; (0, 0) by default.
    ScreenPoint ReadCapturePoint(int index) const;
    bool WriteCapturePoint(int index, ScreenPoint point) const;

    // Position/Position<n>WindowX and Position<n>WindowY: the same capture's
    // place in the client area of the window in front, written by edition 1.1
    // only. Where missing, the screen position, which is that place when no
    // window is in front.
    ScreenPoint ReadCapturePointInWindow(int index) const;
    bool WriteCapturePointInWindow(int index, ScreenPoint point) const;

    // Record/MousePath (0), Record/KeepTiming (1) and Record/WindowRelative (0).
    RecordChoices ReadRecordChoices() const;
    bool WriteRecordChoices(RecordChoices choices) const;

private:
    std::string m_path;
};

}  // namespace tarvix
