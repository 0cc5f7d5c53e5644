#pragma once

#include <windows.h>

#include <string>

namespace tarvix {

// The application: the one object that starts the program, guards against a
// second copy and knows the program folder every file path is built from.
class CMacroApp {
public:
    // Runs the whole program; FALSE when it has ended, which it always has
    // by the time this returns (at once when another copy runs).
    BOOL InitInstance();

    // Drive and directory of the program file, ending in a backslash; a
    // path in the file system's form (UTF-8, file_io.h), not a model string.
    const std::string& programFolder() const { return m_programFolder; }

private:
    void InitPaths();

    std::string m_programFolder;
};

// The program's one application object.
CMacroApp& TheApp();

}  // namespace tarvix
