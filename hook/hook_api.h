#pragma once

// hook.dll: a system-wide keyboard watch that reports key presses to one
// registered window as WM_HOTKEY messages, and records keyboard and mouse
// input for another. The programs bind these functions by ordinal
// (hook.def); the names exist only for the import library.

#include <windows.h>

// Extra-info value that marks input the program synthesises itself. The hook
// never reports a key carrying it, so a playing script cannot press its own
// start key or the stop key.
constexpr ULONG_PTR kTarvixInputTag = 0x54415256;  // 'TARV'

extern "C" {

// Ordinal 1: report the capture keys Alt+Ctrl+1 .. Alt+Ctrl+9 to `window` as
// WM_HOTKEY with wParam 0 .. 8 (0 for the 1 key). No other key is reported.
void WINAPI HookStartCapture(HWND window);

// Ordinal 2: stop reporting capture keys.
void WINAPI HookStopCapture();

// Ordinal 3: report every key-down (not its auto-repeats) to `window` as
// WM_HOTKEY with wParam = the virtual-key code; lParam is 0. The report is
// posted while the key is still down, so the receiver can read the modifiers
// with GetAsyncKeyState when it handles it.
void WINAPI HookStartHotkeys(HWND window);

// Ordinal 4: stop reporting hotkeys.
void WINAPI HookStopHotkeys();

// Ordinal 5: report every keyboard and mouse event (the program's own tagged
// input excepted) to `window` as kRecordedInputMessage, in the order the
// hooks saw them. A mouse hook is in place only while a window records.
// Returns FALSE when the system would not take the hooks: nothing will be
// reported, not even the key meant to end the recording.
BOOL WINAPI HookStartRecording(HWND window);

// Ordinal 6: stop recording.
void WINAPI HookStopRecording();

// Ordinal 7: whether the next recordings also report, ahead of a pointer
// event, the client origin of the window in front when it changed (a
// tarvix::hook::InputKind::WindowOrigin report). Off until asked for: the
// look at the window in front costs every pointer event of the session.
void WINAPI HookRecordWindowOrigins(BOOL on);

// Edition 1.0 captures with the keypad digits 1 .. 9 rather than the digit
// row. A host program of that edition defines, in its .exe,
//     extern "C" __declspec(dllexport) const int tarvix_capture_on_keypad = 1;
// hook.dll looks the name up in the host each time capture starts; absent or
// 0 means the digit row.
extern __declspec(dllexport) const int tarvix_capture_on_keypad;

}  // extern "C"

constexpr char kCaptureOnKeypadExport[] = "tarvix_capture_on_keypad";

// One recorded event: wParam and lParam are the two words of
// tarvix::hook::PackedInput (what happened; its time in microseconds on the
// performance counter's clock). Both words need 64 bits.
constexpr UINT kRecordedInputMessage = WM_APP + 0x41;
static_assert(sizeof(WPARAM) == 8 && sizeof(LPARAM) == 8, "a recorded event needs 64-bit message parameters");
