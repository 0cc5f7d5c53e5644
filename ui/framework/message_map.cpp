#include "message_map.h"

namespace tarvix::ui {

namespace {

bool Matches(const MessageEntry& entry, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (entry.kind) {
    case MessageEntry::Kind::Message:
        return entry.message == message;
    case MessageEntry::Kind::Command:
        return message == WM_COMMAND && entry.id == LOWORD(wParam) && entry.code == HIWORD(wParam);
    case MessageEntry::Kind::Notify: {
        if (message != WM_NOTIFY || lParam == 0) return false;
        const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
        return entry.code == header->code && entry.id == header->idFrom;
    }
    }
    return false;
}

}  // namespace

const MessageEntry* FindMessageEntry(const MessageMap* map, UINT message, WPARAM wParam,
                                     LPARAM lParam) {
    for (; map; map = map->base)
        for (size_t i = 0; i < map->count; ++i)
            if (Matches(map->entries[i], message, wParam, lParam)) return &map->entries[i];
    return nullptr;
}

}  // namespace tarvix::ui
