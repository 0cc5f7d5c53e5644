// hook.dll as the programs use it: windows register through the ordinals,
// input is injected with SendInput, and the reports that arrive are written
// into one log: "h41" a hotkey report of key 0x41 to the main window ("h11*"
// when Ctrl was down on arrival), "c3" a capture report of point index 3 to
// the capture dialog, "r..." a recording report.
//
// "Nothing was reported" is shown without waiting on a clock: each case ends
// with a key that must report. The hook handles input in order and posts to
// windows of this one thread, so once that report is here, any report of the
// earlier input would be here too.
//
// Capture on the digit row, the host's default; which digits capture on a
// host that asks for the keypad is decided, and tested, in the hook's core.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "hook_api.h"
#include "recorded_input.h"
#include "wine_support.h"

constexpr int kFirst = '1';  // the first capture digit

namespace {

using tarvix::hook::InputKind;
constexpr int kSentinel = VK_F24;  // "h87", "rd87", "ru87"

// Key presses in order: a code for its key going down, its negative for the
// key coming up.
void Keys(std::initializer_list<int> codes, ULONG_PTR extra = 0) {
    for (const int code : codes) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = static_cast<WORD>(code < 0 ? -code : code);
        input.ki.wScan = static_cast<WORD>(::MapVirtualKeyW(input.ki.wVk, MAPVK_VK_TO_VSC));
        input.ki.dwFlags = code < 0 ? KEYEVENTF_KEYUP : 0;
        input.ki.dwExtraInfo = extra;
        ::SendInput(1, &input, sizeof(input));
    }
}

void Tap(int vk, ULONG_PTR extra = 0) { Keys({vk, -vk}, extra); }
void AltCtrlTap(int vk) { Keys({VK_MENU, VK_CONTROL, vk, -vk, -VK_CONTROL, -VK_MENU}); }

// Mouse input at an exact pixel of the main screen: the normalised
// coordinate rounded up lands on the pixel asked for.
void Mouse(int x, int y, DWORD flags, DWORD data = 0, ULONG_PTR extra = 0) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = (x * 65536 + ::GetSystemMetrics(SM_CXSCREEN) - 1) / ::GetSystemMetrics(SM_CXSCREEN);
    input.mi.dy = (y * 65536 + ::GetSystemMetrics(SM_CYSCREEN) - 1) / ::GetSystemMetrics(SM_CYSCREEN);
    input.mi.dwFlags = flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    input.mi.mouseData = data;
    input.mi.dwExtraInfo = extra;
    ::SendInput(1, &input, sizeof(input));
}

// The performance counter in microseconds, the recording report's clock.
uint64_t NowUs() {
    LARGE_INTEGER count, frequency;
    ::QueryPerformanceCounter(&count);
    ::QueryPerformanceFrequency(&frequency);
    return static_cast<uint64_t>(count.QuadPart / frequency.QuadPart * 1000000 +
                                 count.QuadPart % frequency.QuadPart * 1000000 / frequency.QuadPart);
}

std::string Hex(unsigned vk) {
    // The hook may report a sided Ctrl or Alt for the generic key injected.
    vk = vk == VK_LCONTROL || vk == VK_RCONTROL ? VK_CONTROL : vk == VK_LMENU ? VK_MENU : vk;
    char text[8];
    std::snprintf(text, sizeof text, "%02X", vk);
    return text;
}

std::string Described(const tarvix::hook::RecordedInput& in) {
    static const char* const kNames[] = {"d",  "u",  "ld", "lu", "rd", "ru", "move", "md", "mu",
                                         "x1d", "x1u", "x2d", "x2u", "w", "hw", "other", "missed", "origin"};
    const std::string name = "r" + std::string(kNames[static_cast<int>(in.kind)]);
    if (in.kind == InputKind::KeyDown || in.kind == InputKind::KeyUp) return name + Hex(in.vk);
    if (in.kind >= InputKind::LeftDown && in.kind <= InputKind::RightUp)
        return name + std::to_string(in.x) + "," + std::to_string(in.y);
    return tarvix::hook::IsWheel(in.kind) ? name + std::to_string(in.wheel) : name;
}

class HookTest : public ::testing::Test {
protected:
    void TearDown() override {
        HookStopRecording();
        HookStopCapture();
        HookStopHotkeys();
    }

    // Serves this thread's windows, logging their reports, until the log
    // ends in `last` or the generous time only a broken hook reaches; the
    // log, without `last`.
    std::string LogUntil(const std::string& last) {
        std::string log;
        const DWORD start = ::GetTickCount();
        for (;;) {
            MSG msg;
            while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
                std::string entry;
                if (msg.message == WM_HOTKEY && msg.hwnd == main) {
                    entry = "h" + Hex(static_cast<unsigned>(msg.wParam)) + (::GetAsyncKeyState(VK_CONTROL) < 0 ? "*" : "");
                } else if (msg.message == WM_HOTKEY && msg.hwnd == dialog) {
                    entry = "c" + std::to_string(static_cast<int>(msg.wParam));
                } else if (msg.message == kRecordedInputMessage && msg.hwnd == recorder) {
                    recorded.push_back(tarvix::hook::Unpack({static_cast<uint64_t>(msg.wParam), static_cast<uint64_t>(msg.lParam)}));
                    if (recorded.back().kind != InputKind::Move) entry = Described(recorded.back());
                } else {
                    ::DispatchMessageW(&msg);
                }
                if (entry == last) return log;
                if (!entry.empty()) log += (log.empty() ? "" : " ") + entry;
            }
            if (::GetTickCount() - start > 10000) return log + " (no " + last + ")";
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
        }
    }

    // Injects the closing key and logs what arrived before its hotkey report.
    std::string Settle() {
        Tap(kSentinel);
        return LogUntil("h87");
    }

    const HWND main = tarvix::wine_test::NewMessageWindow(), dialog = tarvix::wine_test::NewMessageWindow();
    const HWND recorder = tarvix::wine_test::NewMessageWindow();
    std::vector<tarvix::hook::RecordedInput> recorded;
};

// Which keys report, and which capture, is decided, and tested, in the
// hook's core; here the reports arrive, each at its own window, in time, and
// stop on their own ordinals.
TEST_F(HookTest, ReportsArriveAtTheirWindowsAndStopOnTheirOrdinals) {
    HookStartHotkeys(main);
    // The receiver reads the modifiers when the report arrives, so the report
    // has to come while the combination is still held.
    Keys({VK_CONTROL, VK_F5});
    EXPECT_EQ(LogUntil("h74*"), "h11*");
    Keys({-VK_F5, -VK_CONTROL});
    Tap('B', kTarvixInputTag);  // the program's own input
    Tap('C');
    EXPECT_EQ(Settle(), "h43");

    HookStartCapture(dialog);
    Tap(kFirst);
    for (const int i : {0, 4, 7}) AltCtrlTap(kFirst + i);
    EXPECT_EQ(Settle(), "h31 h12 h11 h31 c0 h12 h11 h35 c4 h12 h11 h38 c7");
    HookStopCapture();
    AltCtrlTap(kFirst);
    EXPECT_EQ(Settle(), "h12 h11 h31");
    HookStopHotkeys();
    HookStartCapture(dialog);
    Tap('A');
    AltCtrlTap(kFirst + 8);
    EXPECT_EQ(LogUntil("c8"), "");
    HookStopCapture();
    Tap('Q');  // nothing listens: it must not turn up later either
    HookStartHotkeys(main);
    Tap('R');
    EXPECT_EQ(Settle(), "h52");
}

TEST_F(HookTest, RecordingReportsKeysAndButtonsInOrderWithTheirTimes) {
    HookStartHotkeys(main);
    ASSERT_TRUE(HookStartRecording(recorder)) << "both hooks are in for the recording";
    HookStartCapture(dialog);
    const uint64_t before = NowUs();
    // Paced a few milliseconds apart, so that each time stamp must rise past
    // the one before it.
    for (const int code : {VK_CONTROL, int('A'), -'A', -VK_CONTROL}) {
        Keys({code});
        ::Sleep(3);
    }
    Mouse(100, 120, MOUSEEVENTF_LEFTDOWN);
    Mouse(100, 120, MOUSEEVENTF_LEFTUP);
    ::Sleep(3);
    Mouse(300, 200, MOUSEEVENTF_RIGHTDOWN);
    Mouse(300, 200, MOUSEEVENTF_RIGHTUP);
    // The program's own tagged input, keys and buttons alike, is what it
    // plays: none of it is the user's work.
    Tap('B', kTarvixInputTag);
    Mouse(50, 60, MOUSEEVENTF_LEFTDOWN, 0, kTarvixInputTag);
    Mouse(50, 60, MOUSEEVENTF_LEFTUP, 0, kTarvixInputTag);
    ::Sleep(3);
    Mouse(10, 10, MOUSEEVENTF_MIDDLEDOWN);
    Mouse(10, 10, MOUSEEVENTF_MIDDLEUP);
    Mouse(10, 10, MOUSEEVENTF_XDOWN, XBUTTON1);
    Mouse(10, 10, MOUSEEVENTF_XUP, XBUTTON2);
    Mouse(10, 10, MOUSEEVENTF_WHEEL, static_cast<DWORD>(-WHEEL_DELTA));
    Mouse(10, 10, MOUSEEVENTF_HWHEEL, 2 * WHEEL_DELTA);
    AltCtrlTap(kFirst + 4);  // capture reports go on while recording
    Tap(kSentinel);
    const std::string digit = Hex(kFirst + 4);
    EXPECT_EQ(LogUntil("ru87"),
              "h11 rd11 h41 rd41 ru41 ru11 rld100,120 rlu100,120 rrd300,200 rru300,200 rmd rmu rx1d rx2u rw-120 rhw240 "
              "h12 rd12 h11 rd11 h" + digit + " c4 rd" + digit + " ru" + digit + " ru11 ru12 h87 rd87");
    const uint64_t after = NowUs();
    uint64_t last = before;
    for (const auto& in : recorded) {
        if (in.kind == InputKind::Move) continue;
        EXPECT_GT(in.timeUs, last) << "each event is stamped later than the one before, on the performance counter";
        last = in.timeUs;
    }
    EXPECT_LE(last, after) << "no time stamp lies past the moment the last report arrived";
    EXPECT_TRUE(recorded.front().injected) << "input other programs synthesise is recorded as such";

    // Stopped, nothing more is recorded while hotkeys go on.
    HookStopRecording();
    Tap('A');
    Mouse(100, 120, MOUSEEVENTF_LEFTDOWN);
    Mouse(100, 120, MOUSEEVENTF_LEFTUP);
    EXPECT_EQ(Settle(), "h41");
}

}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
