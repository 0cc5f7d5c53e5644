#include "window_titles.h"

#include "ascii.h"

namespace tarvix {

namespace {

// The trail byte of a double-byte character is no letter, whatever its
// value, and is compared as it is.
bool BeginsWith(std::string_view item, std::string_view prefix, LeadByteTest isLead) {
    if (prefix.size() > item.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i) {
        if (isLead(static_cast<unsigned char>(prefix[i])) && i + 1 < prefix.size()) {
            if (item[i] != prefix[i] || item[i + 1] != prefix[i + 1]) return false;
            ++i;
        } else if (ascii::Upper(item[i]) != ascii::Upper(prefix[i])) {
            return false;
        }
    }
    return true;
}

}  // namespace

void WindowTitleList::Add(std::string_view title) {
    if (title.empty()) return;
    for (const std::string& item : m_items)
        if (BeginsWith(item, title, m_isLead)) return;
    m_items.insert(m_items.begin(), std::string(title));
}

}  // namespace tarvix
