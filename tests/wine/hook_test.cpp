// hook.dll as the programs use it: a window registers through the ordinals,
// keys are injected with SendInput, and the WM_HOTKEY reports that arrive
// are compared with what the receiver relies on.
//
// "Nothing was reported" is shown without waiting on a clock: after the keys
// that must not report, a key that must is injected. The hook handles keys in
// order and posts to windows of this one thread, so once that key's report is
// here, any report of the earlier keys would be here too.
//
// Built twice: hook_test (the digit row captures) and hook_test_keypad, whose
// host export makes the keypad digits capture instead.
//
// The recording report (ordinals 5 and 6) is checked the same way: what a
// recording window receives up to the release of a closing key.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "hook_api.h"
#include "recorded_input.h"
#include "wine_support.h"

#if defined(HOOK_TEST_KEYPAD)
extern "C" __declspec(dllexport) const int tarvix_capture_on_keypad = 1;
constexpr bool kKeypad = true;
#else
constexpr bool kKeypad = false;
#endif

namespace {

std::string Codes(const std::vector<WPARAM>& codes) {
    std::string text = "[";
    for (size_t i = 0; i < codes.size(); ++i) {
        char buf[16];
        std::snprintf(buf, sizeof(buf), "%s0x%02X", i ? " " : "", static_cast<unsigned>(codes[i]));
        text += buf;
    }
    return text + "]";
}

void ExpectCodes(const std::vector<WPARAM>& got, const std::vector<WPARAM>& want, const std::string& what) {
    EXPECT_EQ(Codes(got), Codes(want)) << what;
}

// ---------------------------------------------------------------- input

void Key(WORD vk, bool down, ULONG_PTR extra = 0) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    input.ki.wScan = static_cast<WORD>(::MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
    input.ki.dwExtraInfo = extra;
    ::SendInput(1, &input, sizeof(input));
}

void Tap(WORD vk, ULONG_PTR extra = 0) {
    Key(vk, true, extra);
    Key(vk, false, extra);
}

// Alt+Ctrl+key, released in reverse order.
void AltCtrlTap(WORD vk) {
    Key(VK_MENU, true);
    Key(VK_CONTROL, true);
    Tap(vk);
    Key(VK_CONTROL, false);
    Key(VK_MENU, false);
}

constexpr WORD kSentinel = VK_F24;

// Mouse input at an exact pixel of the main screen: the normalised
// coordinate rounded up lands on the pixel asked for.
void MouseAt(int x, int y, DWORD flags, ULONG_PTR extra = 0, DWORD data = 0) {
    const int width = ::GetSystemMetrics(SM_CXSCREEN);
    const int height = ::GetSystemMetrics(SM_CYSCREEN);
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = static_cast<LONG>((static_cast<LONGLONG>(x) * 65536 + width - 1) / width);
    input.mi.dy = static_cast<LONG>((static_cast<LONGLONG>(y) * 65536 + height - 1) / height);
    input.mi.dwFlags = flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    input.mi.mouseData = data;
    input.mi.dwExtraInfo = extra;
    ::SendInput(1, &input, sizeof(input));
}

void ClickAt(int x, int y, DWORD down, DWORD up, ULONG_PTR extra = 0) {
    MouseAt(x, y, 0, extra);
    MouseAt(x, y, down, extra);
    MouseAt(x, y, up, extra);
}

// The performance counter in microseconds, the recording report's clock.
uint64_t NowUs() {
    LARGE_INTEGER count, frequency;
    ::QueryPerformanceCounter(&count);
    ::QueryPerformanceFrequency(&frequency);
    return static_cast<uint64_t>(count.QuadPart) / static_cast<uint64_t>(frequency.QuadPart) * 1000000 +
           static_cast<uint64_t>(count.QuadPart) % static_cast<uint64_t>(frequency.QuadPart) * 1000000 /
               static_cast<uint64_t>(frequency.QuadPart);
}

// ---------------------------------------------------------------- reports

// A message-only window that keeps the WM_HOTKEY reports posted to it.
struct Receiver : tarvix::wine_test::MessageWindow {
    std::vector<WPARAM> reports;
};

struct Arrival {
    bool arrived = false;
    bool ctrlHeld = false;  // Ctrl's state as the receiver saw it on arrival
};

// Pumps this thread's messages into the receivers until `until` reports
// `code` (kept out of its list) or a generous time-out, which only a broken
// hook reaches. With no `until`, pumps for `ms`.
Arrival Pump(std::vector<Receiver*> receivers, Receiver* until, WPARAM code, DWORD ms = 10000) {
    Arrival result;
    const DWORD start = ::GetTickCount();
    for (;;) {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message != WM_HOTKEY) {
                ::DispatchMessageW(&msg);
                continue;
            }
            for (Receiver* r : receivers) {
                if (msg.hwnd != r->hwnd()) continue;
                if (r == until && msg.wParam == code) {
                    result.arrived = true;
                    result.ctrlHeld = (::GetAsyncKeyState(VK_CONTROL) & 0x8000) != 0;
                    return result;
                }
                r->reports.push_back(msg.wParam);
            }
        }
        const DWORD spent = ::GetTickCount() - start;
        if (spent >= ms) return result;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, ms - spent, QS_ALLINPUT);
    }
}

// Injects the sentinel and collects what arrived before its report.
bool Settle(std::vector<Receiver*> receivers, Receiver& sentinelTo, WORD sentinel = kSentinel) {
    Tap(sentinel);
    const bool arrived = Pump(receivers, &sentinelTo, sentinel).arrived;
    EXPECT_TRUE(arrived) << "the closing key's report arrives";
    return arrived;
}

using tarvix::hook::InputKind;
using tarvix::hook::RecordedInput;

// A message-only window that keeps the recording reports posted to it.
struct RecordingReceiver : tarvix::wine_test::MessageWindow {
    std::vector<RecordedInput> events;
};

bool IsSentinelUp(const RecordedInput& in) { return in.kind == InputKind::KeyUp && in.vk == kSentinel; }

// Pumps hotkey reports into `hotkeys` and recording reports into `recorder`
// until the sentinel's hotkey report (with `byHotkey`) or its recorded
// release, or the generous time-out only a broken hook reaches.
bool PumpRecording(Receiver& hotkeys, RecordingReceiver& recorder, bool byHotkey) {
    const DWORD start = ::GetTickCount();
    for (;;) {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_HOTKEY && msg.hwnd == hotkeys.hwnd()) {
                if (byHotkey && msg.wParam == kSentinel) return true;
                hotkeys.reports.push_back(msg.wParam);
            } else if (msg.message == kRecordedInputMessage && msg.hwnd == recorder.hwnd()) {
                tarvix::hook::PackedInput packed;
                packed.what = static_cast<uint64_t>(msg.wParam);
                packed.timeUs = static_cast<uint64_t>(msg.lParam);
                recorder.events.push_back(tarvix::hook::Unpack(packed));
                if (!byHotkey && IsSentinelUp(recorder.events.back())) return true;
            } else {
                ::DispatchMessageW(&msg);
            }
        }
        const DWORD spent = ::GetTickCount() - start;
        if (spent >= 10000) return false;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10000 - spent, QS_ALLINPUT);
    }
}

// The recorded events with the pointer's moves left out, as text.
std::string Described(const std::vector<RecordedInput>& events) {
    std::string text;
    for (const RecordedInput& in : events) {
        char buf[48];
        // The hook may see a sided Ctrl for the generic key injected.
        const unsigned vk = in.vk == VK_LCONTROL || in.vk == VK_RCONTROL ? VK_CONTROL : in.vk;
        switch (in.kind) {
        case InputKind::KeyDown: std::snprintf(buf, sizeof(buf), "down %02X", vk); break;
        case InputKind::KeyUp: std::snprintf(buf, sizeof(buf), "up %02X", vk); break;
        case InputKind::LeftDown: std::snprintf(buf, sizeof(buf), "left down %d,%d", in.x, in.y); break;
        case InputKind::LeftUp: std::snprintf(buf, sizeof(buf), "left up %d,%d", in.x, in.y); break;
        case InputKind::RightDown: std::snprintf(buf, sizeof(buf), "right down %d,%d", in.x, in.y); break;
        case InputKind::RightUp: std::snprintf(buf, sizeof(buf), "right up %d,%d", in.x, in.y); break;
        case InputKind::MiddleDown: std::snprintf(buf, sizeof(buf), "middle down"); break;
        case InputKind::MiddleUp: std::snprintf(buf, sizeof(buf), "middle up"); break;
        case InputKind::X1Down: std::snprintf(buf, sizeof(buf), "x1 down"); break;
        case InputKind::X2Up: std::snprintf(buf, sizeof(buf), "x2 up"); break;
        case InputKind::Wheel: std::snprintf(buf, sizeof(buf), "wheel %d", in.wheel); break;
        case InputKind::HWheel: std::snprintf(buf, sizeof(buf), "hwheel %d", in.wheel); break;
        case InputKind::OtherSideButton: std::snprintf(buf, sizeof(buf), "other side button"); break;
        default: continue;
        }
        text += text.empty() ? "" : "; ";
        text += buf;
    }
    return text;
}

bool IsCtrl(WPARAM vk) { return vk == VK_CONTROL || vk == VK_LCONTROL; }
bool IsAlt(WPARAM vk) { return vk == VK_MENU || vk == VK_LMENU; }

// ---------------------------------------------------------------- cases

// The main window's receiver and the capture dialog's, for the whole run;
// each case starts from nothing registered and leaves nothing registered.
class HookTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        main = new Receiver;
        dialog = new Receiver;
    }
    static void TearDownTestSuite() {
        delete dialog;
        delete main;
    }
    void SetUp() override {
        ASSERT_TRUE(main->hwnd() && dialog->hwnd()) << "the receiving windows exist";
        main->reports.clear();
        dialog->reports.clear();
    }
    void TearDown() override {
        HookStopRecording();
        HookStopCapture();
        HookStopHotkeys();
    }

    static Receiver* main;
    static Receiver* dialog;
    const WORD first = kKeypad ? VK_NUMPAD1 : '1';
    const std::string edition = kKeypad ? "keypad digits" : "digit row";
};

Receiver* HookTest::main = nullptr;
Receiver* HookTest::dialog = nullptr;

TEST_F(HookTest, HotkeysReportKeyDowns) {
    HookStartHotkeys(main->hwnd());

    // The receiver reads the modifiers when the report arrives, so the report
    // has to come while the combination is still held.
    Key(VK_CONTROL, true);
    Key(VK_F5, true);
    main->reports.clear();
    const Arrival f5 = Pump({main}, main, VK_F5);
    EXPECT_TRUE(f5.arrived) << "Ctrl+F5: F5 is reported with its key code";
    EXPECT_TRUE(f5.ctrlHeld) << "Ctrl+F5: Ctrl is still down when the report is handled";
    EXPECT_TRUE(main->reports.size() == 1 && IsCtrl(main->reports[0]))
        << "Ctrl+F5: Ctrl's own key-down came first: " << Codes(main->reports);
    Key(VK_F5, false);
    Key(VK_CONTROL, false);

    main->reports.clear();
    Key('A', true);
    Key('A', true);  // auto-repeat: down again without an up
    Key('A', true);
    Key('A', false);
    Key('A', true);  // a new press after the release
    Key('A', false);
    Tap(VK_SPACE);
    if (Settle({main}, *main))
        ExpectCodes(main->reports, {'A', 'A', VK_SPACE}, "auto-repeats are not reported, new presses are");

    main->reports.clear();
    Tap('B', kTarvixInputTag);
    Key(VK_CONTROL, true, kTarvixInputTag);
    Tap(VK_F5, kTarvixInputTag);
    Key(VK_CONTROL, false, kTarvixInputTag);
    Tap('C');
    Tap('B');  // the tagged press left no trace: B is no auto-repeat now
    if (Settle({main}, *main))
        ExpectCodes(main->reports, {'C', 'B'}, "the program's own tagged input is not reported");
}

TEST_F(HookTest, NothingAfterStop) {
    HookStartHotkeys(main->hwnd());
    HookStopHotkeys();
    // Capture reports to the other window close the case.
    HookStartCapture(dialog->hwnd());
    Tap('A');
    Tap(VK_F5);
    AltCtrlTap(first + 8);
    const bool arrived = Pump({main, dialog}, dialog, 8).arrived;
    EXPECT_TRUE(arrived) << "capture report after stopping hotkeys arrives";
    if (arrived) ExpectCodes(main->reports, {}, "no hotkey report after ordinal 4");
}

TEST_F(HookTest, CaptureKeys) {
    const WORD other = kKeypad ? '1' : VK_NUMPAD1;  // the other edition's keys
    HookStartCapture(dialog->hwnd());

    // Keys that are not capture keys report nothing.
    Tap(first);
    Key(VK_CONTROL, true);
    Tap(first + 2);
    Key(VK_CONTROL, false);
    Key(VK_MENU, true);
    Tap(first + 4);
    Key(VK_MENU, false);
    AltCtrlTap(kKeypad ? VK_NUMPAD0 : '0');
    AltCtrlTap('A');
    AltCtrlTap(VK_F5);
    for (int i = 0; i < 9; ++i) AltCtrlTap(other + i);
    // The capture keys, in order.
    for (int i = 0; i < 8; ++i) AltCtrlTap(first + i);
    // Alt and Ctrl held across several digits report each.
    Key(VK_CONTROL, true);
    Key(VK_MENU, true);
    Tap(first + 3);
    Tap(first + 5);
    Key(VK_MENU, false);
    Key(VK_CONTROL, false);
    AltCtrlTap(first + 8);
    const bool arrived = Pump({dialog}, dialog, 8).arrived;
    EXPECT_TRUE(arrived) << "Alt+Ctrl+9 on the " << edition << " reports 8";
    if (arrived)
        ExpectCodes(dialog->reports, {0, 1, 2, 3, 4, 5, 6, 7, 3, 5},
                    "Alt+Ctrl+1..8 on the " + edition + " report 0..7, other keys nothing");
}

TEST_F(HookTest, CaptureStopAndBoth) {
    HookStartCapture(dialog->hwnd());
    HookStopCapture();
    HookStartHotkeys(main->hwnd());
    AltCtrlTap(first);
    if (Settle({main, dialog}, *main)) {
        ExpectCodes(dialog->reports, {}, "no capture report after ordinal 2");
        EXPECT_TRUE(main->reports.size() == 3 && IsAlt(main->reports[0]) && IsCtrl(main->reports[1]) &&
                    main->reports[2] == first)
            << "hotkeys see Alt, Ctrl and the digit: " << Codes(main->reports);
    }

    // Both kinds on at once: each window gets its own kind of report.
    HookStartCapture(dialog->hwnd());
    main->reports.clear();
    dialog->reports.clear();
    AltCtrlTap(first + 2);
    if (Settle({main, dialog}, *main)) {
        ExpectCodes(dialog->reports, {2}, "with both on, the capture window gets the index");
        EXPECT_TRUE(main->reports.size() == 3 && main->reports[2] == static_cast<WPARAM>(first + 2))
            << "with both on, the hotkey window gets the key codes: " << Codes(main->reports);
    }
}

TEST_F(HookTest, RestartAfterAllStopped) {
    HookStartHotkeys(main->hwnd());
    HookStartCapture(dialog->hwnd());
    HookStopCapture();
    HookStopHotkeys();
    // With nothing registered there is no report to close on, so this one
    // case waits: keys pressed while nothing listens must not turn up later.
    Tap('Q');
    Pump({main}, nullptr, 0, 500);
    ExpectCodes(main->reports, {}, "nothing is reported with both kinds stopped");

    HookStartHotkeys(main->hwnd());
    Tap('Q');
    if (Settle({main}, *main))
        ExpectCodes(main->reports, {'Q'}, "hotkeys report again after a fresh ordinal 3");
}

// Paced a few milliseconds apart, so that each event's time stamp must rise
// past the one before it.
void Paced() { ::Sleep(3); }

TEST_F(HookTest, RecordingReportsKeysAndButtonsInOrderWithTheirTimes) {
    RecordingReceiver recorder;
    ASSERT_TRUE(recorder.hwnd());
    HookStartHotkeys(main->hwnd());
    ASSERT_TRUE(HookStartRecording(recorder.hwnd())) << "both hooks are in for the recording";

    const uint64_t before = NowUs();
    Key(VK_CONTROL, true);
    Paced();
    Tap('A');
    Paced();
    Key(VK_CONTROL, false);
    Paced();
    ClickAt(100, 120, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP);
    Paced();
    ClickAt(300, 200, MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP);
    Paced();
    // The program's own tagged input, keys and buttons alike, is what it
    // plays: none of it is the user's work.
    Tap('B', kTarvixInputTag);
    ClickAt(50, 60, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, kTarvixInputTag);
    Paced();
    // The middle button, the side buttons by number and the wheels with
    // their signed amounts.
    ClickAt(10, 10, MOUSEEVENTF_MIDDLEDOWN, MOUSEEVENTF_MIDDLEUP);
    MouseAt(10, 10, MOUSEEVENTF_XDOWN, 0, XBUTTON1);
    MouseAt(10, 10, MOUSEEVENTF_XUP, 0, XBUTTON2);
    MouseAt(10, 10, MOUSEEVENTF_WHEEL, 0, static_cast<DWORD>(-WHEEL_DELTA));
    MouseAt(10, 10, MOUSEEVENTF_HWHEEL, 0, 2 * WHEEL_DELTA);
    Paced();
    Tap(kSentinel);
    ASSERT_TRUE(PumpRecording(*main, recorder, false)) << "the closing key's release is recorded";
    const uint64_t after = NowUs();

    EXPECT_EQ(Described(recorder.events),
              "down 11; down 41; up 41; up 11; left down 100,120; left up 100,120; right down 300,200; "
              "right up 300,200; middle down; middle up; x1 down; x2 up; wheel -120; hwheel 240; down 87; up 87");

    uint64_t last = before;
    bool rising = true;
    for (const RecordedInput& in : recorder.events) {
        if (in.kind == InputKind::Move) continue;
        rising = rising && in.timeUs > last;
        last = in.timeUs;
    }
    EXPECT_TRUE(rising) << "each event is stamped later than the one before, on the performance counter";
    EXPECT_LE(last, after) << "no time stamp lies past the moment the last report arrived";
    EXPECT_TRUE(recorder.events.front().injected) << "input other programs synthesise is recorded as such";

    // Reporting hotkeys goes on beside the recording, the tagged key left out.
    EXPECT_TRUE(main->reports.size() == 3 && IsCtrl(main->reports[0]) && main->reports[1] == 'A' &&
                main->reports[2] == kSentinel)
        << "hotkey reports while recording: " << Codes(main->reports);
}

TEST_F(HookTest, NothingIsRecordedAfterStopping) {
    RecordingReceiver recorder;
    ASSERT_TRUE(recorder.hwnd());
    HookStartHotkeys(main->hwnd());
    HookStartRecording(recorder.hwnd());
    HookStopRecording();
    Tap('A');
    ClickAt(100, 120, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP);
    Tap(kSentinel);
    ASSERT_TRUE(PumpRecording(*main, recorder, true)) << "the closing key's hotkey report arrives";
    EXPECT_EQ(Described(recorder.events), "") << "nothing recorded after ordinal 6";
    ExpectCodes(main->reports, {'A'}, "hotkeys still reported after ordinal 6");

    // The hook thread ends once nothing listens, and a recording alone
    // starts it again.
    HookStopHotkeys();
    ASSERT_TRUE(HookStartRecording(recorder.hwnd())) << "a recording alone starts the hook thread";
    Tap('Q');
    Tap(kSentinel);
    ASSERT_TRUE(PumpRecording(*main, recorder, false)) << "a recording alone is reported";
    EXPECT_EQ(Described(recorder.events), "down 51; up 51; down 87; up 87");
}

TEST_F(HookTest, CaptureReportsGoOnWhileRecording) {
    RecordingReceiver recorder;
    ASSERT_TRUE(recorder.hwnd());
    HookStartRecording(recorder.hwnd());
    HookStartCapture(dialog->hwnd());
    AltCtrlTap(first + 4);
    AltCtrlTap(first + 8);
    const bool arrived = Pump({dialog}, dialog, 8).arrived;
    EXPECT_TRUE(arrived) << "Alt+Ctrl+9 reports 8 while recording";
    if (arrived) ExpectCodes(dialog->reports, {4}, "capture reports while recording");
}

}  // namespace

int main(int argc, char** argv) {
    std::printf("hook.dll, capture on the %s\n", kKeypad ? "keypad digits" : "digit row");
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
