#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "edition.h"
#include "script_action.h"
#include "settings.h"

namespace tarvix {

// The insertion panels' checks and conversions. Each returns the action the
// panel inserts, or nothing when it refuses the fields.

// Key panel: the picked key (0 for none), the kind combo's index (press,
// hold, release) and the count.
std::optional<ScriptAction> KeyPanelAction(uint16_t key, int kindIndex, uint32_t count);

// Mouse button panel: the combo's index and the count. The items are left
// click ... right up, and in edition 1.1 after them the middle and side
// buttons' click, down and up, then the wheel up, down, left and right,
// whose count is the notches to turn.
std::optional<ScriptAction> ButtonPanelAction(int buttonIndex, uint32_t count, Edition edition);

// Move-to panel: a captured point, its screen place (MoveTo) or its place in
// the window that was in front (MoveIn, edition 1.1).
ScriptAction MoveToPanelAction(ScreenPoint point, bool inWindow = false);

// Move-by panel: the offsets, zero and negative ones included.
ScriptAction MoveByPanelAction(int32_t dx, int32_t dy);

// Delay panel: the number and the unit combo's index (0 seconds, 1
// milliseconds).
std::optional<ScriptAction> DelayPanelAction(uint32_t delay, int unitIndex);

// Text panel: the text exactly as typed.
std::optional<ScriptAction> TextPanelAction(const std::string& text);

// The point combo's entry for point n (0 to 8): "P1:X=.. Y=.." for n = 0;
// a place in a window has the mark in front of X, after a space.
std::string PointComboEntry(int n, ScreenPoint point, std::string_view windowMark = {});

}  // namespace tarvix
