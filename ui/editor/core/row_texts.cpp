#include "row_texts.h"

#include <cstdio>

#include "key_names.h"

namespace tarvix {

namespace {

// "\nname\nname\n...\n": the leading newline opens the list, each name
// ends with one.
std::vector<std::string> SplitNames(std::string_view list) {
    std::vector<std::string> names;
    if (!list.empty() && list.front() == '\n') list.remove_prefix(1);
    while (!list.empty()) {
        const size_t end = list.find('\n');
        names.emplace_back(list.substr(0, end));
        if (end == std::string_view::npos) break;
        list.remove_prefix(end + 1);
    }
    return names;
}

}  // namespace

KindNames::KindNames(std::string_view list, Edition edition, std::string_view wheelDirections)
    : m_names(SplitNames(list)), m_directions(SplitNames(wheelDirections)), m_edition(edition) {}

// Away from the user is up, as the wheel scrolls a page.
std::string KindNames::WheelName(int32_t kind, int32_t amount) const {
    size_t direction = amount < 0 ? 1 : 0;
    if (kind == KindHWheel) direction = amount < 0 ? 2 : 3;
    return Name(kind) + (direction < m_directions.size() ? m_directions[direction] : std::string());
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

// The notches a wheel action turns, as the panel asks for them: whole ones
// as a count; a smooth-scrolling mouse's part of one to two places.
std::string NotchText(int32_t amount) {
    const int64_t units = amount < 0 ? -int64_t{amount} : int64_t{amount};
    if (units % 120 == 0) return CountText(static_cast<int32_t>(units / 120));
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", static_cast<double>(units) / 120.0);
    std::string notches = text;
    while (notches.back() == '0') notches.pop_back();
    return notches;
}

RowTexts Texts(const ScriptAction& action, const KindNames& names, std::string_view unit,
               std::string_view textSeparator) {
    const std::string& name = names.Name(action.kind);
    switch (action.category) {
        case CategoryKey:
            return {name + KeyName(action.param1 & 0xFFFF), CountText(action.param2)};
        case CategoryButton:
            if (action.kind == KindWheel || action.kind == KindHWheel)
                return {names.WheelName(action.kind, action.param1), NotchText(action.param1)};
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
