#pragma once

#include <set>
#include <vector>

#include "hook_ports.h"
#include "key_event.h"

namespace tarvix::hook::testing {

struct FakeSystemKeys : SystemKeyState {
    std::set<uint8_t> down;
    bool IsDown(uint8_t vk) override { return down.count(vk) != 0; }
};

struct FakeClock : TickClock {
    uint32_t now = 5000;
    uint32_t NowMs() override { return now; }
};

struct FakeSink : ReportSink {
    CaptureKeys captureKeys = CaptureKeys::Off;
    std::vector<int> hotkeys;
    std::vector<int> captures;
    void ReportHotkey(uint8_t vk) override { hotkeys.push_back(vk); }
    CaptureKeys WantedCaptureKeys() override { return captureKeys; }
    void ReportCapture(int index) override { captures.push_back(index); }
    bool recording = false;
    std::vector<RecordedInput> recorded;
    bool Recording() override { return recording; }
    bool windowOrigins = false;
    bool RecordsWindowOrigins() override { return windowOrigins; }
    void ReportRecorded(const RecordedInput& input) override { recorded.push_back(input); }
};

struct FakeWindows : WindowInFront {
    bool any = true;  // a window is in front
    int32_t x = 0, y = 0;
    bool ClientOrigin(int32_t& outX, int32_t& outY) override {
        outX = x;
        outY = y;
        return any;
    }
};

inline KeyEvent Down(uint8_t vk, uint64_t extraInfo = 0) {
    KeyEvent e;
    e.vk = vk;
    e.extraInfo = extraInfo;
    return e;
}

inline KeyEvent Up(uint8_t vk, uint64_t extraInfo = 0) {
    KeyEvent e = Down(vk, extraInfo);
    e.up = true;
    return e;
}

}  // namespace tarvix::hook::testing
