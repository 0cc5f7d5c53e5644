#pragma once

#include <windows.h>

#include "dialog.h"
#include "settings.h"

namespace tarvix {

// The recording dialog: whether to record the pointer's path, keep the
// timing and place the pointer in the window in front; 開始 starts the
// recording, Cancel does nothing.
class CRecordDlg : public ui::Dialog {
public:
    explicit CRecordDlg(RecordChoices choices);
    ~CRecordDlg() override;

    // The choices as the dialog ended with them.
    RecordChoices choices() const;

protected:
    void DoDataExchange(ui::DataExchange& dx) override;

private:
    int m_pathCheck;
    int m_timingCheck;
    int m_windowCheck;
};

}  // namespace tarvix
