#include <windows.h>

#include "macro_app.h"

#if defined(TARVIX_EDITION_CLASSIC)
// hook.dll reads this to know that this edition captures points with the
// keypad digits instead of the digit row.
extern "C" __declspec(dllexport) const int tarvix_capture_on_keypad = 1;
#endif

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    tarvix::TheApp().InitInstance();
    return 0;
}
