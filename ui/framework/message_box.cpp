#include "message_box.h"

#include "text.h"

namespace tarvix::ui {

int AppMessageBox(HWND owner, const std::wstring& text, UINT type) {
    return ::MessageBoxW(owner, text.c_str(), ApplicationName().c_str(), type);
}

}  // namespace tarvix::ui
