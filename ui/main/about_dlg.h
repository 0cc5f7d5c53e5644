#pragma once

#include "dialog.h"
#include "dpi.h"

namespace tarvix {

// The about box: the product, its edition, its makers and the link to the
// maker's home page (control 1059).
class CAboutDlg : public ui::Dialog {
public:
    explicit CAboutDlg(HWND parent);
    ~CAboutDlg() override;

protected:
    BOOL OnInitDialog() override;
    bool PreTranslateMessage(MSG* msg) override;

private:
    ui::DpiPictures m_pictures;
};

}  // namespace tarvix
