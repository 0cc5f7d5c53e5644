#include "repeat_dlg.h"

#include "data_exchange.h"
#include "message_box.h"
#include "repeat_rules.h"
#include "resource.h"
#include "text.h"

namespace tarvix {

namespace {

// Radio group indexes, in the group's order 1045, 1046, 1052.
constexpr int kCountIndex = 0;
constexpr int kSpanIndex = 2;

}  // namespace

CRepeatDlg::CRepeatDlg() : ui::Dialog(IDD_REPEAT) {}

CRepeatDlg::~CRepeatDlg() = default;

const ui::MessageMap* CRepeatDlg::GetMessageMap() const {
    static const ui::MessageEntry entries[] = {
        ui::OnCommand(IDC_REPEAT_COUNT, &CRepeatDlg::OnCountChange, EN_CHANGE),
        ui::OnCommand(IDC_REPEAT_HOURS, &CRepeatDlg::OnSpanChange, EN_CHANGE),
        ui::OnCommand(IDC_REPEAT_MINUTES, &CRepeatDlg::OnSpanChange, EN_CHANGE),
        ui::OnCommand(IDC_REPEAT_SECS, &CRepeatDlg::OnSpanChange, EN_CHANGE),
    };
    static const ui::MessageMap map = ui::MakeMessageMap(ui::Dialog::GetMessageMap(), entries);
    return &map;
}

void CRepeatDlg::DoDataExchange(ui::DataExchange& dx) {
    dx.Control(IDC_REPEAT_COUNT_SPIN, m_countSpin);
    dx.Control(IDC_REPEAT_HOURS_SPIN, m_hoursSpin);
    dx.Control(IDC_REPEAT_MINUTES_SPIN, m_minutesSpin);
    dx.Control(IDC_REPEAT_SECS_SPIN, m_secondsSpin);
    dx.Radio(IDC_REPEAT_COUNT_RADIO, m_repeatType);
    dx.Number(IDC_REPEAT_COUNT, m_count);
    dx.Number(IDC_REPEAT_HOURS, m_hours);
    dx.Number(IDC_REPEAT_MINUTES, m_minutes);
    dx.Number(IDC_REPEAT_SECS, m_seconds);
}

BOOL CRepeatDlg::OnInitDialog() {
    m_writingControls = true;
    ui::Dialog::OnInitDialog();
    m_countSpin.SetBuddy(GetDlgItem(IDC_REPEAT_COUNT));
    m_hoursSpin.SetBuddy(GetDlgItem(IDC_REPEAT_HOURS));
    m_minutesSpin.SetBuddy(GetDlgItem(IDC_REPEAT_MINUTES));
    m_secondsSpin.SetBuddy(GetDlgItem(IDC_REPEAT_SECS));
    // The ranges bind the arrows only; a typed number may lie outside.
    m_countSpin.SetRange(1, 32767);
    m_hoursSpin.SetRange(0, 999);
    m_minutesSpin.SetRange(0, 60);
    m_secondsSpin.SetRange(0, 60);
    m_writingControls = false;
    return TRUE;
}

// Typing into a box (or stepping it with its arrows) chooses the repeat type
// the box belongs to. Only the radio buttons change here: the boxes are read
// when the user confirms, so a box emptied to type a new number is not
// complained about while the user is still typing.
void CRepeatDlg::OnCountChange() {
    if (!m_writingControls) CheckRepeatType(kCountIndex);
}

void CRepeatDlg::OnSpanChange() {
    if (!m_writingControls) CheckRepeatType(kSpanIndex);
}

void CRepeatDlg::CheckRepeatType(int type) {
    m_repeatType = type;
    ui::DataExchange dx(*this, false);
    dx.Radio(IDC_REPEAT_COUNT_RADIO, m_repeatType);
}

void CRepeatDlg::OnOK() {
    // A box without a whole number has had the framework's prompt; the user
    // corrects it in the open dialog.
    if (!UpdateData(true)) return;
    RepeatFields fields;
    fields.type = m_repeatType;
    fields.count = m_count;
    fields.hours = m_hours;
    fields.minutes = m_minutes;
    fields.seconds = m_seconds;
    const std::optional<int32_t> number = RepeatNumber(fields);
    if (!number) {
        ui::AppMessageBox(m_hWnd, ui::ResourceString(IDS_INPUT_ERROR), MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    m_repeatNumber = *number;
    EndDialog(IDOK);
}

}  // namespace tarvix
