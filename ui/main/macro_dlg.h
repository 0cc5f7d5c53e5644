#pragma once

#include "dialog.h"

namespace tarvix {

// The main window: the script list and the library's commands.
class CMacroDlg : public ui::Dialog {
public:
    CMacroDlg();

protected:
    BOOL OnInitDialog() override;

private:
    HICON m_icon;
};

}  // namespace tarvix
