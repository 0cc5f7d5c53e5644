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

// Every script of the folder, in the order TextFileNames lists them, loaded
// as LoadScriptFiles loads them, but a file whose name, size and last write
// time are those kept in the cache file at `cachePath` is not opened: its
// bytes come from the cache. The cache holds the files' bytes as they are,
// so both editions read their own records from it, and it is written again,
// replaced whole, when it was missing, damaged or out of date. A cache that
// cannot be read or written costs time, never a script.
std::vector<std::unique_ptr<CScript>> LoadScriptFolder(const std::string& scriptFolder,
                                                       const std::string& cachePath, Edition edition,
                                                       unsigned threads = 0);

}  // namespace tarvix
