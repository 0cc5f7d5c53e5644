#pragma once

#include <windows.h>

#include <string>

#include "dialog.h"
#include "macro_app.h"
#include "paths.h"
#include "settings.h"

namespace tarvix {

// The coordinate capture dialog: while it is open, Alt+Ctrl with a digit
// stores the pointer's screen position as that point (1 to 9) in the
// settings file and shows it. The points live only in the file; the dialog
// writes each capture at once.
class CPointCaptureDlg : public ui::Dialog {
public:
    // On the program's own settings file.
    CPointCaptureDlg() : CPointCaptureDlg(SettingsPath(TheApp().programFolder())) {}
    explicit CPointCaptureDlg(std::string settingsFile);
    ~CPointCaptureDlg() override;

protected:
    BOOL OnInitDialog() override;
    void OnCancel() override;
    const ui::MessageMap* GetMessageMap() const override;

private:
    LRESULT OnHotKey(WPARAM wParam, LPARAM lParam);
    LRESULT OnDestroy(WPARAM wParam, LPARAM lParam);
    void ShowPoint(int index, ScreenPoint point) const;
    // Ends the capture keys' reports to this window, once.
    void StopCapture();

    Settings m_settings;
    bool m_capturing = false;
};

}  // namespace tarvix
