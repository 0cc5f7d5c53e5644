#pragma once

#include <windows.h>

#include <cstdint>

#include "controls.h"
#include "dialog.h"

namespace tarvix {

// The repeat dialog: how often a script's actions are played, a number of
// times, until the stop hotkey, or for a span of hours, minutes and seconds.
// It always opens with its own start values, not the script's setting.
class CRepeatDlg : public ui::Dialog {
public:
    CRepeatDlg();
    ~CRepeatDlg() override;

    // After DoModal has returned IDOK: the repeat type (0 count, 1 until
    // stop, 2 seconds) and the repeat number that goes with it.
    int32_t repeatType() const { return m_repeatType; }
    int32_t repeatNumber() const { return m_repeatNumber; }

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    void DoDataExchange(ui::DataExchange& dx) override;
    const ui::MessageMap* GetMessageMap() const override;

private:
    void OnCountChange();
    void OnSpanChange();
    void CheckRepeatType(int type);

    ui::SpinControl m_countSpin;
    ui::SpinControl m_hoursSpin;
    ui::SpinControl m_minutesSpin;
    ui::SpinControl m_secondsSpin;
    int m_repeatType = 0;  // index in the radio group
    int32_t m_hours = 0;
    int32_t m_minutes = 1;
    int32_t m_seconds = 0;
    int32_t m_count = 1;
    int32_t m_repeatNumber = 1;
    // Set while the dialog writes its members into the boxes: the text
    // changes that causes are not the user choosing a repeat type.
    bool m_writingControls = false;
};

}  // namespace tarvix
