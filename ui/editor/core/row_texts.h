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
// lists them between newlines, in the edition's kind order.
class KindNames {
public:
    KindNames(std::string_view newlineList, Edition edition);
    // The name of a kind (in the program's own numbering); empty when the
    // list has none for it.
    const std::string& Name(int32_t kind) const;
    Edition edition() const { return m_edition; }

private:
    std::vector<std::string> m_names;
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
