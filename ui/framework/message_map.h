#pragma once

#include <windows.h>

#include <cstddef>

namespace tarvix::ui {

class Dialog;

// A dialog's messages as a short table: each entry names a window message, a
// command (control id and notification code) or a WM_NOTIFY code from a
// control, and the member function that handles it. A dialog's table is
// searched before its base class's.
using MessageHandler = LRESULT (Dialog::*)(WPARAM, LPARAM);
using CommandHandler = void (Dialog::*)();
using NotifyHandler = LRESULT (Dialog::*)(NMHDR*);

struct MessageEntry {
    enum class Kind { Message, Command, Notify };
    Kind kind;
    UINT message;  // Message: the window message
    UINT code;     // Command: notification code; Notify: NMHDR code
    UINT id;       // Command and Notify: control id
    MessageHandler onMessage;
    CommandHandler onCommand;
    NotifyHandler onNotify;
};

struct MessageMap {
    const MessageMap* base;
    const MessageEntry* entries;
    size_t count;
};

// Handlers are members of the derived dialog; the table stores them as
// members of the base, as a message map does, which is sound for the single,
// non-virtual inheritance the dialogs use.
template <class T>
MessageEntry OnMessage(UINT message, LRESULT (T::*handler)(WPARAM, LPARAM)) {
    return {MessageEntry::Kind::Message, message, 0, 0, static_cast<MessageHandler>(handler),
            nullptr, nullptr};
}

template <class T>
MessageEntry OnCommand(UINT id, void (T::*handler)(), UINT code = BN_CLICKED) {
    return {MessageEntry::Kind::Command, WM_COMMAND, code, id, nullptr,
            static_cast<CommandHandler>(handler), nullptr};
}

template <class T>
MessageEntry OnNotify(UINT code, UINT id, LRESULT (T::*handler)(NMHDR*)) {
    return {MessageEntry::Kind::Notify, WM_NOTIFY, code, id, nullptr, nullptr,
            static_cast<NotifyHandler>(handler)};
}

template <size_t N>
constexpr MessageMap MakeMessageMap(const MessageMap* base, const MessageEntry (&entries)[N]) {
    return {base, entries, N};
}

// Finds the entry for one message, searching the derived table first.
const MessageEntry* FindMessageEntry(const MessageMap* map, UINT message, WPARAM wParam,
                                     LPARAM lParam);

}  // namespace tarvix::ui
