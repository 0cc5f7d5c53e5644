#pragma once

#include <windows.h>
#include <shellapi.h>

#include <memory>
#include <string>
#include <vector>

#include "dialog.h"
#include "list_control.h"
#include "script.h"
#include "web_browser.h"

namespace tarvix {

class AdBrowserGuard;
class AdProbeMailbox;
class PlaybackRuns;

// The main window: the script list, the library's commands, the choice of
// target window, and the receiver of the hotkey reports that start and stop
// the runs.
class CMacroDlg : public ui::Dialog {
public:
    CMacroDlg();
    ~CMacroDlg() override;

    // One row for a record the window owns from now on.
    void AddScriptRow(CScript* script);
    void LoadScripts();
    void ReadStopHotkey();
    // The page answered: the browser in place of the banner.
    void ShowAdBrowser();

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(ui::DataExchange& dx) override;
    bool PreTranslateMessage(MSG* msg) override;
    const ui::MessageMap* GetMessageMap() const override;

private:
    void InitScriptList();
    void SetUpAdPanel();
    void PlaceBrowser(const WebAddress& page);
    void NoteAdPanelInput(const MSG& msg);
    void CloseAdPanel();
    // The row of a record the window already owns, at its sorted place.
    void InsertScriptRow(CScript* script);
    void FillWindowList();
    void EnableWindowChoice(bool enable);
    std::wstring RowHotkeyText(const CScript& script) const;
    CScript* RowScript(int row) const;
    void SetRowEnabled(int row, CScript& script, bool enabled);
    std::string ScriptFolder() const;
    std::string SettingsFile() const;
    void AddTrayIcon();
    void ShowAbout();

    LRESULT OnHotKey(WPARAM wParam, LPARAM lParam);
    LRESULT OnSysCommand(WPARAM wParam, LPARAM lParam);
    LRESULT OnQueryDragIcon(WPARAM wParam, LPARAM lParam);
    LRESULT OnPaint(WPARAM wParam, LPARAM lParam);
    LRESULT OnTrayNotify(WPARAM wParam, LPARAM lParam);
    LRESULT OnTaskbarCreated(WPARAM wParam, LPARAM lParam);
    LRESULT OnHelpInfo(WPARAM wParam, LPARAM lParam);
    void OnMinimize();
    void OnAbout();
    void OnHelp();
    LRESULT OnDestroy(WPARAM wParam, LPARAM lParam);
    LRESULT OnAdPageAnswered(WPARAM wParam, LPARAM lParam);
    LRESULT OnAdOpenOutside(WPARAM wParam, LPARAM lParam);
    LRESULT OnAdLeftSite(WPARAM wParam, LPARAM lParam);
    void OnAdd();
    void OnModify();
    LRESULT OnScriptListDblClk(NMHDR* header);
    void OnDelete();
    void OnToggleValid();
    void OnAllValid();
    void OnAllInvalid();
    void OnAllWindows();
    void OnOneWindow();
    void OnRefresh();

    uint16_t m_stopHotkey = 65;
    uint16_t m_stopHotkeyMod = 3;
    ui::Window m_linkLogo;
    ui::Window m_windowCombo;
    ui::ListControl m_scriptList;
    int m_targetMode = 0;
    std::wstring m_targetTitle;
    HICON m_icon;
    HCURSOR m_handCursor;
    NOTIFYICONDATAW m_trayIcon{};

    HFONT m_listFont = nullptr;
    // The records of the rows; a row's item data points into this.
    std::vector<std::unique_ptr<CScript>> m_scripts;
    std::unique_ptr<PlaybackRuns> m_runs;
    bool m_reportingHotkeys = false;
    // The advertisement panel: the browser, when there is one, what keeps it
    // on its page, and what the probe thread shares with the window. The
    // guard outlives the browser's connection to it.
    std::unique_ptr<AdBrowserGuard> m_adGuard;
    CWebBrowser2 m_browser;
    std::shared_ptr<AdProbeMailbox> m_adProbe;
};

}  // namespace tarvix
