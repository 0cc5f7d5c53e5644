#include <windows.h>

#include "edition_config.h"
#include "macro_app.h"

// hook.dll reads this to know whether this edition captures points with the
// keypad digits or the digit row.
extern "C" __declspec(dllexport) const int tarvix_capture_on_keypad = kProgramTraits.capturesOnKeypad ? 1 : 0;

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    tarvix::TheApp().InitInstance();
    return 0;
}
