#include "shell_links.h"

#include <shellapi.h>
#include <windowsx.h>

#include "home_page.h"
#include "wide_text.h"

namespace tarvix {

void OpenHomePage(HWND owner) {
    ::ShellExecuteW(owner, L"open", L"" TARVIX_HOME_PAGE, L"", L"", SW_SHOW);
}

void OpenHelp(HWND owner, const std::string& programFolder) {
    const std::wstring folder = WideFromPath(programFolder + "help");
    ::ShellExecuteW(owner, L"open", L"index.htm", L"", folder.c_str(), SW_SHOW);
}

bool IsMouseMoveOver(const MSG& msg, HWND link) {
    return link && msg.message == WM_MOUSEMOVE && msg.hwnd == link;
}

bool IsLeftReleaseOver(const MSG& msg, HWND link) {
    if (!link || msg.message != WM_LBUTTONUP || msg.hwnd != link) return false;
    // A window that holds the mouse capture gets the release wherever the
    // pointer is.
    RECT client;
    if (!::GetClientRect(link, &client)) return false;
    const POINT at{GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam)};
    return ::PtInRect(&client, at) != FALSE;
}

}  // namespace tarvix
