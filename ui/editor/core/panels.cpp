#include "panels.h"

#include <cstdio>
#include <limits>

namespace tarvix {

namespace {

constexpr uint32_t kLargestStored = static_cast<uint32_t>(std::numeric_limits<int32_t>::max());

ScriptAction Make(int32_t kind, int32_t param1, int32_t param2 = 0) {
    ScriptAction action;
    action.kind = kind;
    action.category = CategoryOfKind(kind);
    action.param1 = param1;
    action.param2 = param2;
    return action;
}

}  // namespace

// Counts and delays are stored as signed numbers in the script file; a typed
// number beyond them would come back negative and play as nothing, so the
// panels refuse it as they refuse 0.

std::optional<ScriptAction> KeyPanelAction(uint16_t key, int kindIndex, uint32_t count) {
    if (key == 0 || count == 0 || count > kLargestStored) return std::nullopt;
    if (kindIndex < 0 || kindIndex > KindKeyUp) return std::nullopt;
    return Make(KindKeyPress + kindIndex, key, static_cast<int32_t>(count));
}

std::optional<ScriptAction> ButtonPanelAction(int buttonIndex, uint32_t count) {
    if (count == 0 || count > kLargestStored) return std::nullopt;
    if (buttonIndex < 0 || buttonIndex > KindRightUp - KindLeftClick) return std::nullopt;
    return Make(KindLeftClick + buttonIndex, static_cast<int32_t>(count));
}

ScriptAction MoveToPanelAction(ScreenPoint point) { return Make(KindMoveTo, point.x, point.y); }

ScriptAction MoveByPanelAction(int32_t dx, int32_t dy) { return Make(KindMoveR, dx, dy); }

std::optional<ScriptAction> DelayPanelAction(uint32_t delay, int unitIndex) {
    if (delay == 0) return std::nullopt;
    uint64_t milliseconds = delay;
    if (unitIndex == 0) milliseconds *= 1000;  // seconds
    // Seconds that overflow 32 bits would wrap to a short, wrong wait.
    if (milliseconds > kLargestStored) return std::nullopt;
    return Make(KindDelay, static_cast<int32_t>(milliseconds));
}

std::optional<ScriptAction> TextPanelAction(const std::string& text) {
    if (text.empty()) return std::nullopt;
    ScriptAction action = Make(KindSayString, 0);
    action.text = text;
    return action;
}

std::string PointComboEntry(int n, ScreenPoint point) {
    char text[64];
    std::snprintf(text, sizeof text, "P%d:X=%d Y=%d", n + 1, point.x, point.y);
    return text;
}

}  // namespace tarvix
