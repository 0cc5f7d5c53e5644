#pragma once

#include <windows.h>

#include <vector>

#include "dpi_scale.h"

namespace tarvix::ui {

// The DPI a window is drawn at: its monitor's where the system tells it per
// window (Windows 10 1607 on), the screen's otherwise.
UINT WindowDpi(HWND window);

// The pictures (bitmap statics) of a dialog at their designed size times
// the window's DPI over 96. A bitmap static sizes itself to its picture, so
// without this a picture stays at its 96-DPI size while the dialog around it
// grows. Each picture is scaled from its original, never from an earlier
// scaled copy, so moving between monitors loses nothing.
class DpiPictures {
public:
    DpiPictures() = default;
    ~DpiPictures();
    DpiPictures(const DpiPictures&) = delete;
    DpiPictures& operator=(const DpiPictures&) = delete;

    // Takes the dialog's bitmap statics as they are now (their pictures as
    // loaded from the template) and draws them at dpi.
    void Attach(HWND dialog, UINT dpi);
    void Apply(UINT dpi);

private:
    struct Picture {
        HWND control;
        HBITMAP original;      // the control's until a copy replaces it
        HBITMAP scaled = nullptr;
        bool replaced = false;
    };
    std::vector<Picture> m_pictures;
};

}  // namespace tarvix::ui
