#pragma once

#include <memory>
#include <string>
#include <vector>

#include "edition.h"
#include "script.h"

namespace tarvix {

// Loads the named script files of one folder, each as CScript::Load does,
// on up to `threads` threads at once (0: as many as the machine has
// processors, at most 8). The result holds one record per name, in the order
// of the names, whatever order the files were read in. Opening a file is
// what loading a folder of thousands spends its time on, and it overlaps
// well across threads.
std::vector<std::unique_ptr<CScript>> LoadScriptFiles(const std::string& scriptFolder,
                                                      const std::vector<std::string>& fileNames,
                                                      Edition edition, unsigned threads = 0);

}  // namespace tarvix
