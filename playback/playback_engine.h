#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ansi.h"
#include "hotkey.h"
#include "playback_ports.h"
#include "repeat_type.h"
#include "run_flag.h"
#include "script_action.h"
#include "speed.h"

namespace tarvix {

// One run's private copy of what it plays.
struct PlaybackJob {
    std::vector<ScriptAction> steps;  // the trailing end marker included
    uint16_t repeatType = RepeatCount;
    uint32_t repeatNumber = 0;
    int32_t oneWindow = 0;
    std::string targetTitle;
    std::shared_ptr<RunFlag> script;  // cleared when the run ends; none without run-once
    // The start hotkey's modifier bits (HotkeyModifier): the user may still
    // hold them when the run begins.
    uint16_t hotkeyModifiers = 0;
    // The script's playback speed in percent: Delays last 100 / speed times
    // their milliseconds (holds do not change).
    uint32_t speed = kNormalSpeed;
};

struct PlaybackPorts {
    InputSink& input;
    PlaybackClock& clock;
    StopSignal& stop;
    ForegroundWindow& foreground;
    LeadByteTest isLeadByte = IsBig5LeadByte;
    KeyState* keys = nullptr;  // none: the start hotkey's modifiers are not awaited
};

enum class RunResult : uint32_t { Completed = 0, Stopped = 1 };

// A pass that played nothing (every step skipped, or nothing but the end
// marker) waits this long on the stop signal before the next one, instead of
// keeping a processor busy.
constexpr uint32_t kIdlePassWaitMs = 5;
constexpr uint32_t kHoldMs = 50;

// A run keeps one schedule from its start: every hold and Delay ends where the
// script's numbers put it, so the time input calls and late wake-ups take is
// made up by the next wait instead of adding up pass after pass. A step that
// comes later than this behind its schedule starts the schedule again from
// now rather than rushing the steps after it: 20 ms is more than one tick of
// the system's default 15.6 ms timer, so a run that lost one time slice to a
// busy machine still catches up; and no Delay comes out more than 20 ms
// shorter than its number, so what follows a stall never comes as a burst.
constexpr uint32_t kCatchUpMs = 20;
// A hold gives up at most a millisecond to the catch-up, so that a program
// sees every key and button held its 50 ms, give or take the millisecond
// that a busy machine's input calls take; Delays make up the rest.
constexpr uint32_t kShortestHoldMs = 49;

// A run whose start hotkey has modifiers waits before its first step until
// the user has let go of them, so that they do not combine with the keys it
// plays (Ctrl held over a typed "a" would select all). It looks every few
// milliseconds, and gives up after a while: modifiers still held then are
// released for the run's sake (the program's own key-ups), and the run plays.
constexpr uint32_t kModifierPollMs = 5;
constexpr uint32_t kModifierWaitMs = 2000;

// Plays the job to its end and clears its script's running flag.
RunResult PlayJob(const PlaybackJob& job, PlaybackPorts& ports);

// The desktop point of (x, y) in the client area whose top-left corner is
// clientOrigin; of the primary monitor when there is none (no window in front).
DesktopPoint PointInFront(int32_t x, int32_t y, std::optional<DesktopPoint> clientOrigin);

// The absolute-move coordinate (0 to 65535) that lands exactly on pixel p of
// an axis that starts at origin and is extent pixels long.
int32_t NormalizedCoordinate(int32_t p, int32_t origin, int32_t extent);

}  // namespace tarvix
