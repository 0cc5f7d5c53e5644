#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

namespace tarvix::ui {

class Dialog;
class Window;

// One exchange between a dialog's members and its controls, in the order the
// dialog's DoDataExchange names them. When saving, the first control that
// holds no valid value is reported to the user and focused, and the exchange
// stops there: later members keep the values they had.
class DataExchange {
public:
    DataExchange(Dialog& dialog, bool saveAndValidate);

    bool saving() const { return m_saving; }
    bool failed() const { return m_failed; }

    void Text(int id, std::wstring& value);
    void Text(int id, std::string& value);  // Big5 bytes, as the model holds texts
    void Number(int id, int32_t& value);
    void Number(int id, uint32_t& value);
    // A group of radio buttons, first id given: the index of the checked
    // one, -1 for none.
    void Radio(int firstId, int& value);
    void Check(int id, int& value);  // BST_UNCHECKED, BST_CHECKED, BST_INDETERMINATE
    void ComboIndex(int id, int& value);
    // Loading selects the first item that starts with the text, or, for an
    // editable box without one, sets the box's text.
    void ComboText(int id, std::wstring& value);
    void Control(int id, Window& control);

private:
    HWND Item(int id) const;
    bool Active() const { return !m_failed; }
    void Fail(int id, unsigned promptId);

    Dialog& m_dialog;
    bool m_saving;
    bool m_failed = false;
};

}  // namespace tarvix::ui
