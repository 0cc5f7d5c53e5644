#include "macro_dlg.h"

#include "about_dlg.h"
#include "ad_browser_guard.h"
#include "ad_panel.h"
#include "data_exchange.h"
#include "edition_config.h"
#include "file_io.h"
#include "hook_api.h"
#include "key_names.h"
#include "macro_app.h"
#include "message_box.h"
#include "paths.h"
#include "playback_runs.h"
#include "profile.h"
#include "resource.h"
#include "run_control.h"
#include "script_dlg.h"
#include "script_folder.h"
#include "settings.h"
#include "shell_links.h"
#include "text.h"
#include "tray_icon.h"
#include "window_titles.h"

namespace tarvix {

namespace {


bool KeyDown(int vk) { return (::GetAsyncKeyState(vk) & 0x8000) != 0; }

#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0
#endif
// Posted to itself after a DPI change, once the system has moved and
// rescaled the dialog and its controls.
constexpr UINT WM_DPI_SETTLED = WM_APP + 0x31;

}  // namespace

CMacroDlg::CMacroDlg()
    : ui::Dialog(IDD_MAIN),
      m_icon(::LoadIconW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME))),
      m_handCursor(::LoadCursorW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDC_HAND_CURSOR))),
      m_library([this](const CScript& a, const CScript& b) { return m_rowTexts.Before(a, b); }) {}

CMacroDlg::~CMacroDlg() = default;

const ui::MessageMap* CMacroDlg::GetMessageMap() const {
    static const ui::MessageEntry entries[] = {
        ui::OnMessage(WM_HOTKEY, &CMacroDlg::OnHotKey),
        ui::OnMessage(WM_SYSCOMMAND, &CMacroDlg::OnSysCommand),
        ui::OnMessage(WM_QUERYDRAGICON, &CMacroDlg::OnQueryDragIcon),
        ui::OnMessage(WM_PAINT, &CMacroDlg::OnPaint),
        ui::OnMessage(WM_TRAYNOTIFY, &CMacroDlg::OnTrayNotify),
        ui::OnMessage(WM_TRAYRECORDING, &CMacroDlg::OnTrayRecording),
        ui::OnMessage(TaskbarCreatedMessage(), &CMacroDlg::OnTaskbarCreated),
        ui::OnMessage(WM_HELP, &CMacroDlg::OnHelpInfo),
        ui::OnCommand(IDC_MINIMIZE, &CMacroDlg::OnMinimize),
        ui::OnCommand(IDC_ABOUT, &CMacroDlg::OnAbout),
        ui::OnCommand(IDC_HELP_BUTTON, &CMacroDlg::OnHelp),
        ui::OnMessage(WM_DESTROY, &CMacroDlg::OnDestroy),
        ui::OnMessage(WM_DPICHANGED, &CMacroDlg::OnDpiChanged),
        ui::OnMessage(WM_DPI_SETTLED, &CMacroDlg::OnDpiSettled),
        ui::OnMessage(WM_AD_PAGE_ANSWERED, &CMacroDlg::OnAdPageAnswered),
        ui::OnMessage(WM_AD_OPEN_OUTSIDE, &CMacroDlg::OnAdOpenOutside),
        ui::OnMessage(WM_AD_LEFT_SITE, &CMacroDlg::OnAdLeftSite),
        ui::OnCommand(IDC_ADD, &CMacroDlg::OnAdd),
        ui::OnCommand(IDC_MODIFY, &CMacroDlg::OnModify),
        ui::OnNotify(NM_DBLCLK, IDC_SCRIPT_LIST, &CMacroDlg::OnScriptListDblClk),
        ui::OnNotify(LVN_GETDISPINFOW, IDC_SCRIPT_LIST, &CMacroDlg::OnScriptListGetDispInfo),
        ui::OnNotify(LVN_ODFINDITEMW, IDC_SCRIPT_LIST, &CMacroDlg::OnScriptListFindItem),
        ui::OnCommand(IDC_DELETE, &CMacroDlg::OnDelete),
        ui::OnCommand(IDC_TOGGLE_VALID, &CMacroDlg::OnToggleValid),
        ui::OnCommand(IDC_ALL_VALID, &CMacroDlg::OnAllValid),
        ui::OnCommand(IDC_ALL_INVALID, &CMacroDlg::OnAllInvalid),
        ui::OnCommand(IDC_ALL_WINDOWS, &CMacroDlg::OnAllWindows),
        ui::OnCommand(IDC_ONE_WINDOW, &CMacroDlg::OnOneWindow),
        ui::OnCommand(IDC_REFRESH, &CMacroDlg::OnRefresh),
    };
    static const ui::MessageMap map = ui::MakeMessageMap(ui::Dialog::GetMessageMap(), entries);
    return &map;
}

void CMacroDlg::DoDataExchange(ui::DataExchange& dx) {
    // The link is the maker logo beside the web page panel, or the banner
    // across the bottom where there is no panel; the templates bind it in
    // these orders.
    if (kProgramTraits.hasAdPanel) {
        dx.Control(IDC_MAKER_LOGO, m_linkLogo);
        dx.Control(IDC_WINDOW_COMBO, m_windowCombo);
        dx.Control(IDC_SCRIPT_LIST, m_scriptList);
    } else {
        dx.Control(IDC_WINDOW_COMBO, m_windowCombo);
        dx.Control(IDC_SCRIPT_LIST, m_scriptList);
        dx.Control(IDC_LINK_BANNER, m_linkLogo);
    }
    dx.Radio(IDC_ALL_WINDOWS, m_targetMode);
    dx.ComboText(IDC_WINDOW_COMBO, m_targetTitle);
}

std::string CMacroDlg::ScriptFolder() const { return ScriptFolderPath(TheApp().programFolder()); }

std::string CMacroDlg::SettingsFile() const { return SettingsPath(TheApp().programFolder()); }

BOOL CMacroDlg::OnInitDialog() {
    ui::Dialog::OnInitDialog();

    const std::wstring aboutText = ui::ResourceString(IDS_ABOUTBOX);
    if (HMENU menu = ::GetSystemMenu(m_hWnd, FALSE); menu && !aboutText.empty()) {
        ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
        ::AppendMenuW(menu, MF_STRING, IDM_ABOUTBOX, aboutText.c_str());
    }
    ::SendMessageW(m_hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_icon));
    ::SendMessageW(m_hWnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_icon));

    InitScriptList();
    AddTrayIcon();
    LoadScripts();
    ReadStopHotkey();

    m_runs = std::make_unique<PlaybackRuns>();
    HookStartHotkeys(m_hWnd);
    m_reportingHotkeys = true;
    // Once, with the hotkeys already working: stop works all the same, only
    // other programs can no longer stop the runs through the name.
    if (m_runs->StopNameTaken())
        ui::AppMessageBox(m_hWnd, ui::ResourceString(IDS_STOP_NAME_TAKEN), MB_OK | MB_ICONEXCLAMATION);
    return TRUE;
}

void CMacroDlg::InitScriptList() {
    m_dpi = ui::WindowDpi(m_hWnd);
    const UINT headings[] = {IDS_COLUMN_HOTKEY, IDS_COLUMN_ENABLED, IDS_COLUMN_DESCRIPTION, IDS_COLUMN_FILENAME};
    for (int column = 0; column < 4; ++column)
        m_scriptList.InsertColumn(column, ui::ResourceString(headings[column]),
                                  ui::ScaleForDpi(kScriptListColumnWidths[column], m_dpi));
    SetListFont(m_dpi);
    m_pictures.Attach(m_hWnd, m_dpi);

    if (Settings(SettingsFile()).ReadEnableType() != 0) {
        EnableWindowChoice(true);
        UpdateData(true);
        m_targetMode = 1;
        UpdateData(false);
    }
    FillWindowList();
    if (kProgramTraits.hasAdPanel) SetUpAdPanel();
}

// 13 points of "System" at the window's DPI.
void CMacroDlg::SetListFont(UINT dpi) {
    const HFONT font = ::CreateFontW(ui::FontHeightForDpi(130, dpi), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                                     DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                     DEFAULT_PITCH | FF_DONTCARE, L"System");
    if (!font) return;
    m_scriptList.Send(WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    m_listFont.reset(font);
}

// Column widths the user has dragged keep their proportion.
void CMacroDlg::ApplyDpi(UINT dpi) {
    if (dpi == 0 || dpi == m_dpi) return;
    for (int column = 0; column < 4; ++column) {
        const int width = static_cast<int>(m_scriptList.Send(LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(column)));
        m_scriptList.Send(LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(column), ::MulDiv(width, dpi, m_dpi));
    }
    m_dpi = dpi;
    SetListFont(dpi);
    m_pictures.Apply(dpi);
}

LRESULT CMacroDlg::OnDpiChanged(WPARAM wParam, LPARAM lParam) {
    // The window takes the place the system suggests on the new monitor; the
    // system rescales the dialog's template controls, and what this window
    // drew in pixels follows once that is done, at the DPI the message names.
    if (const auto* suggested = reinterpret_cast<const RECT*>(lParam))
        ::SetWindowPos(m_hWnd, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                       suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
    ::PostMessageW(m_hWnd, WM_DPI_SETTLED, LOWORD(wParam), 0);
    PassToDefault();
    return 0;
}

LRESULT CMacroDlg::OnDpiSettled(WPARAM wParam, LPARAM) {
    ApplyDpi(wParam != 0 ? static_cast<UINT>(wParam) : ui::WindowDpi(m_hWnd));
    return 0;
}

void CMacroDlg::LoadScripts() {
    auto scripts = LoadScriptFolder(ScriptFolder(), ScriptCachePath(TheApp().programFolder()), kProgramEdition);
    if (scripts.empty()) return;
    m_library.AddAll(std::move(scripts));
    ShowRows({});
}

void CMacroDlg::ReadStopHotkey() {
    const Hotkey stop = Settings(SettingsFile()).ReadStopHotkey();
    m_stopHotkey = stop.vk;
    m_stopHotkeyMod = stop.mods;
}

void CMacroDlg::OnAdd() {
    CScriptDlg editor(m_hWnd);
    editor.m_isNew = TRUE;
    if (editor.DoModal() != IDOK) return;
    ReadStopHotkey();
    if (std::unique_ptr<CScript> script = editor.TakeSavedScript()) AddScriptRow(std::move(script));
}

void CMacroDlg::OnModify() {
    const std::vector<int> selected = m_scriptList.SelectedItems();
    if (selected.empty() || static_cast<size_t>(selected.front()) >= m_library.size()) return;
    const size_t row = static_cast<size_t>(selected.front());
    CScriptDlg editor(m_hWnd);
    editor.m_isNew = FALSE;
    editor.m_script = &m_library[row];
    if (editor.DoModal() != IDOK) return;
    ReadStopHotkey();
    std::unique_ptr<CScript> edited = editor.TakeSavedScript();
    if (!edited) return;
    // The row goes and comes again at the sorted place of its hotkey, as
    // one newly added: neither selected nor focused.
    const RowMarks marks = SaveRowMarks({row});
    m_library.Replace(row, std::move(*edited));
    ShowRows(marks);
}

LRESULT CMacroDlg::OnScriptListDblClk(NMHDR*) {
    OnModify();
    return 0;
}

void CMacroDlg::OnDelete() {
    const std::vector<int> selected = m_scriptList.SelectedItems();
    if (selected.empty()) return;
    if (ui::AppMessageBox(m_hWnd, ui::ResourceString(IDS_DELETE_QUESTION), MB_OKCANCEL | MB_ICONQUESTION) != IDOK)
        return;
    std::vector<size_t> rows;  // ascending, as the list gives them
    for (int row : selected) {
        if (static_cast<size_t>(row) >= m_library.size()) continue;
        RemoveFile(PathInFolder(ScriptFolder(), m_library[static_cast<size_t>(row)].m_fileName));
        rows.push_back(static_cast<size_t>(row));
    }
    // A run of a deleted script plays its own copy of the actions and shares
    // only the running flag, so freeing the records under it is safe.
    const RowMarks marks = SaveRowMarks(rows);
    m_library.Remove(rows);
    ShowRows(marks);
}

void CMacroDlg::SetRowEnabled(size_t row, bool enabled) {
    m_library.SetEnabled(row, enabled);
    WriteProfileKey(PathInFolder(ScriptFolder(), m_library[row].m_fileName), "General", "Enable", enabled ? "1" : "0");
}

void CMacroDlg::OnToggleValid() {
    for (int row : m_scriptList.SelectedItems())
        if (static_cast<size_t>(row) < m_library.size())
            SetRowEnabled(static_cast<size_t>(row), m_library[static_cast<size_t>(row)].m_enabled == 0);
    ::InvalidateRect(m_scriptList.GetSafeHwnd(), nullptr, FALSE);
}

void CMacroDlg::OnAllValid() {
    for (size_t row = 0; row < m_library.size(); ++row) SetRowEnabled(row, true);
    ::InvalidateRect(m_scriptList.GetSafeHwnd(), nullptr, FALSE);
}

void CMacroDlg::OnAllInvalid() {
    for (size_t row = 0; row < m_library.size(); ++row) SetRowEnabled(row, false);
    ::InvalidateRect(m_scriptList.GetSafeHwnd(), nullptr, FALSE);
}

void CMacroDlg::EnableWindowChoice(bool enable) {
    ::EnableWindow(GetDlgItem(IDC_WINDOW_COMBO), enable);
    ::EnableWindow(GetDlgItem(IDC_REFRESH), enable);
    if (kProgramTraits.hasWindowListLabel) ::EnableWindow(GetDlgItem(IDC_WINDOW_LIST_LABEL), enable);
}

void CMacroDlg::OnAllWindows() {
    EnableWindowChoice(false);
    UpdateData(true);
}

void CMacroDlg::OnOneWindow() {
    EnableWindowChoice(true);
    UpdateData(true);
}

void CMacroDlg::OnRefresh() { FillWindowList(); }

void CMacroDlg::FillWindowList() {
    // In Big5, as the player reads the foreground window's title.
    WindowTitleList titles;
    ::EnumWindows(
        [](HWND window, LPARAM param) -> BOOL {
            // Hidden windows (input method windows and the like) can never
            // be in front, so they are no target to choose.
            if (!::IsWindowVisible(window)) return TRUE;
            wchar_t title[1024];
            const int length = ::GetWindowTextW(window, title, 1024);
            if (length > 0)
                reinterpret_cast<WindowTitleList*>(param)->Add(
                    ui::Big5FromWide(std::wstring_view(title, static_cast<size_t>(length))));
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&titles));

    // Windows that have closed since the last fill leave the list. The items
    // go in at given places, which the sorted style leaves as they are.
    const HWND combo = GetDlgItem(IDC_WINDOW_COMBO);
    ::SendMessageW(combo, CB_RESETCONTENT, 0, 0);
    int index = 0;
    for (const std::string& title : titles.items())
        ::SendMessageW(combo, CB_INSERTSTRING, static_cast<WPARAM>(index++),
                       reinterpret_cast<LPARAM>(ui::WideFromBig5(title).c_str()));
    ::SendMessageW(combo, CB_SETCURSEL, 0, 0);
}

LRESULT CMacroDlg::OnHotKey(WPARAM wParam, LPARAM) {
    if (wParam > 0xFFFF || !m_runs) return 0;  // no 16-bit key code equals it
    const auto vk = static_cast<uint16_t>(wParam);
    DispatchContext context;
    context.edition = kProgramEdition;
    context.stopHotkey = m_stopHotkey;
    context.stopHotkeyMod = m_stopHotkeyMod;
    // Every key typed anywhere in the session comes here: one that starts
    // and stops nothing is done with before anything is read.
    if (!ReportConcerns(m_library, vk, context)) return 0;

    HeldModifiers held;
    held.alt = KeyDown(VK_MENU);
    held.ctrl = KeyDown(VK_CONTROL);
    held.shift = KeyDown(VK_SHIFT);

    context.targetMode = m_targetMode;
    // In Big5, as the foreground window's title is read during the run.
    context.targetTitle = ui::Big5FromWide(ui::Window(GetDlgItem(IDC_WINDOW_COMBO)).GetText());

    DispatchHotkey(m_library, vk, held, context, *m_runs);
    return 0;
}

LRESULT CMacroDlg::OnSysCommand(WPARAM wParam, LPARAM) {
    if ((wParam & 0xFFF0) == IDM_ABOUTBOX)
        ShowAbout();
    else
        PassToDefault();
    return 0;
}

LRESULT CMacroDlg::OnQueryDragIcon(WPARAM, LPARAM) { return reinterpret_cast<LRESULT>(m_icon); }

LRESULT CMacroDlg::OnDestroy(WPARAM, LPARAM) {
    // First: a probe answering from now on finds no window to tell.
    CloseAdPanel();
    if (m_reportingHotkeys) {
        HookStopHotkeys();
        m_reportingHotkeys = false;
    }
    // Stop every run and give it a moment to end; the stop event stays open
    // as long as any run still holds it.
    m_runs.reset();
    UpdateData(true);
    Settings(SettingsFile()).WriteEnableType(m_targetMode);
    if (m_trayIcon.cbSize) ::Shell_NotifyIconW(NIM_DELETE, &m_trayIcon);
    PassToDefault();
    return 0;
}

}  // namespace tarvix
