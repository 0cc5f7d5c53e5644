#include "row_texts.h"

#include <cstdio>

#include "key_names.h"

namespace tarvix {

KindNames::KindNames(std::string_view list, Edition edition) : m_edition(edition) {
    // "\nname\nname\n...\n": the leading newline opens the list, each name
    // ends with one.
    if (!list.empty() && list.front() == '\n') list.remove_prefix(1);
    while (!list.empty()) {
        const size_t end = list.find('\n');
        m_names.emplace_back(list.substr(0, end));
        if (end == std::string_view::npos) break;
        list.remove_prefix(end + 1);
    }
}

const std::string& KindNames::Name(int32_t kind) const {
    if (!EditionHasKind(m_edition, kind)) return m_empty;
    const size_t index = static_cast<size_t>(EditionKindNumber(m_edition, kind));
    return index < m_names.size() ? m_names[index] : m_empty;
}

namespace {

std::string Decimal(int32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "%d", value);
    return text;
}

std::string CountText(int32_t count) { return count == 0 ? std::string() : Decimal(count); }

RowTexts Texts(const ScriptAction& action, const KindNames& names, std::string_view unit,
               std::string_view textSeparator) {
    const std::string& name = names.Name(action.kind);
    switch (action.category) {
        case CategoryKey:
            return {name + KeyName(action.param1 & 0xFFFF), CountText(action.param2)};
        case CategoryButton:
            return {name, CountText(action.param1)};
        case CategoryMove:
            return {name + " " + Decimal(action.param1) + " " + Decimal(action.param2), "1"};
        case CategoryDelay:
            return {name + Decimal(action.param1) + std::string(unit), "1"};
        case CategoryText:
            return {name + std::string(textSeparator) + action.text, "1"};
        default:
            return {name, ""};
    }
}

}  // namespace

RowTexts ListedRowTexts(const ScriptAction& action, const KindNames& names, std::string_view unit) {
    return Texts(action, names, unit, " ");
}

RowTexts InsertedRowTexts(const ScriptAction& action, const KindNames& names, std::string_view unit) {
    return Texts(action, names, unit, "");
}

uint32_t RowColor(int32_t category) {
    switch (category) {
        case CategoryKey: return 0xCCCCFF;
        case CategoryButton: return 0xFFFFAA;
        case CategoryMove: return 0xFFBBBB;
        case CategoryDelay: return 0xCCFFCC;
        case CategoryText: return 0xAAFFFF;
        default: return 0xEEEEEE;
    }
}

}  // namespace tarvix
