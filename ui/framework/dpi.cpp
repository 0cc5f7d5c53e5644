#include "dpi.h"

namespace tarvix::ui {

namespace {

using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);

UINT ScreenDpi() {
    const HDC screen = ::GetDC(nullptr);
    const int dpi = screen ? ::GetDeviceCaps(screen, LOGPIXELSX) : 0;
    if (screen) ::ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<UINT>(dpi) : kDesignDpi;
}

// A copy of the bitmap at the given size, smoothed rather than with
// dropped or doubled pixels.
HBITMAP ScaledCopy(HBITMAP original, int width, int height) {
    const HDC screen = ::GetDC(nullptr);
    const HDC from = ::CreateCompatibleDC(screen);
    const HDC to = ::CreateCompatibleDC(screen);
    HBITMAP copy = ::CreateCompatibleBitmap(screen, width, height);
    if (from && to && copy) {
        BITMAP info = {};
        ::GetObjectW(original, sizeof(info), &info);
        const HGDIOBJ oldFrom = ::SelectObject(from, original);
        const HGDIOBJ oldTo = ::SelectObject(to, copy);
        ::SetStretchBltMode(to, HALFTONE);
        ::SetBrushOrgEx(to, 0, 0, nullptr);
        ::StretchBlt(to, 0, 0, width, height, from, 0, 0, info.bmWidth, info.bmHeight, SRCCOPY);
        ::SelectObject(to, oldTo);
        ::SelectObject(from, oldFrom);
    }
    if (to) ::DeleteDC(to);
    if (from) ::DeleteDC(from);
    ::ReleaseDC(nullptr, screen);
    return copy;
}

}  // namespace

UINT WindowDpi(HWND window) {
    static const auto getDpiForWindow = reinterpret_cast<GetDpiForWindowFunction>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    if (getDpiForWindow && window) {
        const UINT dpi = getDpiForWindow(window);
        if (dpi > 0) return dpi;
    }
    return ScreenDpi();
}

DpiPictures::~DpiPictures() {
    for (Picture& picture : m_pictures) {
        if (picture.scaled) ::DeleteObject(picture.scaled);
        if (picture.replaced && picture.original) ::DeleteObject(picture.original);
    }
}

void DpiPictures::Attach(HWND dialog, UINT dpi) {
    for (HWND child = ::GetWindow(dialog, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        wchar_t className[16] = {};
        ::GetClassNameW(child, className, 16);
        if (::lstrcmpiW(className, L"Static") != 0) continue;
        if ((::GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) != SS_BITMAP) continue;
        const auto original = reinterpret_cast<HBITMAP>(::SendMessageW(child, STM_GETIMAGE, IMAGE_BITMAP, 0));
        if (original) m_pictures.push_back(Picture{child, original});
    }
    Apply(dpi);
}

void DpiPictures::Apply(UINT dpi) {
    for (Picture& picture : m_pictures) {
        BITMAP info = {};
        if (!::GetObjectW(picture.original, sizeof(info), &info)) continue;
        const int width = ScaleForDpi(info.bmWidth, dpi);
        const int height = ScaleForDpi(info.bmHeight, dpi);
        HBITMAP shown = picture.original;
        HBITMAP made = nullptr;
        if (width != info.bmWidth || height != info.bmHeight) {
            made = ScaledCopy(picture.original, width, height);
            if (made) shown = made;
        }
        if (!made && !picture.replaced) continue;  // the original is shown and stays the control's
        ::SendMessageW(picture.control, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(shown));
        picture.replaced = true;
        if (picture.scaled) ::DeleteObject(picture.scaled);
        picture.scaled = made;
    }
}

}  // namespace tarvix::ui
