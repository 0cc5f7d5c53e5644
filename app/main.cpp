#include <windows.h>

#include "macro_app.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    tarvix::TheApp().InitInstance();
    return 0;
}
