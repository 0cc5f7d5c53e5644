#pragma once

#include <windows.h>
#include <shellapi.h>

#include <memory>
#include <string>
#include <vector>

#include "dialog.h"
#include "dpi.h"
#include "hotkey.h"
#include "list_control.h"
#include "scoped_handles.h"
#include "script.h"
#include "script_library.h"
#include "script_rows.h"
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

    // One row for a record the library owns from now on.
    void AddScriptRow(std::unique_ptr<CScript> script);
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
    // Everything drawn in pixels of the design (list columns, list font,
    // pictures) at the window's DPI.
    void SetListFont(UINT dpi);
    void ApplyDpi(UINT dpi);
    void SetUpAdPanel();
    void PlaceBrowser(const WebAddress& page);
    void NoteAdPanelInput(const MSG& msg);
    void CloseAdPanel();
    // Selection, focus and the Shift range's start, held by record while
    // rows come, go and move.
    struct RowMarks {
        std::vector<const CScript*> selected;
        const CScript* focused = nullptr;
        const CScript* selectionMark = nullptr;
    };
    // The marks as they are to be once the rows `leaving` (ascending) have
    // gone; a row that leaves hands its focus on as the list's own deletion
    // did.
    RowMarks SaveRowMarks(const std::vector<size_t>& leaving = {}) const;
    const CScript* MarkAfterLeaving(int row, const std::vector<size_t>& leaving) const;
    // The list shows the library's rows again, with the marks where their
    // records now are.
    void ShowRows(const RowMarks& marks);
    void FillWindowList();
    void EnableWindowChoice(bool enable);
    void SetRowEnabled(size_t row, bool enabled);
    std::string ScriptFolder() const;
    std::string SettingsFile() const;
    void AddTrayIcon();
    void ShowAbout();

    LRESULT OnHotKey(WPARAM wParam, LPARAM lParam);
    LRESULT OnSysCommand(WPARAM wParam, LPARAM lParam);
    LRESULT OnQueryDragIcon(WPARAM wParam, LPARAM lParam);
    LRESULT OnPaint(WPARAM wParam, LPARAM lParam);
    LRESULT OnTrayNotify(WPARAM wParam, LPARAM lParam);
    LRESULT OnTrayRecording(WPARAM wParam, LPARAM lParam);
    void SetTrayTip(const std::wstring& tip);
    LRESULT OnTaskbarCreated(WPARAM wParam, LPARAM lParam);
    LRESULT OnHelpInfo(WPARAM wParam, LPARAM lParam);
    void OnMinimize();
    void OnAbout();
    void OnHelp();
    LRESULT OnDestroy(WPARAM wParam, LPARAM lParam);
    LRESULT OnDpiChanged(WPARAM wParam, LPARAM lParam);
    LRESULT OnDpiSettled(WPARAM wParam, LPARAM lParam);
    LRESULT OnAdPageAnswered(WPARAM wParam, LPARAM lParam);
    LRESULT OnAdOpenOutside(WPARAM wParam, LPARAM lParam);
    LRESULT OnAdLeftSite(WPARAM wParam, LPARAM lParam);
    void OnAdd();
    void OnModify();
    LRESULT OnScriptListDblClk(NMHDR* header);
    LRESULT OnScriptListGetDispInfo(NMHDR* header);
    LRESULT OnScriptListFindItem(NMHDR* header);
    void OnDelete();
    void OnToggleValid();
    void OnAllValid();
    void OnAllInvalid();
    void OnAllWindows();
    void OnOneWindow();
    void OnRefresh();

    uint16_t m_stopHotkey = kDefaultStopHotkey.vk;
    uint16_t m_stopHotkeyMod = kDefaultStopHotkey.mods;
    ui::Window m_linkLogo;
    ui::Window m_windowCombo;
    ui::ListControl m_scriptList;
    int m_targetMode = 0;
    std::wstring m_targetTitle;
    HICON m_icon;
    HCURSOR m_handCursor;
    NOTIFYICONDATAW m_trayIcon{};
    HWND m_recordingWindow = nullptr;  // while the editor records

    win32::ScopedFont m_listFont;
    UINT m_dpi = ui::kDesignDpi;
    ui::DpiPictures m_pictures;
    ScriptRowTexts m_rowTexts;
    // The scripts; the list shows its rows and asks it for their texts.
    ScriptLibrary m_library;
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
