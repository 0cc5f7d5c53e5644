#include "macro_dlg.h"

#include <algorithm>

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

constexpr wchar_t kValidMark[] = L"\u221A";  // √

constexpr bool kClassic = kProgramEdition == Edition::V10;

bool KeyDown(int vk) { return (::GetAsyncKeyState(vk) & 0x8000) != 0; }

}  // namespace

CMacroDlg::CMacroDlg()
    : ui::Dialog(IDD_MAIN),
      m_icon(::LoadIconW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME))),
      m_handCursor(::LoadCursorW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDC_HAND_CURSOR))) {}

CMacroDlg::~CMacroDlg() {
    if (m_listFont) ::DeleteObject(m_listFont);
}

const ui::MessageMap* CMacroDlg::GetMessageMap() const {
    static const ui::MessageEntry entries[] = {
        ui::OnMessage(WM_HOTKEY, &CMacroDlg::OnHotKey),
        ui::OnMessage(WM_SYSCOMMAND, &CMacroDlg::OnSysCommand),
        ui::OnMessage(WM_QUERYDRAGICON, &CMacroDlg::OnQueryDragIcon),
        ui::OnMessage(WM_PAINT, &CMacroDlg::OnPaint),
        ui::OnMessage(WM_TRAYNOTIFY, &CMacroDlg::OnTrayNotify),
        ui::OnMessage(TaskbarCreatedMessage(), &CMacroDlg::OnTaskbarCreated),
        ui::OnMessage(WM_HELP, &CMacroDlg::OnHelpInfo),
        ui::OnCommand(IDC_MINIMIZE, &CMacroDlg::OnMinimize),
        ui::OnCommand(IDC_ABOUT, &CMacroDlg::OnAbout),
        ui::OnCommand(IDC_HELP_BUTTON, &CMacroDlg::OnHelp),
        ui::OnMessage(WM_DESTROY, &CMacroDlg::OnDestroy),
        ui::OnMessage(WM_AD_PAGE_ANSWERED, &CMacroDlg::OnAdPageAnswered),
        ui::OnMessage(WM_AD_OPEN_OUTSIDE, &CMacroDlg::OnAdOpenOutside),
        ui::OnMessage(WM_AD_LEFT_SITE, &CMacroDlg::OnAdLeftSite),
        ui::OnCommand(IDC_ADD, &CMacroDlg::OnAdd),
        ui::OnCommand(IDC_MODIFY, &CMacroDlg::OnModify),
        ui::OnNotify(NM_DBLCLK, IDC_SCRIPT_LIST, &CMacroDlg::OnScriptListDblClk),
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
    if (kClassic) {
        dx.Control(IDC_WINDOW_COMBO, m_windowCombo);
        dx.Control(IDC_SCRIPT_LIST, m_scriptList);
        dx.Control(IDC_LINK_BANNER, m_linkLogo);
    } else {
        dx.Control(IDC_MAKER_LOGO, m_linkLogo);
        dx.Control(IDC_WINDOW_COMBO, m_windowCombo);
        dx.Control(IDC_SCRIPT_LIST, m_scriptList);
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
    return TRUE;
}

void CMacroDlg::InitScriptList() {
    m_scriptList.InsertColumn(0, ui::ResourceString(IDS_COLUMN_HOTKEY), 140);
    m_scriptList.InsertColumn(1, ui::ResourceString(IDS_COLUMN_ENABLED), 60);
    m_scriptList.InsertColumn(2, ui::ResourceString(IDS_COLUMN_DESCRIPTION), 280);
    m_scriptList.InsertColumn(3, ui::ResourceString(IDS_COLUMN_FILENAME), 110);

    // 13 points of "System", as a point size converts on this screen.
    HDC screen = ::GetDC(nullptr);
    const int height = -::MulDiv(130, ::GetDeviceCaps(screen, LOGPIXELSY), 720);
    ::ReleaseDC(nullptr, screen);
    m_listFont = ::CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                               OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                               DEFAULT_PITCH | FF_DONTCARE, L"System");
    if (m_listFont) m_scriptList.Send(WM_SETFONT, reinterpret_cast<WPARAM>(m_listFont), TRUE);

    if (Settings(SettingsFile()).ReadEnableType() != 0) {
        EnableWindowChoice(true);
        UpdateData(true);
        m_targetMode = 1;
        UpdateData(false);
    }
    FillWindowList();
    if (!kClassic) SetUpAdPanel();
}

void CMacroDlg::LoadScripts() {
    const std::vector<std::string> names = TextFileNames(ScriptFolder());
    if (names.empty()) return;

    std::vector<std::unique_ptr<CScript>> scripts = LoadScriptFiles(ScriptFolder(), names, kProgramEdition);

    // The sorting list places each new row by comparing it with the rows it
    // holds from the top, which makes thousands of rows in found order take
    // seconds. Offered from the highest hotkey text down, every row stops at
    // the first comparison; the list still places each row itself, and rows
    // with equal texts come in found order, as one by one.
    std::vector<std::wstring> texts;
    texts.reserve(scripts.size());
    for (const auto& script : scripts) texts.push_back(RowHotkeyText(*script));
    std::vector<size_t> order(scripts.size());
    for (size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&texts](size_t a, size_t b) {
        return ::CompareStringW(LOCALE_USER_DEFAULT, 0, texts[a].c_str(), -1, texts[b].c_str(), -1) ==
               CSTR_GREATER_THAN;
    });

    // Thousands of rows are drawn once, not once each.
    m_scriptList.Send(WM_SETREDRAW, FALSE);
    for (size_t i : order) AddScriptRow(scripts[i].release());
    m_scriptList.Send(WM_SETREDRAW, TRUE);
    ::InvalidateRect(m_scriptList.GetSafeHwnd(), nullptr, TRUE);
}

std::wstring CMacroDlg::RowHotkeyText(const CScript& script) const {
    return ui::WideFromBig5(HotkeyText(script.m_beginHotkey, script.m_beginHotkeyMod));
}

void CMacroDlg::AddScriptRow(CScript* script) {
    m_scripts.emplace_back(script);
    InsertScriptRow(script);
}

void CMacroDlg::InsertScriptRow(CScript* script) {
    const int row = m_scriptList.InsertItem(m_scriptList.GetItemCount(), RowHotkeyText(*script));
    if (row < 0) return;
    if (script->m_enabled) m_scriptList.SetItemText(row, 1, kValidMark);
    m_scriptList.SetItemText(row, 2, ui::WideFromBig5(script->m_description));
    m_scriptList.SetItemText(row, 3, ui::WideFromBig5(script->m_fileName));
    m_scriptList.SetItemData(row, reinterpret_cast<LPARAM>(script));
}

CScript* CMacroDlg::RowScript(int row) const {
    return reinterpret_cast<CScript*>(m_scriptList.GetItemData(row));
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
    if (std::unique_ptr<CScript> script = editor.TakeNewScript()) AddScriptRow(script.release());
}

void CMacroDlg::OnModify() {
    const std::vector<int> selected = m_scriptList.SelectedItems();
    if (selected.empty()) return;
    CScript* script = RowScript(selected.front());
    if (!script) return;
    CScriptDlg editor(m_hWnd);
    editor.m_isNew = FALSE;
    editor.m_script = script;
    if (editor.DoModal() != IDOK) return;
    ReadStopHotkey();
    // The row again, so that its texts are current and it moves to the
    // sorted place of its new hotkey.
    m_scriptList.DeleteItem(selected.front());
    InsertScriptRow(script);
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
    // Highest first, so the indexes still to visit stay where they are.
    for (auto row = selected.rbegin(); row != selected.rend(); ++row) {
        CScript* script = RowScript(*row);
        m_scriptList.DeleteItem(*row);
        if (!script) continue;
        RemoveFile(PathInFolder(ScriptFolder(), script->m_fileName));
        // A run of the script plays its own copy of the actions and shares
        // only the running flag, so freeing the record under it is safe.
        m_scripts.erase(std::remove_if(m_scripts.begin(), m_scripts.end(),
                                       [script](const std::unique_ptr<CScript>& owned) {
                                           return owned.get() == script;
                                       }),
                        m_scripts.end());
    }
}

void CMacroDlg::SetRowEnabled(int row, CScript& script, bool enabled) {
    script.m_enabled = enabled ? 1 : 0;
    m_scriptList.SetItemText(row, 1, enabled ? kValidMark : L"");
    WriteProfileKey(PathInFolder(ScriptFolder(), script.m_fileName), "General", "Enable", enabled ? "1" : "0");
}

void CMacroDlg::OnToggleValid() {
    for (int row : m_scriptList.SelectedItems())
        if (CScript* script = RowScript(row)) SetRowEnabled(row, *script, script->m_enabled == 0);
}

void CMacroDlg::OnAllValid() {
    for (int row = 0; row < m_scriptList.GetItemCount(); ++row)
        if (CScript* script = RowScript(row)) SetRowEnabled(row, *script, true);
}

void CMacroDlg::OnAllInvalid() {
    for (int row = 0; row < m_scriptList.GetItemCount(); ++row)
        if (CScript* script = RowScript(row)) SetRowEnabled(row, *script, false);
}

void CMacroDlg::EnableWindowChoice(bool enable) {
    ::EnableWindow(GetDlgItem(IDC_WINDOW_COMBO), enable);
    ::EnableWindow(GetDlgItem(IDC_REFRESH), enable);
    if (!kClassic) ::EnableWindow(GetDlgItem(IDC_WINDOW_LIST_LABEL), enable);
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
    if (wParam > 0xFFFF) return 0;  // no 16-bit key code equals it
    std::vector<CScript*> scripts;
    for (int row = 0; row < m_scriptList.GetItemCount(); ++row)
        if (CScript* script = RowScript(row)) scripts.push_back(script);

    HeldModifiers held;
    held.alt = KeyDown(VK_MENU);
    held.ctrl = KeyDown(VK_CONTROL);
    held.shift = KeyDown(VK_SHIFT);

    DispatchContext context;
    context.edition = kProgramEdition;
    context.stopHotkey = m_stopHotkey;
    context.stopHotkeyMod = m_stopHotkeyMod;
    context.targetMode = m_targetMode;
    // In Big5, as the foreground window's title is read during the run.
    context.targetTitle = ui::Big5FromWide(ui::Window(GetDlgItem(IDC_WINDOW_COMBO)).GetText());

    if (m_runs) DispatchHotkey(scripts, static_cast<uint16_t>(wParam), held, context, *m_runs);
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
