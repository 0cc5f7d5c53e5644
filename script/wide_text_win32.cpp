#include "wide_text.h"

#include <windows.h>

#include <climits>

namespace tarvix {
namespace {

std::wstring ToWide(UINT codePage, DWORD flags, std::string_view text) {
    if (text.empty() || text.size() > INT_MAX) return std::wstring();
    const int size = static_cast<int>(text.size());
    const int length = ::MultiByteToWideChar(codePage, flags, text.data(), size, nullptr, 0);
    if (length <= 0) return std::wstring();
    std::wstring wide(static_cast<size_t>(length), L'\0');
    ::MultiByteToWideChar(codePage, flags, text.data(), size, wide.data(), length);
    return wide;
}

// usedDefault: where the code page can tell, whether a character had no
// form in it.
std::string ToNarrow(UINT codePage, DWORD flags, std::wstring_view text, BOOL* usedDefault) {
    if (text.empty() || text.size() > INT_MAX) return std::string();
    const int size = static_cast<int>(text.size());
    const int length = ::WideCharToMultiByte(codePage, flags, text.data(), size, nullptr, 0, nullptr, usedDefault);
    if (length <= 0) return std::string();
    std::string narrow(static_cast<size_t>(length), '\0');
    ::WideCharToMultiByte(codePage, flags, text.data(), size, narrow.data(), length, nullptr, usedDefault);
    return narrow;
}

}  // namespace

std::wstring WideFromBig5(std::string_view big5) { return ToWide(kModelCodePage, 0, big5); }

std::string Big5FromWide(std::wstring_view wide) { return ToNarrow(kModelCodePage, 0, wide, nullptr); }

bool Big5FromWideExactly(std::wstring_view wide, std::string& big5) {
    BOOL usedDefault = FALSE;
    std::string converted = ToNarrow(kModelCodePage, WC_NO_BEST_FIT_CHARS, wide, &usedDefault);
    if (usedDefault || converted.empty() != wide.empty()) return false;
    if (ToWide(kModelCodePage, MB_ERR_INVALID_CHARS, converted) != wide) return false;
    big5 = std::move(converted);
    return true;
}

std::wstring WideFromPath(std::string_view path) { return ToWide(CP_UTF8, MB_ERR_INVALID_CHARS, path); }

std::string PathFromWide(std::wstring_view path) {
    // A lone surrogate (a broken name) becomes U+FFFD: the path then names
    // no file that is there, rather than none at all, which would read as
    // the current folder.
    return ToNarrow(CP_UTF8, 0, path, nullptr);
}

}  // namespace tarvix
