#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "recording.h"

namespace tarvix {

// One recording on Windows: waits for the mouse buttons to be up, takes the
// keys already held, has the hook report to a window of its own, and feeds
// a Recording until the stop chord, a click on the notification icon or the
// event limit ends it. The caller's
// windows stay responsive: messages are dispatched meanwhile.
struct RecordingResult {
    std::vector<RecordedInput> events;
    LeftOutInput leftOut;
    bool full = false;
    bool inputMissed = false;
    // The hooks could not be put in: nothing was recorded, and the stop key
    // could not have been seen either.
    bool refused = false;
};

// iconWindow, the owner of the notification icon, hears of the recording
// with the tip to show meanwhile (WM_TRAYRECORDING), and its icon ends it.
// With windowRelative the hook reports the window in front with the pointer
// events (InputKind::WindowOrigin).
RecordingResult RunRecording(Hotkey stop, bool keepPath, bool windowRelative, HWND iconWindow,
                             const std::wstring& tip);

// What the editor tells after a recording, in the order it tells it: whether
// it stopped by itself, whether input was lost on the way, and what it could
// not keep; nothing when none of these happened.
struct RecordingEndMessage {
    std::wstring text;
    unsigned icon;  // MB_ICON...
};
std::vector<RecordingEndMessage> RecordingEndMessages(const RecordingResult& result);

}  // namespace tarvix
