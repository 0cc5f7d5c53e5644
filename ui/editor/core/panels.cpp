#include "panels.h"

#include <cstdio>
#include <limits>

namespace tarvix {

namespace {

constexpr uint32_t kLargestStored = static_cast<uint32_t>(std::numeric_limits<int32_t>::max());

}  // namespace

// Counts and delays are stored as signed numbers in the script file; a typed
// number beyond them would come back negative and play as nothing, so the
// panels refuse it as they refuse 0.

std::optional<ScriptAction> KeyPanelAction(uint16_t key, int kindIndex, uint32_t count) {
    if (key == 0 || count == 0 || count > kLargestStored) return std::nullopt;
    if (kindIndex < 0 || kindIndex > KindKeyUp) return std::nullopt;
    return MakeAction(KindKeyPress + kindIndex, key, static_cast<int32_t>(count));
}

std::optional<ScriptAction> ButtonPanelAction(int buttonIndex, uint32_t count) {
    if (count == 0 || count > kLargestStored) return std::nullopt;
    if (buttonIndex < 0 || buttonIndex > KindRightUp - KindLeftClick) return std::nullopt;
    return MakeAction(KindLeftClick + buttonIndex, static_cast<int32_t>(count));
}

ScriptAction MoveToPanelAction(ScreenPoint point, bool inWindow) {
    return MakeAction(inWindow ? KindMoveIn : KindMoveTo, point.x, point.y);
}

ScriptAction MoveByPanelAction(int32_t dx, int32_t dy) { return MakeAction(KindMoveR, dx, dy); }

std::optional<ScriptAction> DelayPanelAction(uint32_t delay, int unitIndex) {
    if (delay == 0) return std::nullopt;
    uint64_t milliseconds = delay;
    if (unitIndex == 0) milliseconds *= 1000;  // seconds
    // Seconds that overflow 32 bits would wrap to a short, wrong wait.
    if (milliseconds > kLargestStored) return std::nullopt;
    return MakeAction(KindDelay, static_cast<int32_t>(milliseconds));
}

std::optional<ScriptAction> TextPanelAction(const std::string& text) {
    if (text.empty()) return std::nullopt;
    ScriptAction action = MakeAction(KindSayString, 0);
    action.text = text;
    return action;
}

std::string PointComboEntry(int n, ScreenPoint point, std::string_view windowMark) {
    char text[64];
    std::snprintf(text, sizeof text, "X=%d Y=%d", point.x, point.y);
    std::string entry = "P" + std::to_string(n + 1) + ":";
    if (!windowMark.empty()) entry.append(windowMark).append(" ");
    return entry + text;
}

}  // namespace tarvix
