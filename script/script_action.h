#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "edition.h"

namespace tarvix {

// Kinds in the numbering of edition 1.1. Edition 1.0 has no MoveR, so its
// Delay, SayString and EndMarker are one lower there (EditionKindNumber), and
// none of the kinds after SayString; files hold keywords, never numbers, so the
// numbering never leaves memory.
enum ActionKind : int32_t {
    KindKeyPress = 0,
    KindKeyDown = 1,
    KindKeyUp = 2,
    KindLeftClick = 3,
    KindRightClick = 4,
    KindLeftDoubleClick = 5,
    KindLeftDown = 6,
    KindLeftUp = 7,
    KindRightDown = 8,
    KindRightUp = 9,
    KindMoveTo = 10,
    KindMoveR = 11,
    KindDelay = 12,
    KindSayString = 13,
    // Edition 1.1 only: the middle and side buttons (param1 the count, as for
    // the left and right ones) and the wheels (param1 the signed amount in
    // wheel units, 120 to a notch, positive away from the user or to the right).
    KindMiddleClick = 14,
    KindMiddleDown = 15,
    KindMiddleUp = 16,
    KindX1Click = 17,
    KindX1Down = 18,
    KindX1Up = 19,
    KindX2Click = 20,
    KindX2Down = 21,
    KindX2Up = 22,
    KindWheel = 23,
    KindHWheel = 24,
    // Edition 1.1 only: a point of the client area of the window in front.
    KindMoveIn = 25,
    KindEndMarker = 26,
};

enum ActionCategory : int32_t {
    CategoryKey = 0,
    CategoryButton = 1,
    CategoryMove = 2,
    CategoryDelay = 3,
    CategoryText = 4,
    CategoryEnd = 5,
};

struct ScriptAction {
    int32_t category = CategoryEnd;
    int32_t kind = KindEndMarker;
    std::string text;  // SayString only; Big5 bytes
    int32_t param1 = 0;
    int32_t param2 = 0;

    static ScriptAction EndMarker() { return ScriptAction{}; }
    bool operator==(const ScriptAction& o) const {
        return category == o.category && kind == o.kind && text == o.text &&
               param1 == o.param1 && param2 == o.param2;
    }
    bool operator!=(const ScriptAction& o) const { return !(*this == o); }
};

ActionCategory CategoryOfKind(int32_t kind);

// An action of a kind other than typing, in the category its kind belongs to.
ScriptAction MakeAction(int32_t kind, int32_t param1, int32_t param2 = 0);

// Whether the edition knows this kind (edition 1.0 lacks MoveR and every kind
// after SayString).
bool EditionHasKind(Edition edition, int32_t kind);

// The kind's number as the edition counts it.
int32_t EditionKindNumber(Edition edition, int32_t kind);

// The file keyword of a kind ("KeyPress" ... "SayString"); empty for the end
// marker and for unknown kinds.
std::string_view KindKeyword(int32_t kind);

// The keyword list as one text: a newline, each keyword followed by a newline,
// in the edition's kind order.
std::string KeywordList(Edition edition);

// Parses one action line (already trimmed of spaces, tabs, CR and LF at both
// ends). Returns false when the first word names no action of the edition.
bool ParseActionLine(std::string_view line, Edition edition, ScriptAction& out);

// The written form of an action, without the line end. Empty for the end
// marker and for kinds the edition does not write.
std::string FormatActionLine(const ScriptAction& action, Edition edition);

}  // namespace tarvix
