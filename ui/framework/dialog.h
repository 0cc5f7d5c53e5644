#pragma once

#include <windows.h>

#include "message_map.h"
#include "window.h"

namespace tarvix::ui {

class DataExchange;

// A dialog made from a template of the program's resources. Modal dialogs run
// a message loop of their own so that PreTranslateMessage sees every message
// before the dialog's keyboard handling does.
class Dialog : public Window {
public:
    explicit Dialog(UINT templateId, HWND parent = nullptr);
    virtual ~Dialog();
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;

    // Creates the dialog, disables its owner and runs until EndDialog; returns
    // the value given to EndDialog, or -1 when the template cannot be made.
    INT_PTR DoModal();
    void EndDialog(INT_PTR result);

    // Data exchange between members and controls: false reads the members
    // into the controls, true reads the controls into the members. Returns
    // false when a control held no valid value (the user has been told).
    bool UpdateData(bool saveAndValidate = true);

    HWND GetDlgItem(int id) const { return ::GetDlgItem(m_hWnd, id); }

protected:
    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    virtual void DoDataExchange(DataExchange& dx);
    // Returns true when the message was dealt with and must not be
    // dispatched.
    virtual bool PreTranslateMessage(MSG* msg);
    virtual const MessageMap* GetMessageMap() const;

    // Called from a handler: the system's default handling runs as well, and
    // the handler's result is not used.
    void PassToDefault() { m_passToDefault = true; }

    UINT templateId() const { return m_templateId; }

private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    UINT m_templateId;
    HWND m_parent;
    INT_PTR m_result = 0;
    bool m_ending = false;
    bool m_passToDefault = false;
};

}  // namespace tarvix::ui
