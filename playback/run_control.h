#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "edition.h"
#include "hotkey.h"
#include "playback_engine.h"
#include "script.h"
#include "script_library.h"

namespace tarvix {

// Alt, Ctrl and Shift as they are held when a hotkey report is handled.
struct HeldModifiers {
    bool alt = false;
    bool ctrl = false;
    bool shift = false;
};

// Each of Alt, Ctrl and Shift is down exactly when the bits ask for it; other
// bits are not looked at.
bool ModifiersMatch(uint16_t mods, HeldModifiers held);

// The modifier bits that the held keys match.
uint16_t HeldModifierBits(HeldModifiers held);

// What starting and stopping runs takes on the platform.
class RunLauncher {
public:
    virtual ~RunLauncher() = default;
    virtual void ResetStop() = 0;
    virtual void SetStop() = 0;
    // Starts a worker thread that plays the job and owns it from then on.
    virtual void Start(std::unique_ptr<PlaybackJob> job) = 0;
};

struct DispatchContext {
    Edition edition = Edition::V11;
    uint16_t stopHotkey = kDefaultStopHotkey.vk;
    uint16_t stopHotkeyMod = kDefaultStopHotkey.mods;
    int32_t targetMode = 0;
    std::string targetTitle;  // the window combo box's text as the report is handled
};

// The start decision for one script, in the order the checks are made.
bool ShouldStart(const CScript& script, uint16_t vk, HeldModifiers held, Edition edition);

// The run's copy of what it plays.
std::unique_ptr<PlaybackJob> MakeJob(const CScript& script, const DispatchContext& context);

// Whether a report of vk could start a script or stop the runs. Most keys
// typed anywhere in the session concern neither; the handler then needs to
// read nothing else.
bool ReportConcerns(const ScriptLibrary& library, uint16_t vk, const DispatchContext& context);

// Handles one hotkey report: starts every script of the library, in list
// order, that the report starts, then sets the stop signal when the report is
// the stop hotkey. Returns the number of runs started.
int DispatchHotkey(const ScriptLibrary& library, uint16_t vk, HeldModifiers held,
                   const DispatchContext& context, RunLauncher& launcher);

}  // namespace tarvix
