#include "script_action.h"

#include <array>
#include <cstdio>

#include "ascii.h"

namespace tarvix {
namespace {

// Keywords in the kind order of edition 1.1.
// Later kinds only ever go after SayString: a word is looked up as a substring
// of this list, first match first, so an earlier place would change what lines
// of existing files read as.
constexpr std::array<std::string_view, KindEndMarker> kKeywords = {
    "KeyPress",    "KeyDown",    "KeyUp",    "LeftClick", "RightClick", "LeftDoubleClick", "LeftDown",
    "LeftUp",      "RightDown",  "RightUp",  "MoveTo",    "MoveR",      "Delay",           "SayString",
    "MiddleClick", "MiddleDown", "MiddleUp", "X1Click",   "X1Down",     "X1Up",            "X2Click",
    "X2Down",      "X2Up",       "Wheel",    "HWheel",    "MoveIn",
};

// The length of "SayString" and one separator: a text starts after it,
// whatever word the line began with.
constexpr size_t kTextOffset = 10;
constexpr size_t kMaxWord = 255;

using ascii::IsCSpace;

// The kind at a place of the edition's keyword list, or -1.
int32_t KindAtIndex(Edition edition, int index) {
    for (int32_t kind = KindKeyPress; kind < KindEndMarker; ++kind) {
        if (!EditionHasKind(edition, kind)) continue;
        if (index-- == 0) return kind;
    }
    return -1;
}

// A reader with the semantics of the C runtime's "%d" conversion: leading white
// space skipped, an optional sign, decimal digits; wraps like the runtime's
// unsigned accumulation on overflow.
class Scanner {
public:
    explicit Scanner(std::string_view text) : text_(text) {}

    void SkipSpace() {
        while (pos_ < text_.size() && IsCSpace(text_[pos_])) ++pos_;
    }

    std::string_view Word() {
        SkipSpace();
        const size_t begin = pos_;
        while (pos_ < text_.size() && !IsCSpace(text_[pos_])) ++pos_;
        return text_.substr(begin, pos_ - begin);
    }

    // A conversion with no digit fails and reads nothing.
    bool Int(int32_t& out) {
        SkipSpace();
        const ascii::DecimalRead read = ascii::ReadWrappingDecimal(text_.substr(pos_));
        if (read.digits == 0) return false;
        pos_ += read.consumed;
        out = read.value;
        return true;
    }

private:
    std::string_view text_;
    size_t pos_ = 0;
};

}  // namespace

ScriptAction MakeAction(int32_t kind, int32_t param1, int32_t param2) {
    ScriptAction action;
    action.kind = kind;
    action.category = CategoryOfKind(kind);
    action.param1 = param1;
    action.param2 = param2;
    return action;
}

ActionCategory CategoryOfKind(int32_t kind) {
    if (kind >= KindKeyPress && kind <= KindKeyUp) return CategoryKey;
    if (kind >= KindLeftClick && kind <= KindRightUp) return CategoryButton;
    if (kind >= KindMiddleClick && kind <= KindHWheel) return CategoryButton;
    if (kind == KindMoveTo || kind == KindMoveR || kind == KindMoveIn) return CategoryMove;
    if (kind == KindDelay) return CategoryDelay;
    if (kind == KindSayString) return CategoryText;
    return CategoryEnd;
}

bool EditionHasKind(Edition edition, int32_t kind) {
    if (kind < KindKeyPress || kind > KindEndMarker) return false;
    const EditionTraits& traits = TraitsOf(edition);
    if (kind == KindMoveR) return traits.hasMoveR;
    if (kind >= KindMiddleClick && kind <= KindHWheel) return traits.hasExtraButtons;
    if (kind == KindMoveIn) return traits.hasMoveIn;
    return true;
}

int32_t EditionKindNumber(Edition edition, int32_t kind) {
    int32_t number = 0;
    for (int32_t earlier = KindKeyPress; earlier < kind; ++earlier) number += EditionHasKind(edition, earlier);
    return number;
}

std::string_view KindKeyword(int32_t kind) {
    if (kind < 0 || kind >= static_cast<int32_t>(kKeywords.size())) return {};
    return kKeywords[static_cast<size_t>(kind)];
}

std::string KeywordList(Edition edition) {
    std::string list = "\n";
    for (int32_t kind = KindKeyPress; kind < KindEndMarker; ++kind) {
        if (!EditionHasKind(edition, kind)) continue;
        list += KindKeyword(kind);
        list += '\n';
    }
    return list;
}

namespace {

// The kind whose keyword first contains the word, searched as a substring of
// the upper-case keyword list, or -1.
int32_t KindOfWord(std::string_view word, Edition edition) {
    static const std::string upper[] = {ascii::Upper(KeywordList(kEditions[0])),
                                        ascii::Upper(KeywordList(kEditions[1]))};
    const std::string& list = upper[EditionIndex(edition)];

    if (word.empty()) return -1;
    char buffer[kMaxWord + 1];
    const size_t length = word.size() < kMaxWord ? word.size() : kMaxWord;
    for (size_t i = 0; i < length; ++i) buffer[i] = ascii::Upper(word[i]);
    const size_t found = list.find(std::string_view(buffer, length));
    if (found == std::string::npos) return -1;

    int newlines = 0;
    for (size_t i = 0; i < found; ++i) newlines += list[i] == '\n';
    return KindAtIndex(edition, newlines - 1);
}

}  // namespace

bool ParseActionLine(std::string_view line, Edition edition, ScriptAction& out) {
    // The line is a C string to the format: a NUL ends it.
    const size_t nul = line.find('\0');
    if (nul != std::string_view::npos) line = line.substr(0, nul);

    Scanner scan(line);
    const int32_t kind = KindOfWord(scan.Word(), edition);
    if (kind < 0) return false;

    ScriptAction action;
    action.kind = kind;
    action.category = CategoryOfKind(kind);
    switch (action.category) {
        case CategoryKey:
        case CategoryMove:
            if (scan.Int(action.param1)) scan.Int(action.param2);
            break;
        case CategoryButton:
        case CategoryDelay:
            scan.Int(action.param1);
            break;
        case CategoryText:
            if (line.size() > kTextOffset) action.text = std::string(line.substr(kTextOffset));
            break;
        default:
            return false;
    }
    out = std::move(action);
    return true;
}

std::string FormatActionLine(const ScriptAction& action, Edition edition) {
    if (!EditionHasKind(edition, action.kind) || action.kind == KindEndMarker) return {};
    std::string line(KindKeyword(action.kind));
    line += ' ';
    char numbers[32];
    switch (CategoryOfKind(action.kind)) {
        case CategoryKey:
            std::snprintf(numbers, sizeof numbers, "%d %d", action.param1 & 0xFFFF, action.param2);
            line += numbers;
            break;
        case CategoryMove:
            std::snprintf(numbers, sizeof numbers, "%d %d", action.param1, action.param2);
            line += numbers;
            break;
        case CategoryButton:
        case CategoryDelay:
            std::snprintf(numbers, sizeof numbers, "%d", action.param1);
            line += numbers;
            break;
        case CategoryText:
            // A line end inside the text would start a line of its own when the
            // file is read again, and could play as an action nobody wrote.
            for (char c : action.text) line += (c == '\n') ? ' ' : c;
            break;
        default:
            return {};
    }
    return line;
}

}  // namespace tarvix
