#include "data_exchange.h"

#include <commctrl.h>

#include "dialog.h"
#include "message_box.h"
#include "number_text.h"
#include "text.h"

namespace tarvix::ui {

namespace {

// The prompts for a number box that holds no number.
constexpr wchar_t kSignedPrompt[] = L"請輸入一個整數。";
constexpr wchar_t kUnsignedPrompt[] = L"請輸入一個正整數。";

std::wstring ControlText(HWND control) { return Window(control).GetText(); }

}  // namespace

DataExchange::DataExchange(Dialog& dialog, bool saveAndValidate)
    : m_dialog(dialog), m_saving(saveAndValidate) {}

HWND DataExchange::Item(int id) const { return m_dialog.GetDlgItem(id); }

void DataExchange::Fail(int id, unsigned promptId) {
    m_failed = true;
    AppMessageBox(m_dialog.GetSafeHwnd(), promptId == 0 ? kSignedPrompt : kUnsignedPrompt,
                  MB_OK | MB_ICONEXCLAMATION);
    const HWND control = Item(id);
    if (control) {
        ::SetFocus(control);
        ::SendMessageW(control, EM_SETSEL, 0, -1);
    }
}

void DataExchange::Text(int id, std::wstring& value) {
    if (!Active()) return;
    if (m_saving)
        value = ControlText(Item(id));
    else
        ::SetWindowTextW(Item(id), value.c_str());
}

void DataExchange::Text(int id, std::string& value) {
    if (!Active()) return;
    if (m_saving)
        value = Big5FromWide(ControlText(Item(id)));
    else
        ::SetWindowTextW(Item(id), WideFromBig5(value).c_str());
}

void DataExchange::Number(int id, int32_t& value) {
    if (!Active()) return;
    if (!m_saving) {
        ::SetWindowTextW(Item(id), std::to_wstring(value).c_str());
        return;
    }
    const auto parsed = ParseSignedBoxText(ControlText(Item(id)));
    if (parsed)
        value = *parsed;
    else
        Fail(id, 0);
}

void DataExchange::Number(int id, uint32_t& value) {
    if (!Active()) return;
    if (!m_saving) {
        ::SetWindowTextW(Item(id), std::to_wstring(value).c_str());
        return;
    }
    const auto parsed = ParseUnsignedBoxText(ControlText(Item(id)));
    if (parsed)
        value = *parsed;
    else
        Fail(id, 1);
}

void DataExchange::Radio(int firstId, int& value) {
    if (!Active()) return;
    HWND button = Item(firstId);
    if (m_saving) value = -1;
    // The group runs from the first button to the next control that starts
    // a group of its own.
    for (int index = 0; button; ++index) {
        if (m_saving) {
            if (::SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED) value = index;
        } else {
            ::SendMessageW(button, BM_SETCHECK, index == value ? BST_CHECKED : BST_UNCHECKED, 0);
        }
        button = ::GetWindow(button, GW_HWNDNEXT);
        if (!button || (::GetWindowLongW(button, GWL_STYLE) & WS_GROUP)) break;
    }
}

void DataExchange::Check(int id, int& value) {
    if (!Active()) return;
    if (m_saving)
        value = static_cast<int>(::SendMessageW(Item(id), BM_GETCHECK, 0, 0));
    else
        ::SendMessageW(Item(id), BM_SETCHECK, static_cast<WPARAM>(value), 0);
}

void DataExchange::ComboIndex(int id, int& value) {
    if (!Active()) return;
    if (m_saving)
        value = static_cast<int>(::SendMessageW(Item(id), CB_GETCURSEL, 0, 0));
    else
        ::SendMessageW(Item(id), CB_SETCURSEL, static_cast<WPARAM>(value), 0);
}

void DataExchange::ComboText(int id, std::wstring& value) {
    if (!Active()) return;
    const HWND combo = Item(id);
    if (m_saving) {
        value = ControlText(combo);
        return;
    }
    const LRESULT found = ::SendMessageW(combo, CB_SELECTSTRING, static_cast<WPARAM>(-1),
                                         reinterpret_cast<LPARAM>(value.c_str()));
    if (found == CB_ERR) ::SetWindowTextW(combo, value.c_str());
}

void DataExchange::Control(int id, Window& control) {
    if (!Active() || control) return;
    control.Attach(Item(id));
}

}  // namespace tarvix::ui
