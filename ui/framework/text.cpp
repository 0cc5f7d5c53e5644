#include "text.h"

#include <windows.h>

#include <vector>

namespace tarvix::ui {

std::wstring ResourceString(unsigned id) {
    // With a zero buffer size the function hands out the text in place.
    const wchar_t* text = nullptr;
    const int length = ::LoadStringW(::GetModuleHandleW(nullptr), id,
                                     reinterpret_cast<wchar_t*>(&text), 0);
    return length > 0 && text ? std::wstring(text, static_cast<size_t>(length)) : std::wstring();
}

std::wstring ResourceStringWith(unsigned id, const std::wstring& value) {
    std::wstring text = ResourceString(id);
    for (size_t at = text.find(L'%'); at != std::wstring::npos && at + 1 < text.size(); at = text.find(L'%', at + 1)) {
        const wchar_t kind = text[at + 1];
        if (kind == L's' || kind == L'd' || kind == L'u') return text.replace(at, 2, value);
    }
    return text;
}

std::wstring ApplicationName() {
    std::vector<wchar_t> path(MAX_PATH);
    for (;;) {
        const DWORD length = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return L"tarvix";
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    std::wstring name(path.begin(), path.end());
    const size_t slash = name.find_last_of(L"\\/:");
    if (slash != std::wstring::npos) name.erase(0, slash + 1);
    const size_t dot = name.rfind(L'.');
    if (dot != std::wstring::npos && dot > 0) name.erase(dot);
    return name;
}

}  // namespace tarvix::ui
