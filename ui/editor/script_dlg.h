#pragma once

#include <windows.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "controls.h"
#include "dialog.h"
#include "editor_list.h"
#include "list_control.h"
#include "row_texts.h"
#include "script.h"
#include "settings.h"

namespace tarvix {

// The script editor: description, start and stop hotkeys, run-once flag,
// repeat setting and the action list with its insertion panels. It edits a
// working copy of the actions; the record changes only when OK has saved it,
// so Cancel leaves the script exactly as it was.
class CScriptDlg : public ui::Dialog {
public:
    // hotkeyWindow receives the hotkey reports again when the editor closes.
    explicit CScriptDlg(HWND hotkeyWindow);
    ~CScriptDlg() override;

    // Add: the editor starts from an empty record.
    BOOL m_isNew = FALSE;
    // Modify: the record of the selected row, set by the caller; the editor
    // only reads it.
    const CScript* m_script = nullptr;

    // After IDOK: the record as saved, for the caller to keep (Add) or to
    // put in place of the one it edited (Modify).
    std::unique_ptr<CScript> TakeSavedScript() { return std::move(m_saved); }

    void InsertAction(const RowTexts& texts);
    void ShowRepeatText();
    std::optional<uint32_t> TypedSpeed() const;

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    void DoDataExchange(ui::DataExchange& dx) override;
    bool PreTranslateMessage(MSG* msg) override;
    const ui::MessageMap* GetMessageMap() const override;

private:
    void InitControls();
    void FillPointCombo(int select = 0);
    bool PointInWindow() const;
    ScreenPoint ChosenPlace(const Settings& settings, int n) const;
    std::string SettingsFile() const;
    std::string ScriptFolder() const;
    void InsertRow(size_t index);
    void SelectRow(int row);
    int SelectedRow() const;
    void InsertFromPanel(const ScriptAction& action);
    void MoveSelectedRow(bool up);

    void OnRepeat();
    void OnDeleteAction();
    void OnMoveUp();
    void OnMoveDown();
    LRESULT OnActionListItemChanged(NMHDR* header);
    LRESULT OnActionListInsertItem(NMHDR* header);
    LRESULT OnDrawItem(WPARAM wParam, LPARAM lParam);
    LRESULT OnDestroy(WPARAM wParam, LPARAM lParam);
    void OnInsertKey();
    void OnInsertButton();
    void OnInsertMoveTo();
    void OnInsertMoveR();
    void OnInsertDelay();
    void OnInsertText();
    void OnCapture();
    void OnPointInWindow();
    void OnRecord();
    void InsertRecording(const std::vector<ScriptAction>& actions);

    HWND m_hotkeyWindow;
    std::unique_ptr<CScript> m_newScript;
    std::unique_ptr<CScript> m_saved;
    EditorList m_list;
    KindNames m_kindNames;
    std::string m_unit;
    // Row changes the editor makes itself are not the user's selection.
    bool m_changingRows = false;

    ScriptAction m_action;
    ui::ComboBox m_pointCombo;
    ui::ListControl m_actionList;
    ui::HotkeyControl m_stopHotkeyCtrl;
    ui::HotkeyControl m_beginHotkeyCtrl;
    ui::HotkeyControl m_keyHotkeyCtrl;
    ui::SpinControl m_buttonCountSpin;
    ui::SpinControl m_keyCountSpin;
    ui::SpinControl m_delaySpin;
    uint32_t m_delay = 1;
    uint32_t m_buttonCount = 1;
    uint32_t m_keyCount = 1;
    int m_buttonIndex = 0;
    int m_delayUnit = 0;
    std::string m_descText;
    std::string m_sayText;
    int m_keyKindIndex = 0;
    int32_t m_repeatMode = 0;
    int32_t m_repeatValue = 1;
    int m_runOnceCheck = BST_CHECKED;
    int32_t m_dx = 0;
    int32_t m_dy = 0;
};

}  // namespace tarvix
