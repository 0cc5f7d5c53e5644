#include "macro_app.h"

#include <commctrl.h>
#include <ole2.h>

#include <memory>
#include <vector>

#include "edition_config.h"
#include "macro_dlg.h"
#include "paths.h"
#include "wide_text.h"

namespace tarvix {

namespace {

// The name other copies of the program look for; shared by both editions,
// so only one of them runs in a user logon.
constexpr char kRunOnceMutex[] = "Keyvane Run once";

// The full path of the program file, however long, as a path (UTF-8): the
// folder may hold characters that no narrow code page has.
std::string ModulePath() {
    std::vector<wchar_t> path(MAX_PATH);
    for (;;) {
        const DWORD length = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return std::string();
        if (length < path.size()) return PathFromWide(std::wstring_view(path.data(), length));
        path.resize(path.size() * 2);
    }
}

// OLE on the user-interface thread for as long as the main window lives: the
// window hosts the web browser control.
class OleSession {
public:
    OleSession() : m_initialised(SUCCEEDED(::OleInitialize(nullptr))) {}
    ~OleSession() {
        if (m_initialised) ::OleUninitialize();
    }
    OleSession(const OleSession&) = delete;
    OleSession& operator=(const OleSession&) = delete;

private:
    bool m_initialised;
};

}  // namespace

CMacroApp& TheApp() {
    static CMacroApp app;
    return app;
}

BOOL CMacroApp::InitInstance() {
    // OLE comes first and stays until the main window has gone; an edition
    // without the web page panel hosts no control and needs none.
    std::unique_ptr<OleSession> ole;
    if (kProgramTraits.hasAdPanel) ole = std::make_unique<OleSession>();

    // The handle is kept open for the life of the process on purpose: the
    // system releases the mutex when the process ends, however it ends.
    ::CreateMutexA(nullptr, TRUE, kRunOnceMutex);
    if (::GetLastError() == ERROR_ALREADY_EXISTS) return FALSE;

    InitPaths();

    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);

    {
        CMacroDlg dialog;
        dialog.DoModal();
    }
    return FALSE;
}

void CMacroApp::InitPaths() {
    m_programFolder = ProgramFolderFromModulePath(ModulePath());
    if (kProgramTraits.createsScriptFolder) {
        // Fails harmlessly when the folder is there already; without rights
        // the saves into it fail later and say so.
        ::CreateDirectoryW(WideFromPath(m_programFolder + "script").c_str(), nullptr);
    }
}

}  // namespace tarvix
