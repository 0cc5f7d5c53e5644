// What the unit tests share: a temporary folder, the playback and hook fakes
// on virtual clocks, and script records for the library.
#pragma once

#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <optional>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "hook_ports.h"
#include "key_event.h"
#include "key_names.h"
#include "playback_engine.h"
#include "script_library.h"

namespace tarvix::testing {

// A fresh folder for one test, removed with everything in it afterwards. Its
// path() ends with a separator, as the program's script folder does.
class TempFolder {
public:
    TempFolder() {
        std::random_device rd;
        while (!std::filesystem::create_directory(
            dir_ = std::filesystem::temp_directory_path() / ("tarvix-test-" + std::to_string(rd())))) {
        }
    }
    ~TempFolder() {
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    std::string path() const { return dir_.string() + "/"; }
    std::string file(const std::string& name) const { return (dir_ / name).string(); }
    void Write(const std::string& name, const std::string& bytes) const {
        std::ofstream(file(name), std::ios::binary) << bytes;
    }
    std::string Read(const std::string& name) const {
        std::ifstream in(file(name), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    size_t Count() const {
        return static_cast<size_t>(std::distance(std::filesystem::directory_iterator(dir_), {}));
    }

private:
    std::filesystem::path dir_;
};

// Everything a run does, in order, with the virtual time it happened at.
// Waits pass virtual time; the stop may come at a virtual time in the middle
// of one, which then ends there.
struct Recorder : InputSink, PlaybackClock, StopSignal, ForegroundWindow, KeyState {
    std::map<uint8_t, uint32_t> heldUntil;  // keys the user holds, each until then
    std::map<uint8_t, uint16_t> layout;     // scan codes; other keys have vk + 1000
    std::vector<std::string> events;
    uint32_t overrunMs = 0;       // how much later than asked every wait ends
    uint64_t now = 0;
    uint64_t stopAt = UINT64_MAX;  // when the user presses the stop hotkey
    bool stop = false;
    bool capsLock = false;
    int polls = 0;
    std::string title;
    std::optional<DesktopPoint> clientOrigin;  // of the window in front
    std::function<void(Recorder&)> onPoll;

    void Log(const std::string& e) { events.push_back(std::to_string(now) + " " + e); }

    uint16_t ScanCode(uint8_t vk) override {
        const auto found = layout.find(vk);
        return found != layout.end() ? found->second : static_cast<uint16_t>(vk + 1000);
    }
    int16_t KeyScan(unsigned char c) override {
        if (c >= 'a' && c <= 'z') return static_cast<int16_t>(c - 'a' + 'A');
        if (c >= 'A' && c <= 'Z') return static_cast<int16_t>(0x100 | c);
        const std::map<unsigned char, int16_t> others = {{' ', 0x20}, {'!', 0x131}, {'.', 0xBE},
                                                         {'@', 0x651}};  // AltGr+Q, as on a German layout
        const auto found = others.find(c);
        return found != others.end() ? found->second : -1;
    }
    void Key(uint8_t vk, uint16_t scan, bool up) override {
        if (up) heldUntil.erase(vk);
        const bool extended = (scan & 0xFF00) == 0xE000;
        Log("key " + std::to_string(vk) + "/" + (extended ? "e" : "") + std::to_string(extended ? scan & 0xFF : scan) +
            (up ? " up" : " down"));
    }
    void Character(std::string_view ch, bool up) override { Log("char " + std::string(ch) + (up ? " up" : " down")); }
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
        if (!stop && stopAt <= now + ms) {
            now = std::max(now, stopAt);
            stop = true;
        }
        if (stop) return true;
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

inline ScriptAction A(int32_t kind, int32_t p1 = 0, int32_t p2 = 0, std::string text = "") {
    return ScriptAction{CategoryOfKind(kind), kind, std::move(text), p1, p2};
}

// The list's order as the tests see it: the hotkey texts' bytes.
inline ScriptLibrary::RowOrder HotkeyTextOrder() {
    return [](const CScript& a, const CScript& b) {
        return HotkeyText(a.m_beginHotkey, a.m_beginHotkeyMod) < HotkeyText(b.m_beginHotkey, b.m_beginHotkeyMod);
    };
}

// A record's fields and actions in one line, so that one comparison shows them all.
inline std::string Fields(const CScript& s) {
    std::string text = s.m_fileName + "|" + s.m_description + "|" + std::to_string(s.m_beginHotkey) + "|" +
                       std::to_string(s.m_beginHotkeyMod) + "|" + std::to_string(s.m_repeatType) + "|" +
                       std::to_string(s.m_repeatNumber) + "|" + std::to_string(s.m_runOnce) + "|" +
                       std::to_string(s.m_enabled) + "|" + std::to_string(static_cast<int>(s.edition()));
    for (const ScriptAction& a : s.m_actions) text += "|" + FormatActionLine(a, Edition::V11);
    return text;
}

inline std::unique_ptr<CScript> Record(uint16_t vk, uint16_t mods, std::string name = "s") {
    auto script = std::make_unique<CScript>(Edition::V11);
    script->m_beginHotkey = vk;
    script->m_beginHotkeyMod = mods;
    script->m_fileName = std::move(name);
    return script;
}

}  // namespace tarvix::testing

namespace tarvix::hook::testing {

struct FakeClock : TickClock {
    uint32_t now = 5000;
    uint32_t NowMs() override { return now; }
};

// The system's keys, the window in front and where reports go.
struct FakeSystem : SystemKeyState, WindowInFront, ReportSink {
    std::set<uint8_t> down;
    bool IsDown(uint8_t vk) override { return down.count(vk) != 0; }

    std::optional<std::pair<int32_t, int32_t>> origin = std::pair(0, 0);  // none: no window in front
    bool ClientOrigin(int32_t& x, int32_t& y) override {
        std::tie(x, y) = origin.value_or(std::pair(-7, -7));
        return origin.has_value();
    }

    CaptureKeys captureKeys = CaptureKeys::Off;
    bool recording = false, windowOrigins = false;
    std::vector<int> hotkeys, captures;
    std::vector<RecordedInput> recorded;
    void ReportHotkey(uint8_t vk) override { hotkeys.push_back(vk); }
    CaptureKeys WantedCaptureKeys() override { return captureKeys; }
    void ReportCapture(int index) override { captures.push_back(index); }
    bool Recording() override { return recording; }
    bool RecordsWindowOrigins() override { return windowOrigins; }
    void ReportRecorded(const RecordedInput& input) override { recorded.push_back(input); }
};

inline KeyEvent Down(uint8_t vk, uint64_t extraInfo = 0) { return {vk, 0, false, false, false, extraInfo, 0}; }
inline KeyEvent Up(uint8_t vk, uint64_t extraInfo = 0) { return {vk, 0, true, false, false, extraInfo, 0}; }

}  // namespace tarvix::hook::testing
