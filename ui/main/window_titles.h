#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "ansi.h"

namespace tarvix {

// The window combo box's items, top first. A title is added at the top
// unless an item already begins with it (letters compared without regard to
// case), so a title that is the start of a listed one is not added twice.
class WindowTitleList {
public:
    explicit WindowTitleList(LeadByteTest isLead = IsBig5LeadByte) : m_isLead(isLead) {}
    void Add(std::string_view title);
    const std::vector<std::string>& items() const { return m_items; }

private:
    LeadByteTest m_isLead;
    std::vector<std::string> m_items;
};

}  // namespace tarvix
