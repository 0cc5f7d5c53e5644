#include "script_dlg.h"

#include <commctrl.h>

#include <algorithm>

#include "data_exchange.h"
#include "dpi.h"
#include "edition_config.h"
#include "hook_api.h"
#include "key_names.h"
#include "macro_app.h"
#include "message_box.h"
#include "panels.h"
#include "paths.h"
#include "point_capture_dlg.h"
#include "record_conversion.h"
#include "record_dlg.h"
#include "recording_runner.h"
#include "repeat_dlg.h"
#include "repeat_rules.h"
#include "resource.h"
#include "scoped_handles.h"
#include "settings.h"
#include "text.h"

namespace tarvix {

namespace {

// The editor's row texts are made in the model's Big5 from these.
std::string Big5Resource(unsigned id) { return ui::Big5FromWide(ui::ResourceString(id)); }

bool IsPickerOwnKey(WPARAM vk) {
    switch (vk) {
    case VK_ESCAPE:
    case VK_SPACE:
    case VK_RETURN:
    case VK_TAB:
    case VK_LWIN:
    case VK_RWIN:
    case VK_DELETE:
    case VK_CONTROL:
    case VK_SHIFT:
    case VK_MENU:
        return true;
    default:
        return false;
    }
}

// Asks before a save leaves out lines of the file that this edition could not
// read. The default answer keeps them: Enter alone loses nothing.
bool ConfirmLeavingOutLines(HWND owner, int32_t count) {
    const std::wstring text = ui::ResourceStringWith(IDS_UNREAD_LINES_QUESTION, std::to_wstring(count));
    return ui::AppMessageBox(owner, text, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES;
}

void ReportRecordingEnd(HWND owner, const RecordingResult& result) {
    for (const RecordingEndMessage& message : RecordingEndMessages(result))
        ui::AppMessageBox(owner, message.text, MB_OK | message.icon);
}

RecordOptions SystemRecordOptions(RecordChoices choices) {
    RecordOptions options;
    options.keepTiming = choices.keepTiming;
    options.mousePath = choices.mousePath;
    options.windowRelative = choices.windowRelative;
    options.doubleClickMs = ::GetDoubleClickTime();
    options.doubleClickWidth = ::GetSystemMetrics(SM_CXDOUBLECLK);
    options.doubleClickHeight = ::GetSystemMetrics(SM_CYDOUBLECLK);
    return options;
}

}  // namespace

CScriptDlg::CScriptDlg(HWND hotkeyWindow)
    : ui::Dialog(IDD_SCRIPT),
      m_hotkeyWindow(hotkeyWindow),
      m_kindNames(Big5Resource(IDS_KIND_NAMES), kProgramEdition, Big5Resource(IDS_WHEEL_DIRECTIONS)),
      m_unit(Big5Resource(IDS_MILLISECONDS)) {}

CScriptDlg::~CScriptDlg() = default;

const ui::MessageMap* CScriptDlg::GetMessageMap() const {
    static const ui::MessageEntry entries[] = {
        ui::OnMessage(WM_DESTROY, &CScriptDlg::OnDestroy),
        ui::OnMessage(WM_DRAWITEM, &CScriptDlg::OnDrawItem),
        ui::OnCommand(IDC_REPEAT_BUTTON, &CScriptDlg::OnRepeat),
        ui::OnCommand(IDC_DELETE_ACTION, &CScriptDlg::OnDeleteAction),
        ui::OnCommand(IDC_MOVE_UP, &CScriptDlg::OnMoveUp),
        ui::OnCommand(IDC_MOVE_DOWN, &CScriptDlg::OnMoveDown),
        ui::OnCommand(IDC_INSERT_KEY, &CScriptDlg::OnInsertKey),
        ui::OnCommand(IDC_INSERT_BUTTON, &CScriptDlg::OnInsertButton),
        ui::OnCommand(IDC_INSERT_MOVETO, &CScriptDlg::OnInsertMoveTo),
        ui::OnCommand(IDC_INSERT_MOVER, &CScriptDlg::OnInsertMoveR),
        ui::OnCommand(IDC_INSERT_DELAY, &CScriptDlg::OnInsertDelay),
        ui::OnCommand(IDC_INSERT_TEXT, &CScriptDlg::OnInsertText),
        ui::OnCommand(IDC_CAPTURE, &CScriptDlg::OnCapture),
        ui::OnCommand(IDC_POINT_IN_WINDOW, &CScriptDlg::OnPointInWindow),
        ui::OnCommand(IDC_RECORD, &CScriptDlg::OnRecord),
        ui::OnNotify(LVN_ITEMCHANGED, IDC_ACTION_LIST, &CScriptDlg::OnActionListItemChanged),
        ui::OnNotify(LVN_INSERTITEM, IDC_ACTION_LIST, &CScriptDlg::OnActionListInsertItem),
    };
    static const ui::MessageMap map = ui::MakeMessageMap(ui::Dialog::GetMessageMap(), entries);
    return &map;
}

void CScriptDlg::DoDataExchange(ui::DataExchange& dx) {
    dx.Control(IDC_POINT_COMBO, m_pointCombo);
    dx.Control(IDC_ACTION_LIST, m_actionList);
    dx.Control(IDC_STOP_HOTKEY, m_stopHotkeyCtrl);
    dx.Control(IDC_BEGIN_HOTKEY, m_beginHotkeyCtrl);
    dx.Control(IDC_KEY_PICKER, m_keyHotkeyCtrl);
    dx.Control(IDC_BUTTON_COUNT_SPIN, m_buttonCountSpin);
    dx.Control(IDC_KEY_COUNT_SPIN, m_keyCountSpin);
    dx.Control(IDC_DELAY_SPIN, m_delaySpin);
    dx.Number(IDC_DELAY, m_delay);
    dx.Number(IDC_BUTTON_COUNT, m_buttonCount);
    dx.Number(IDC_KEY_COUNT, m_keyCount);
    dx.ComboIndex(IDC_BUTTON_KIND, m_buttonIndex);
    dx.ComboIndex(IDC_DELAY_UNIT, m_delayUnit);
    dx.Text(IDC_DESCRIPTION, m_descText);
    dx.Text(IDC_SAY_TEXT, m_sayText);
    dx.ComboIndex(IDC_KEY_KIND, m_keyKindIndex);
    if (kProgramTraits.hasRunOnce) dx.Check(IDC_RUN_ONCE, m_runOnceCheck);
    if (kProgramTraits.hasMoveR) {
        dx.Number(IDC_DX, m_dx);
        dx.Number(IDC_DY, m_dy);
    }
}

std::string CScriptDlg::SettingsFile() const { return SettingsPath(TheApp().programFolder()); }

std::string CScriptDlg::ScriptFolder() const { return ScriptFolderPath(TheApp().programFolder()); }

BOOL CScriptDlg::OnInitDialog() {
    ui::Dialog::OnInitDialog();
    // No script starts or stops while its keys are being typed in here.
    HookStopHotkeys();
    InitControls();

    const Hotkey stop = Settings(SettingsFile()).ReadStopHotkey();
    m_stopHotkeyCtrl.SetHotkey(stop.vk, stop.mods);

    if (m_isNew) {
        m_newScript = std::make_unique<CScript>(kProgramEdition);
        m_script = m_newScript.get();
        m_list = EditorList();
        m_repeatMode = RepeatCount;
        m_repeatValue = 1;
    } else if (m_script) {
        m_beginHotkeyCtrl.SetHotkey(m_script->m_beginHotkey, m_script->m_beginHotkeyMod);
        m_descText = m_script->m_description;
        ::SetDlgItemTextW(m_hWnd, IDC_DESCRIPTION, ui::WideFromBig5(m_descText).c_str());
        m_repeatMode = m_script->m_repeatType;
        m_repeatValue = m_script->m_repeatNumber;
        if (kProgramTraits.hasRunOnce) {
            m_runOnceCheck = m_script->m_runOnce ? BST_CHECKED : BST_UNCHECKED;
            ::CheckDlgButton(m_hWnd, IDC_RUN_ONCE, m_runOnceCheck);
        }
        m_list = EditorList(m_script->m_actions, m_kindNames, m_unit);
    }
    ShowRepeatText();
    if (kProgramTraits.hasSpeed && m_script)
        ::SetDlgItemTextW(m_hWnd, IDC_SPEED, ui::WideFromBig5(SpeedText(m_script->m_speed)).c_str());

    m_changingRows = true;
    for (size_t i = 0; i < m_list.size(); ++i) InsertRow(i);
    m_changingRows = false;
    return TRUE;
}

void CScriptDlg::InitControls() {
    m_keyCountSpin.SetBuddy(GetDlgItem(IDC_KEY_COUNT));
    m_keyCountSpin.SetRange(1, 9999);
    m_buttonCountSpin.SetBuddy(GetDlgItem(IDC_BUTTON_COUNT));
    m_buttonCountSpin.SetRange(1, 9999);
    m_delaySpin.SetBuddy(GetDlgItem(IDC_DELAY));
    m_delaySpin.SetRange(1, 9999);
    if (kProgramTraits.hasMoveR) {
        ui::SpinControl dxSpin, dySpin;
        dxSpin.Attach(GetDlgItem(IDC_DX_SPIN));
        dxSpin.SetBuddy(GetDlgItem(IDC_DX));
        dxSpin.SetRange(-999, 999);
        dySpin.Attach(GetDlgItem(IDC_DY_SPIN));
        dySpin.SetBuddy(GetDlgItem(IDC_DY));
        dySpin.SetRange(-999, 999);
    }
    // The key picker holds one key alone: every modifier combination is
    // replaced by none.
    m_keyHotkeyCtrl.SetRules(0xFFFF, 0);

    const UINT dpi = ui::WindowDpi(m_hWnd);
    const ColumnWidths2 widths = kProgramTraits.actionListColumns;
    m_actionList.InsertColumn(0, ui::ResourceString(IDS_COLUMN_ACTION), ui::ScaleForDpi(widths.first, dpi));
    m_actionList.InsertColumn(1, ui::ResourceString(IDS_COLUMN_COUNT), ui::ScaleForDpi(widths.second, dpi));
    FillPointCombo();
    if (kProgramTraits.hasSpeed) {
        for (uint32_t percent : {25u, 50u, 100u, 200u, 400u})
            ::SendDlgItemMessageW(m_hWnd, IDC_SPEED, CB_ADDSTRING, 0,
                                  reinterpret_cast<LPARAM>(ui::WideFromBig5(SpeedText(percent)).c_str()));
    }
}

bool CScriptDlg::PointInWindow() const {
    return kProgramTraits.hasMoveIn && ::IsDlgButtonChecked(m_hWnd, IDC_POINT_IN_WINDOW) == BST_CHECKED;
}

ScreenPoint CScriptDlg::ChosenPlace(const Settings& settings, int n) const {
    return PointInWindow() ? settings.ReadCapturePointInWindow(n) : settings.ReadCapturePoint(n);
}

// The points in the form 插入 inserts them in; the selection stays where it
// was when only the form changes.
void CScriptDlg::FillPointCombo(int select) {
    const Settings settings(SettingsFile());
    const std::string mark = PointInWindow() ? Big5Resource(IDS_POINT_IN_WINDOW) : std::string();
    m_pointCombo.ResetContent();
    for (int n = 0; n < Settings::kCapturePointCount; ++n)
        m_pointCombo.AddString(ui::WideFromBig5(PointComboEntry(n, ChosenPlace(settings, n), mark)));
    m_pointCombo.SetCurSel(select);
}

void CScriptDlg::OnPointInWindow() { FillPointCombo(std::max(0, m_pointCombo.GetCurSel())); }

void CScriptDlg::ShowRepeatText() {
    const std::string text = RepeatText(m_repeatMode, m_repeatValue, Big5Resource(IDS_REPEAT_COUNT),
                                        Big5Resource(IDS_REPEAT_UNTIL_STOP), Big5Resource(IDS_REPEAT_SECONDS));
    ::SetDlgItemTextW(m_hWnd, IDC_REPEAT_TEXT, ui::WideFromBig5(text).c_str());
}

// Row i of the list control from row i of the working copy, whose action is
// already in place (the insert notification colours the row from it).
void CScriptDlg::InsertRow(size_t index) {
    const EditorList::Row& row = m_list.row(index);
    const int at = m_actionList.InsertItem(static_cast<int>(index), ui::WideFromBig5(row.texts.action));
    if (at >= 0) m_actionList.SetItemText(at, 1, ui::WideFromBig5(row.texts.count));
}

int CScriptDlg::SelectedRow() const {
    return static_cast<int>(m_actionList.Send(LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

void CScriptDlg::SelectRow(int row) {
    m_actionList.SetItemSelected(row, true);
    m_list.Select(row);
}

void CScriptDlg::InsertAction(const RowTexts& texts) {
    m_changingRows = true;
    const size_t index = m_list.Insert(m_action, texts);
    InsertRow(index);
    m_changingRows = false;
}

void CScriptDlg::InsertFromPanel(const ScriptAction& action) {
    m_action = action;
    InsertAction(InsertedRowTexts(action, m_kindNames, m_unit));
}

LRESULT CScriptDlg::OnActionListItemChanged(NMHDR*) {
    if (!m_changingRows) m_list.Select(SelectedRow());
    return 0;
}

LRESULT CScriptDlg::OnActionListInsertItem(NMHDR* header) {
    if (!kProgramTraits.ownerDrawnActionRows) return 0;
    const int index = reinterpret_cast<NMLISTVIEW*>(header)->iItem;
    if (index < 0 || static_cast<size_t>(index) >= m_list.size()) return 0;
    // Setting the colour is no change of the user's selection.
    const bool changing = m_changingRows;
    m_changingRows = true;
    m_actionList.SetItemData(index, static_cast<LPARAM>(m_list.row(static_cast<size_t>(index)).color));
    m_changingRows = changing;
    return 0;
}

LRESULT CScriptDlg::OnDrawItem(WPARAM, LPARAM lParam) {
    const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
    if (!kProgramTraits.ownerDrawnActionRows || !item || item->CtlID != IDC_ACTION_LIST) {
        PassToDefault();
        return 0;
    }
    const RECT bounds = item->rcItem;
    const HWND list = GetDlgItem(static_cast<int>(item->CtlID));
    const win32::ScopedBrush brush(::CreateSolidBrush(static_cast<COLORREF>(item->itemData)));
    const win32::ScopedSelection selected(item->hDC, brush.get());
    ::PatBlt(item->hDC, bounds.left, bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top, PATCOPY);

    ui::ListControl rows;
    rows.Attach(list);
    const int row = static_cast<int>(item->itemID);
    // The texts on the row's colour, in the list's own font and text colour.
    const int oldMode = ::SetBkMode(item->hDC, TRANSPARENT);
    for (int column = 0; column < 2; ++column) {
        RECT label = {};
        label.top = column;
        label.left = LVIR_LABEL;
        if (!::SendMessageW(list, LVM_GETSUBITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&label)))
            continue;
        std::wstring text = rows.GetItemText(row, column);
        UINT format = DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX;
        if (column == 1) format |= DT_CENTER;
        ::DrawTextW(item->hDC, text.c_str(), static_cast<int>(text.size()), &label, format);
    }
    ::SetBkMode(item->hDC, oldMode);
    if (item->itemState & ODS_SELECTED)
        ::PatBlt(item->hDC, bounds.left, bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top,
                 PATINVERT);
    return TRUE;
}

void CScriptDlg::OnDeleteAction() {
    const int selected = SelectedRow();
    if (!m_list.CanDelete(selected)) return;
    if (ui::AppMessageBox(m_hWnd, ui::ResourceString(IDS_DELETE_ACTION_QUESTION), MB_OKCANCEL | MB_ICONQUESTION) !=
        IDOK)
        return;
    m_changingRows = true;
    const int next = m_list.Delete(selected);
    m_actionList.DeleteItem(selected);
    m_changingRows = false;
    SelectRow(next);
    ::InvalidateRect(m_actionList.GetSafeHwnd(), nullptr, TRUE);
}

void CScriptDlg::OnMoveUp() { MoveSelectedRow(true); }

void CScriptDlg::OnMoveDown() { MoveSelectedRow(false); }

// The action first, then its row again at the new place with the texts it
// had; the moved row is selected and the insertion point goes with it.
void CScriptDlg::MoveSelectedRow(bool up) {
    const int selected = SelectedRow();
    if (!(up ? m_list.CanMoveUp(selected) : m_list.CanMoveDown(selected))) return;
    m_changingRows = true;
    m_action = m_list.action(static_cast<size_t>(selected));
    const int moved = up ? m_list.MoveUp(selected) : m_list.MoveDown(selected);
    m_actionList.DeleteItem(selected);
    InsertRow(static_cast<size_t>(moved));
    m_changingRows = false;
    SelectRow(moved);
    ::InvalidateRect(m_actionList.GetSafeHwnd(), nullptr, TRUE);
}

void CScriptDlg::OnRepeat() {
    CRepeatDlg dialog;
    if (dialog.DoModal() != IDOK) return;
    m_repeatMode = dialog.repeatType();
    m_repeatValue = dialog.repeatNumber();
    ShowRepeatText();
}

bool CScriptDlg::PreTranslateMessage(MSG* msg) {
    const bool keyMessage = msg->message == WM_KEYDOWN || msg->message == WM_KEYUP ||
                            msg->message == WM_SYSKEYDOWN || msg->message == WM_SYSKEYUP;
    if (keyMessage) {
        // Alt arrives as a system key; it is one of the picker's keys too.
        if (msg->hwnd == m_keyHotkeyCtrl.GetSafeHwnd() && IsPickerOwnKey(msg->wParam)) {
            m_keyHotkeyCtrl.SetHotkey(static_cast<uint16_t>(msg->wParam), 0);
            return true;
        }
        if (msg->wParam == VK_PAUSE && msg->hwnd == m_stopHotkeyCtrl.GetSafeHwnd()) {
            m_stopHotkeyCtrl.SetHotkey(VK_PAUSE, 0);
            return true;
        }
    }
    return ui::Dialog::PreTranslateMessage(msg);
}

void CScriptDlg::OnOK() {
    if (!m_script || !UpdateData(true)) return;
    uint16_t key = 0, mods = 0;
    m_beginHotkeyCtrl.GetHotkey(key, mods);
    if (key == 0 || !m_list.HasActions()) {
        ui::AppMessageBox(m_hWnd, ui::ResourceString(IDS_NO_HOTKEY_OR_ACTIONS), MB_OK);
        return;
    }

    const std::optional<uint32_t> speed = TypedSpeed();
    if (!speed) {
        ui::AppMessageBox(m_hWnd, ui::ResourceString(IDS_SPEED_RANGE), MB_OK | MB_ICONEXCLAMATION);
        ::SetFocus(GetDlgItem(IDC_SPEED));
        return;
    }

    const int32_t unread = LinesToConfirmBeforeSaving(*m_script);
    if (unread > 0 && !ConfirmLeavingOutLines(m_hWnd, unread)) return;

    // The record changes only once its file holds the change: a save that
    // fails leaves both as they were, and the dialog open with the edits.
    CScript updated(*m_script);
    updated.SetProperties(m_descText, key, mods, static_cast<uint16_t>(m_repeatMode), m_repeatValue);
    if (kProgramTraits.hasRunOnce) updated.m_runOnce = m_runOnceCheck == BST_CHECKED ? 1 : 0;
    if (kProgramTraits.hasSpeed) updated.m_speed = *speed;
    updated.m_actions = m_list.TakeActions();
    updated.m_unreadLineCount = 0;  // the saved file holds only what was read
    const std::string folder = ScriptFolder();
    if (m_isNew) updated.ChooseFileName(folder);
    if (!updated.Save(folder)) {
        const std::wstring path = WideFromPath(folder) + ui::WideFromBig5(updated.m_fileName);
        ui::AppMessageBox(m_hWnd, ui::ResourceStringWith(IDS_SAVE_FAILED, path), MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    m_saved = std::make_unique<CScript>(std::move(updated));

    uint16_t stopKey = 0, stopMods = 0;
    m_stopHotkeyCtrl.GetHotkey(stopKey, stopMods);
    Settings(SettingsFile()).WriteStopHotkey({stopKey, stopMods});
    EndDialog(IDOK);
}

// What the speed field holds; the record's own speed where there is no field.
std::optional<uint32_t> CScriptDlg::TypedSpeed() const {
    if (!kProgramTraits.hasSpeed) return m_script->m_speed;
    const HWND field = GetDlgItem(IDC_SPEED);
    std::wstring text(static_cast<size_t>(std::max(::GetWindowTextLengthW(field), 0)) + 1, L'\0');
    text.resize(static_cast<size_t>(std::max(::GetWindowTextW(field, text.data(), static_cast<int>(text.size())), 0)));
    return SpeedFromText(ui::Big5FromWide(text));
}

LRESULT CScriptDlg::OnDestroy(WPARAM, LPARAM) {
    PassToDefault();
    HookStartHotkeys(m_hotkeyWindow);
    return 0;
}

// --- Insertion panels ---

void CScriptDlg::OnInsertKey() {
    UpdateData(true);
    uint16_t key = 0, mods = 0;
    m_keyHotkeyCtrl.GetHotkey(key, mods);
    const auto action = KeyPanelAction(key, m_keyKindIndex, m_keyCount);
    if (!action) return;
    InsertFromPanel(*action);
    m_keyCount = 1;
    UpdateData(false);
}

void CScriptDlg::OnInsertButton() {
    UpdateData(true);
    const auto action = ButtonPanelAction(m_buttonIndex, m_buttonCount, kProgramEdition);
    if (!action) return;
    InsertFromPanel(*action);
    m_buttonCount = 1;
    UpdateData(false);
}

void CScriptDlg::OnInsertMoveTo() {
    UpdateData(true);
    const int n = std::max(0, m_pointCombo.GetCurSel());
    // The point as the settings file holds it now, not as the list shows it.
    InsertFromPanel(MoveToPanelAction(ChosenPlace(Settings(SettingsFile()), n), PointInWindow()));
}

void CScriptDlg::OnInsertMoveR() {
    if (!kProgramTraits.hasMoveR) return;
    UpdateData(true);
    InsertFromPanel(MoveByPanelAction(m_dx, m_dy));
}

void CScriptDlg::OnInsertDelay() {
    UpdateData(true);
    const auto action = DelayPanelAction(m_delay, m_delayUnit);
    if (!action) return;
    InsertFromPanel(*action);
    UpdateData(true);
}

void CScriptDlg::OnInsertText() {
    UpdateData(true);
    const auto action = TextPanelAction(m_sayText);
    if (!action) return;
    ::SetFocus(GetDlgItem(IDC_SAY_TEXT));
    InsertFromPanel(*action);
}

// The stop hotkey as the editor shows it ends the recording, saved or not.
// Both windows are out of the way meanwhile; what was recorded goes in at
// the insertion point as if from the panels.
void CScriptDlg::OnRecord() {
    if (!kProgramTraits.recordsInput) return;
    uint16_t stopKey = 0, stopMods = 0;
    m_stopHotkeyCtrl.GetHotkey(stopKey, stopMods);
    if (stopKey == 0) {
        ui::AppMessageBox(m_hWnd, ui::ResourceString(IDS_RECORD_NO_STOP_KEY), MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    const Settings settings(SettingsFile());
    RecordChoices choices;
    {
        CRecordDlg dialog(settings.ReadRecordChoices());
        if (dialog.DoModal() != IDOK) return;
        choices = dialog.choices();
    }
    settings.WriteRecordChoices(choices);

    const bool mainShown = m_hotkeyWindow && ::IsWindowVisible(m_hotkeyWindow);
    ::ShowWindow(m_hWnd, SW_HIDE);
    if (mainShown) ::ShowWindow(m_hotkeyWindow, SW_HIDE);
    const std::wstring tip =
        ui::ResourceStringWith(IDS_RECORDING_TIP, ui::WideFromBig5(HotkeyText(stopKey, stopMods)));
    const RecordingResult result =
        RunRecording(Hotkey{stopKey, stopMods}, choices.mousePath, choices.windowRelative, m_hotkeyWindow, tip);
    if (mainShown) ::ShowWindow(m_hotkeyWindow, SW_SHOW);
    ::ShowWindow(m_hWnd, SW_SHOW);
    ::SetForegroundWindow(m_hWnd);
    if (result.refused) {
        ui::AppMessageBox(m_hWnd, ui::ResourceString(IDS_RECORD_NO_HOOK), MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    InsertRecording(ConvertRecording(result.events, SystemRecordOptions(choices)));
    ReportRecordingEnd(m_hWnd, result);
}

void CScriptDlg::InsertRecording(const std::vector<ScriptAction>& actions) {
    if (actions.empty()) return;
    ::SendMessageW(m_actionList.GetSafeHwnd(), WM_SETREDRAW, FALSE, 0);
    for (const ScriptAction& action : actions) InsertFromPanel(action);
    ::SendMessageW(m_actionList.GetSafeHwnd(), WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(m_actionList.GetSafeHwnd(), nullptr, TRUE);
}

void CScriptDlg::OnCapture() {
    {
        CPointCaptureDlg dialog;
        dialog.DoModal();
    }
    FillPointCombo();
}

}  // namespace tarvix
