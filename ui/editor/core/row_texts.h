#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "edition.h"
#include "script_action.h"

namespace tarvix {

// The two column texts of an action's row in the editor, in Big5 as the
// model holds its texts.
struct RowTexts {
    std::string action;
    std::string count;
    bool operator==(const RowTexts& o) const { return action == o.action && count == o.count; }
};

// The display names of the action kinds, from the string-table entry that
// lists them between newlines, in the edition's kind order; and the words
// after a wheel's name for the way it turns (up, down, left, right), listed
// alike.
class KindNames {
public:
    KindNames(std::string_view newlineList, Edition edition, std::string_view wheelDirections = {});
    // The name of a kind (in the program's own numbering); empty when the
    // list has none for it.
    const std::string& Name(int32_t kind) const;
    // The way a wheel action turns: its kind's name and the direction word.
    std::string WheelName(int32_t kind, int32_t amount) const;
    Edition edition() const { return m_edition; }

private:
    std::vector<std::string> m_names;
    std::vector<std::string> m_directions;
    Edition m_edition;
    std::string m_empty;
};

// The row of an action as the editor shows a script it opens. `unit` is the
// milliseconds unit shown after a delay.
RowTexts ListedRowTexts(const ScriptAction& action, const KindNames& names, std::string_view unit);

// The row of an action an insertion panel has just made: the same, except
// that a text follows its name without a space.
RowTexts InsertedRowTexts(const ScriptAction& action, const KindNames& names, std::string_view unit);

// The background colour of a row (0x00BBGGRR) by the action's category.
uint32_t RowColor(int32_t category);

}  // namespace tarvix
