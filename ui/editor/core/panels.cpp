#include "panels.h"

#include <cstdio>
#include <iterator>
#include <limits>

namespace tarvix {

namespace {

constexpr uint32_t kLargestStored = static_cast<uint32_t>(std::numeric_limits<int32_t>::max());

// A wheel turns by notches of 120 units: away from the user (up) and to
// the right are positive, as the system counts them.
constexpr int32_t kNotch = 120;

// The button panel's items: the kind, and for a wheel the units of one
// notch the way the item turns (0 for the buttons, whose count is a count).
struct ButtonItem {
    int32_t kind;
    int32_t notch;
};
constexpr ButtonItem kButtonItems[] = {
    {KindLeftClick, 0},   {KindRightClick, 0}, {KindLeftDoubleClick, 0}, {KindLeftDown, 0},
    {KindLeftUp, 0},      {KindRightDown, 0},  {KindRightUp, 0},         {KindMiddleClick, 0},
    {KindMiddleDown, 0},  {KindMiddleUp, 0},   {KindX1Click, 0},         {KindX1Down, 0},
    {KindX1Up, 0},        {KindX2Click, 0},    {KindX2Down, 0},          {KindX2Up, 0},
    {KindWheel, kNotch},  {KindWheel, -kNotch}, {KindHWheel, -kNotch},   {KindHWheel, kNotch},
};

}  // namespace

// Counts and delays are stored as signed numbers in the script file; a typed
// number beyond them would come back negative and play as nothing, so the
// panels refuse it as they refuse 0.

std::optional<ScriptAction> KeyPanelAction(uint16_t key, int kindIndex, uint32_t count) {
    if (key == 0 || count == 0 || count > kLargestStored) return std::nullopt;
    if (kindIndex < 0 || kindIndex > KindKeyUp) return std::nullopt;
    return MakeAction(KindKeyPress + kindIndex, key, static_cast<int32_t>(count));
}

std::optional<ScriptAction> ButtonPanelAction(int buttonIndex, uint32_t count, Edition edition) {
    if (count == 0 || buttonIndex < 0 || static_cast<size_t>(buttonIndex) >= std::size(kButtonItems))
        return std::nullopt;
    const ButtonItem item = kButtonItems[buttonIndex];
    if (!EditionHasKind(edition, item.kind)) return std::nullopt;
    if (item.notch == 0) {
        if (count > kLargestStored) return std::nullopt;
        return MakeAction(item.kind, static_cast<int32_t>(count));
    }
    if (count > kLargestStored / kNotch) return std::nullopt;
    return MakeAction(item.kind, static_cast<int32_t>(count) * item.notch);
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
