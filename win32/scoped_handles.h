#pragma once

// Owners of the Win32 handles the programs open: each closes its handle the
// way the system asks for that kind, once, when it goes out of scope.

#include <windows.h>
#include <unknwn.h>

#include <utility>

namespace tarvix::win32 {

// Sole owner of one handle; Traits names its type, its empty value and how
// it is closed.
template <typename Traits>
class UniqueHandle {
public:
    using Handle = typename Traits::Handle;

    UniqueHandle() = default;
    explicit UniqueHandle(Handle handle) : m_handle(handle) {}
    ~UniqueHandle() { reset(); }
    UniqueHandle(UniqueHandle&& other) noexcept : m_handle(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;

    Handle get() const { return m_handle; }
    explicit operator bool() const { return m_handle != Traits::Empty(); }

    // Gives the handle up without closing it.
    Handle release() { return std::exchange(m_handle, Traits::Empty()); }

    // Takes `handle` and only then closes the one held before, so that a
    // replacement is in place before the old one goes.
    void reset(Handle handle = Traits::Empty()) {
        const Handle old = std::exchange(m_handle, handle);
        if (old != Traits::Empty()) Traits::Close(old);
    }

private:
    Handle m_handle = Traits::Empty();
};

// Events, semaphores, mutexes, threads: empty is null.
struct KernelHandleTraits {
    using Handle = HANDLE;
    static Handle Empty() { return nullptr; }
    static void Close(Handle handle) { ::CloseHandle(handle); }
};
using ScopedHandle = UniqueHandle<KernelHandleTraits>;

// Files from CreateFile: empty is INVALID_HANDLE_VALUE.
struct FileHandleTraits {
    using Handle = HANDLE;
    static Handle Empty() { return INVALID_HANDLE_VALUE; }
    static void Close(Handle handle) { ::CloseHandle(handle); }
};
using ScopedFileHandle = UniqueHandle<FileHandleTraits>;

// A FindFirstFile search.
struct FindHandleTraits {
    using Handle = HANDLE;
    static Handle Empty() { return INVALID_HANDLE_VALUE; }
    static void Close(Handle handle) { ::FindClose(handle); }
};
using ScopedFindHandle = UniqueHandle<FindHandleTraits>;

// A GDI object the program made (font, brush, pen, bitmap). It must not be
// selected into a device context when it goes: hold it longer than any
// ScopedSelection of it.
template <typename Object>
struct GdiObjectTraits {
    using Handle = Object;
    static Handle Empty() { return nullptr; }
    static void Close(Handle handle) { ::DeleteObject(handle); }
};
template <typename Object>
using ScopedGdiObject = UniqueHandle<GdiObjectTraits<Object>>;
using ScopedFont = ScopedGdiObject<HFONT>;
using ScopedBrush = ScopedGdiObject<HBRUSH>;

// A low-level or thread hook.
struct HookTraits {
    using Handle = HHOOK;
    static Handle Empty() { return nullptr; }
    static void Close(Handle handle) { ::UnhookWindowsHookEx(handle); }
};
using ScopedHook = UniqueHandle<HookTraits>;

#if defined(_WININET_)
// A session, connection or request of the Internet functions. Declared only
// where <wininet.h> comes first, so that nothing else links wininet.
struct InternetHandleTraits {
    using Handle = HINTERNET;
    static Handle Empty() { return nullptr; }
    static void Close(Handle handle) { ::InternetCloseHandle(handle); }
};
using ScopedInternetHandle = UniqueHandle<InternetHandleTraits>;
#endif

// An object selected into a device context for as long as this lives; the
// object that was selected before comes back.
class ScopedSelection {
public:
    ScopedSelection(HDC dc, HGDIOBJ object) : m_dc(dc), m_previous(::SelectObject(dc, object)) {}
    ~ScopedSelection() {
        if (m_previous && m_previous != HGDI_ERROR) ::SelectObject(m_dc, m_previous);
    }
    ScopedSelection(const ScopedSelection&) = delete;
    ScopedSelection& operator=(const ScopedSelection&) = delete;

private:
    HDC m_dc;
    HGDIOBJ m_previous;
};

// The device context of a window (null: the screen), from GetDC.
class WindowDC {
public:
    explicit WindowDC(HWND window) : m_window(window), m_dc(::GetDC(window)) {}
    ~WindowDC() {
        if (m_dc) ::ReleaseDC(m_window, m_dc);
    }
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;

    HDC get() const { return m_dc; }

private:
    HWND m_window;
    HDC m_dc;
};

// The painting of a window in answer to WM_PAINT, from BeginPaint to EndPaint.
class PaintDC {
public:
    explicit PaintDC(HWND window) : m_window(window), m_dc(::BeginPaint(window, &m_paint)) {}
    ~PaintDC() { ::EndPaint(m_window, &m_paint); }
    PaintDC(const PaintDC&) = delete;
    PaintDC& operator=(const PaintDC&) = delete;

    HDC get() const { return m_dc; }

private:
    HWND m_window;
    PAINTSTRUCT m_paint{};
    HDC m_dc;
};

// One reference to a COM object.
template <typename Interface>
class ComPtr {
public:
    ComPtr() = default;
    ~ComPtr() { reset(); }
    ComPtr(ComPtr&& other) noexcept : m_object(std::exchange(other.m_object, nullptr)) {}
    ComPtr& operator=(ComPtr&& other) noexcept {
        if (this != &other) {
            reset();
            m_object = std::exchange(other.m_object, nullptr);
        }
        return *this;
    }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;

    Interface* get() const { return m_object; }
    Interface* operator->() const { return m_object; }
    explicit operator bool() const { return m_object != nullptr; }

    // For a function that hands out a reference: whatever was held goes first.
    Interface** put() {
        reset();
        return &m_object;
    }

    void reset() {
        if (Interface* object = std::exchange(m_object, nullptr)) object->Release();
    }

    // The object's `Other` interface, or an empty pointer.
    template <typename Other>
    ComPtr<Other> Query(REFIID iid) const {
        ComPtr<Other> other;
        if (m_object && FAILED(m_object->QueryInterface(iid, reinterpret_cast<void**>(other.put())))) other.reset();
        return other;
    }

private:
    Interface* m_object = nullptr;
};

}  // namespace tarvix::win32
