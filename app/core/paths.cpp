#include "paths.h"

namespace tarvix {

std::string ProgramFolderFromModulePath(std::string_view modulePath) {
    // Drive and directory, as _splitpath divides them; name and extension
    // are dropped.
    const size_t lastSeparator = modulePath.find_last_of("\\/");
    if (lastSeparator != std::string_view::npos) return std::string(modulePath.substr(0, lastSeparator + 1));
    if (modulePath.size() >= 2 && modulePath[1] == ':') return std::string(modulePath.substr(0, 2));
    return {};
}

}  // namespace tarvix
