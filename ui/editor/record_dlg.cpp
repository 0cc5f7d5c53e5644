#include "record_dlg.h"

#include "data_exchange.h"
#include "resource.h"

namespace tarvix {

namespace {

int CheckOf(bool on) { return on ? BST_CHECKED : BST_UNCHECKED; }

}  // namespace

CRecordDlg::CRecordDlg(RecordChoices choices)
    : ui::Dialog(IDD_RECORD),
      m_pathCheck(CheckOf(choices.mousePath)),
      m_timingCheck(CheckOf(choices.keepTiming)),
      m_windowCheck(CheckOf(choices.windowRelative)) {}

CRecordDlg::~CRecordDlg() = default;

void CRecordDlg::DoDataExchange(ui::DataExchange& dx) {
    dx.Check(IDC_RECORD_PATH, m_pathCheck);
    dx.Check(IDC_RECORD_TIMING, m_timingCheck);
    dx.Check(IDC_RECORD_WINDOW, m_windowCheck);
}

RecordChoices CRecordDlg::choices() const {
    RecordChoices choices;
    choices.mousePath = m_pathCheck == BST_CHECKED;
    choices.keepTiming = m_timingCheck == BST_CHECKED;
    choices.windowRelative = m_windowCheck == BST_CHECKED;
    return choices;
}

}  // namespace tarvix
