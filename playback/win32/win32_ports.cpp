#include "win32_ports.h"

#include <mmsystem.h>

#include <algorithm>
#include <vector>

#include "extended_keys.h"
#include "client_origin.h"
#include "performance_counter.h"
#include "hook_api.h"
#include "playback_engine.h"
#include "wide_text.h"

namespace tarvix {

namespace {

void SendOne(INPUT& input) { ::SendInput(1, &input, sizeof(INPUT)); }

void SendKey(WORD vk, WORD scan, DWORD flags) {
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    input.ki.wScan = scan;
    input.ki.dwFlags = flags;
    input.ki.dwExtraInfo = kTarvixInputTag;
    SendOne(input);
}

void SendMouse(DWORD flags, LONG dx, LONG dy, DWORD data = 0) {
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dx = dx;
    input.mi.dy = dy;
    input.mi.mouseData = data;
    input.mi.dwFlags = flags;
    input.mi.dwExtraInfo = kTarvixInputTag;
    SendOne(input);
}

}  // namespace

// The same lookup a run makes before its first key; it sends nothing.
void Win32InputSink::PrepareThread() { ::MapVirtualKeyW(VK_SHIFT, MAPVK_VK_TO_VSC); }

// The extended form, with its E0 prefix where the layout gives one. Pause is
// an E1 sequence that no single scan code stands for: it keeps the one-byte
// code it has always been sent with.
uint16_t Win32InputSink::ScanCode(uint8_t vk) {
    const UINT scan = ::MapVirtualKeyW(vk, MAPVK_VK_TO_VSC_EX);
    if ((scan & 0xFF00) == 0xE100) return static_cast<uint16_t>(::MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
    return static_cast<uint16_t>(scan);
}

// ASCII is the same character in Big5 and in every system code page, so its
// key is what it always was; a byte above is no character of its own here.
int16_t Win32InputSink::KeyScan(unsigned char c) {
    if (c >= 0x80) return -1;
    return static_cast<int16_t>(::VkKeyScanW(static_cast<wchar_t>(c)));
}

void Win32InputSink::Key(uint8_t vk, uint16_t scan, bool up) {
    const bool extended = (scan & 0xFF00) == kExtendedPrefix;
    SendKey(vk, extended ? scan & 0xFF : scan, (up ? KEYEVENTF_KEYUP : 0) | (extended ? KEYEVENTF_EXTENDEDKEY : 0));
}

void Win32InputSink::Character(std::string_view big5Char, bool up) {
    for (wchar_t unit : WideFromBig5(big5Char))
        SendKey(0, unit, KEYEVENTF_UNICODE | (up ? KEYEVENTF_KEYUP : 0));
}

void Win32InputSink::Button(MouseButton button, bool up) {
    switch (button) {
    case MouseButton::Left: SendMouse(up ? MOUSEEVENTF_LEFTUP : MOUSEEVENTF_LEFTDOWN, 0, 0); break;
    case MouseButton::Right: SendMouse(up ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_RIGHTDOWN, 0, 0); break;
    case MouseButton::Middle: SendMouse(up ? MOUSEEVENTF_MIDDLEUP : MOUSEEVENTF_MIDDLEDOWN, 0, 0); break;
    case MouseButton::X1: SendMouse(up ? MOUSEEVENTF_XUP : MOUSEEVENTF_XDOWN, 0, 0, XBUTTON1); break;
    case MouseButton::X2: SendMouse(up ? MOUSEEVENTF_XUP : MOUSEEVENTF_XDOWN, 0, 0, XBUTTON2); break;
    }
}

// The amount travels in a DWORD as its two's complement, as the system
// reads it back into a signed number.
void Win32InputSink::Wheel(bool horizontal, int16_t amount) {
    SendMouse(horizontal ? MOUSEEVENTF_HWHEEL : MOUSEEVENTF_WHEEL, 0, 0,
              static_cast<DWORD>(static_cast<int32_t>(amount)));
}

// Onto the stored point anywhere on the virtual desktop, other monitors
// included, with the rounding that lands on the pixel itself.
void Win32InputSink::MoveTo(int32_t x, int32_t y) {
    const int left = ::GetSystemMetrics(SM_XVIRTUALSCREEN);
    const int top = ::GetSystemMetrics(SM_YVIRTUALSCREEN);
    const int width = ::GetSystemMetrics(SM_CXVIRTUALSCREEN);
    const int height = ::GetSystemMetrics(SM_CYVIRTUALSCREEN);
    SendMouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_VIRTUALDESK,
              NormalizedCoordinate(x, left, width), NormalizedCoordinate(y, top, height));
}

void Win32InputSink::MoveBy(int32_t dx, int32_t dy) { SendMouse(MOUSEEVENTF_MOVE, dx, dy); }

Win32Clock::Win32Clock() : m_periodSet(::timeBeginPeriod(1) == TIMERR_NOERROR) {}

Win32Clock::~Win32Clock() {
    if (m_periodSet) ::timeEndPeriod(1);
}

uint32_t Win32Clock::NowMs() { return ::timeGetTime(); }

uint64_t Win32Clock::NowUs() { return win32::CounterMicroseconds(); }

bool Win32StopSignal::IsSet() { return ::WaitForSingleObject(m_event, 0) == WAIT_OBJECT_0; }

namespace {

// A wait that fails still takes its time: a failed stop signal must not
// turn every Delay and hold into none.
bool WaitOrSleep(HANDLE event, DWORD ms) {
    const DWORD result = ::WaitForSingleObject(event, ms);
    if (result == WAIT_FAILED) ::Sleep(ms);
    return result == WAIT_OBJECT_0;
}

}  // namespace

bool Win32StopSignal::WaitFor(uint32_t ms) {
    // INFINITE is also 4294967295: in two waits, a Delay of that many
    // milliseconds ends after them, as the number says, not never.
    if (ms == INFINITE) {
        if (WaitOrSleep(m_event, INFINITE - 1)) return true;
        ms = 1;
    }
    return WaitOrSleep(m_event, ms);
}

// The long part waits on the event, so a stop ends it at once. The rest
// sleeps a millisecond at a time, looking at the event between, while more
// than half a sleep is left, and spins what is left after that: each wait
// ends within about half a sleep of its deadline, and the spin, the
// processor time this costs, is at most about half a sleep per wait.
bool Win32StopSignal::WaitUntil(uint64_t deadlineUs) {
    for (;;) {
        const uint64_t now = win32::CounterMicroseconds();
        if (now >= deadlineUs) return IsSet();
        const uint64_t left = deadlineUs - now;
        if (left > kWakeEarlyUs) {
            const uint64_t ms = (left - kWakeEarlyUs) / 1000 + 1;
            if (WaitOrSleep(m_event, static_cast<DWORD>(ms < INFINITE ? ms : INFINITE - 1))) return true;
        } else if (left * 2 > m_sleepUs) {
            if (IsSet()) return true;
            ::Sleep(1);
            // A sleep that a busy machine stretched says nothing about the
            // next one: it counts as 3 ms at most.
            const uint64_t took = std::min<uint64_t>(win32::CounterMicroseconds() - now, 3000);
            m_sleepUs = (m_sleepUs * 7 + took) / 8;
        } else {
            ::SwitchToThread();
        }
    }
}

bool Win32KeyState::IsDown(uint8_t vk) { return (::GetAsyncKeyState(vk) & 0x8000) != 0; }

bool Win32KeyState::CapsLockOn() { return (::GetKeyState(VK_CAPITAL) & 1) != 0; }

// Read wide and converted as the main window's window list is, so that the
// two compare alike whatever the system's code page.
std::string Win32ForegroundWindow::Title() {
    const HWND window = ::GetForegroundWindow();
    if (!window) return std::string();
    const int length = ::GetWindowTextLengthW(window);
    if (length <= 0) return std::string();
    std::vector<wchar_t> title(static_cast<size_t>(length) + 1);
    const int copied = ::GetWindowTextW(window, title.data(), length + 1);
    return Big5FromWide(std::wstring_view(title.data(), copied > 0 ? static_cast<size_t>(copied) : 0));
}

std::optional<DesktopPoint> Win32ForegroundWindow::ClientOrigin() {
    POINT corner;
    if (!win32::ForegroundClientOrigin(corner)) return std::nullopt;
    return DesktopPoint{corner.x, corner.y};
}

}  // namespace tarvix
