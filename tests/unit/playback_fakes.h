#pragma once

#include <algorithm>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "playback_engine.h"

namespace tarvix::testing {

// Everything a run does, in order, with the virtual time it happened at.
// Waits pass virtual time; the stop may come at a virtual time in the middle
// of one, which then ends there.
struct Recorder : InputSink, PlaybackClock, StopSignal, ForegroundWindow, KeyState {
    // Keys the user holds, each until the virtual time given.
    std::map<uint8_t, uint32_t> heldUntil;
    std::vector<std::string> events;
    std::vector<uint32_t> waits;  // the time each wait asked for
    uint32_t overrunMs = 0;       // how much later than asked every wait ends
    uint64_t now = 0;
    uint64_t stopAt = UINT64_MAX;  // when the user presses the stop hotkey
    bool stop = false;
    int polls = 0;
    std::string title;
    std::optional<DesktopPoint> clientOrigin;  // of the window in front
    std::function<void(Recorder&)> onPoll;

    void Log(const std::string& e) { events.push_back(std::to_string(now) + " " + e); }

    // Scan codes the layout gives; other keys have vk + 1000.
    std::map<uint8_t, uint16_t> layout;
    bool capsLock = false;

    uint16_t ScanCode(uint8_t vk) override {
        const auto found = layout.find(vk);
        return found != layout.end() ? found->second : static_cast<uint16_t>(vk + 1000);
    }
    int16_t KeyScan(unsigned char c) override {
        if (c >= 'a' && c <= 'z') return static_cast<int16_t>(c - 'a' + 'A');
        if (c >= 'A' && c <= 'Z') return static_cast<int16_t>(0x100 | c);
        if (c == ' ') return 0x20;
        if (c == '!') return 0x131;
        if (c == '@') return 0x651;  // AltGr+Q, as on a German layout
        if (c == '.') return 0xBE;
        return -1;
    }
    void Key(uint8_t vk, uint16_t scan, bool up) override {
        if (up) heldUntil.erase(vk);
        const bool extended = (scan & 0xFF00) == 0xE000;
        Log("key " + std::to_string(vk) + "/" + (extended ? "e" : "") + std::to_string(extended ? scan & 0xFF : scan) +
            (up ? " up" : " down"));
    }
    void Character(std::string_view ch, bool up) override {
        Log("char " + std::string(ch) + (up ? " up" : " down"));
    }
    void Button(MouseButton b, bool up) override {
        static const char* const names[] = {"left", "right", "middle", "x1", "x2"};
        Log(std::string(names[static_cast<int>(b)]) + (up ? " up" : " down"));
    }
    void Wheel(bool horizontal, int16_t amount) override {
        Log((horizontal ? "hwheel " : "wheel ") + std::to_string(amount));
    }
    void MoveTo(int32_t x, int32_t y) override { Log("move " + std::to_string(x) + "," + std::to_string(y)); }
    void MoveBy(int32_t dx, int32_t dy) override { Log("by " + std::to_string(dx) + "," + std::to_string(dy)); }

    uint32_t NowMs() override { return static_cast<uint32_t>(now); }
    uint64_t NowUs() override { return now * 1000; }
    bool IsSet() override {
        ++polls;
        if (now >= stopAt) stop = true;
        if (onPoll) onPoll(*this);
        return stop;
    }
    bool WaitFor(uint32_t ms) override { return Pass(ms); }
    bool WaitUntil(uint64_t deadlineUs) override {
        const uint64_t deadline = (deadlineUs + 999) / 1000;
        return Pass(deadline > now ? deadline - now : 0);
    }
    bool Pass(uint64_t ms) {
        waits.push_back(static_cast<uint32_t>(std::min<uint64_t>(ms, UINT32_MAX)));
        if (stop) return true;
        if (stopAt <= now + ms) {
            if (stopAt > now) now = stopAt;
            stop = true;
            return true;
        }
        now += ms + overrunMs;
        return false;
    }
    std::string Title() override { return title; }
    std::optional<DesktopPoint> ClientOrigin() override { return clientOrigin; }
    bool IsDown(uint8_t vk) override {
        const auto held = heldUntil.find(vk);
        return held != heldUntil.end() && now < held->second;
    }
    bool CapsLockOn() override { return capsLock; }

    PlaybackPorts Ports() { return PlaybackPorts{*this, *this, *this, *this, IsBig5LeadByte, this}; }
};

}  // namespace tarvix::testing
