#include "dialog.h"

#include "data_exchange.h"
#include "dialog_init.h"

namespace tarvix::ui {

namespace {

// Messages whose result a dialog procedure returns itself instead of through
// DWLP_MSGRESULT.
bool ReturnsResultDirectly(UINT message) {
    switch (message) {
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_QUERYDRAGICON:
    case WM_INITDIALOG:
        return true;
    default:
        return false;
    }
}

}  // namespace

Dialog::Dialog(UINT templateId, HWND parent) : m_templateId(templateId), m_parent(parent) {}

Dialog::~Dialog() {
    if (m_hWnd) ::DestroyWindow(m_hWnd);
}

INT_PTR Dialog::DoModal() {
    m_ending = false;
    m_result = 0;
    // A dialog given no parent belongs to the window the user was working
    // in, which stays disabled while it is open, as modal dialogs do.
    HWND owner = m_parent;
    if (!owner) {
        owner = ::GetActiveWindow();
        if (owner) owner = ::GetAncestor(owner, GA_ROOT);
    }
    const HWND hwnd = ::CreateDialogParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(m_templateId),
                                           owner, &Dialog::DialogProc, reinterpret_cast<LPARAM>(this));
    if (!hwnd) return -1;
    const bool reenableOwner = owner && ::IsWindowEnabled(owner);
    if (reenableOwner) ::EnableWindow(owner, FALSE);
    if (!m_ending && !::IsWindowVisible(hwnd)) ::ShowWindow(hwnd, SW_SHOWNORMAL);

    MSG msg;
    while (!m_ending) {
        const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {
            // Someone asked the thread to quit: leave, and let the loop
            // outside see the request too.
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (got == -1) break;
        if (PreTranslateMessage(&msg)) continue;
        if (m_hWnd && ::IsDialogMessageW(m_hWnd, &msg)) continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }

    if (reenableOwner) {
        ::EnableWindow(owner, TRUE);
        ::SetActiveWindow(owner);
    }
    if (m_hWnd) ::DestroyWindow(m_hWnd);
    return m_result;
}

void Dialog::EndDialog(INT_PTR result) {
    m_result = result;
    m_ending = true;
    if (m_hWnd) ::ShowWindow(m_hWnd, SW_HIDE);
    // Wakes the modal loop if it is waiting.
    ::PostMessageW(m_hWnd, WM_NULL, 0, 0);
}

bool Dialog::UpdateData(bool saveAndValidate) {
    DataExchange dx(*this, saveAndValidate);
    DoDataExchange(dx);
    return !dx.failed();
}

BOOL Dialog::OnInitDialog() {
    UpdateData(false);
    return TRUE;
}

void Dialog::OnOK() {
    if (UpdateData(true)) EndDialog(IDOK);
}

void Dialog::OnCancel() { EndDialog(IDCANCEL); }

void Dialog::DoDataExchange(DataExchange&) {}

bool Dialog::PreTranslateMessage(MSG*) { return false; }

const MessageMap* Dialog::GetMessageMap() const { return nullptr; }

INT_PTR CALLBACK Dialog::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        Dialog* self = reinterpret_cast<Dialog*>(lParam);
        ::SetWindowLongPtrW(hwnd, DWLP_USER, reinterpret_cast<LONG_PTR>(self));
        self->m_hWnd = hwnd;
        // The template's list items are in place before the dialog's own
        // initialisation selects among them.
        ApplyDialogInit(hwnd, ::GetModuleHandleW(nullptr), self->m_templateId);
        return self->OnInitDialog();
    }
    Dialog* self = reinterpret_cast<Dialog*>(::GetWindowLongPtrW(hwnd, DWLP_USER));
    if (!self) return FALSE;  // messages before WM_INITDIALOG
    const INT_PTR result = self->HandleMessage(message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        ::SetWindowLongPtrW(hwnd, DWLP_USER, 0);
        self->m_hWnd = nullptr;
    }
    return result;
}

INT_PTR Dialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    const MessageEntry* entry = FindMessageEntry(GetMessageMap(), message, wParam, lParam);
    if (!entry) {
        if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
            if (LOWORD(wParam) == IDOK) {
                OnOK();
                return TRUE;
            }
            if (LOWORD(wParam) == IDCANCEL) {
                OnCancel();
                return TRUE;
            }
        }
        return FALSE;
    }

    m_passToDefault = false;
    LRESULT result = 0;
    switch (entry->kind) {
    case MessageEntry::Kind::Message:
        result = (this->*entry->onMessage)(wParam, lParam);
        break;
    case MessageEntry::Kind::Command:
        (this->*entry->onCommand)();
        break;
    case MessageEntry::Kind::Notify:
        result = (this->*entry->onNotify)(reinterpret_cast<NMHDR*>(lParam));
        break;
    }
    if (m_passToDefault || !m_hWnd) return FALSE;
    if (ReturnsResultDirectly(message)) return static_cast<INT_PTR>(result);
    ::SetWindowLongPtrW(m_hWnd, DWLP_MSGRESULT, static_cast<LONG_PTR>(result));
    return TRUE;
}

}  // namespace tarvix::ui
