#include "playback_engine.h"

namespace tarvix {
namespace {

constexpr int16_t kNoKey = -1;
constexpr uint8_t kShift = 0x10;

class Player {
public:
    Player(const PlaybackJob& job, PlaybackPorts& ports) : job_(job), ports_(ports) {}

    RunResult Run() {
        if (!AwaitModifiersReleased()) return RunResult::Stopped;
        uint32_t last = ports_.clock.NowMs() / 1000;
        uint32_t elapsed = 0;
        uint32_t passes = 0;
        for (;;) {
            effects_ = 0;
            for (const ScriptAction& step : job_.steps) {
                if (ports_.stop.IsSet()) return RunResult::Stopped;
                if (job_.oneWindow && ports_.foreground.Title() != job_.targetTitle) continue;
                Play(step);
            }
            ++passes;
            if (job_.repeatType == RepeatCount) {
                if (passes >= job_.repeatNumber) return RunResult::Completed;
            } else if (job_.repeatType == RepeatSeconds) {
                const uint32_t now = ports_.clock.NowMs() / 1000;
                elapsed += now - last;
                last = ports_.clock.NowMs() / 1000;
                if (elapsed >= job_.repeatNumber) return RunResult::Completed;
            }
            if (effects_ == 0) ports_.stop.WaitFor(kIdlePassWaitMs);
        }
    }

private:
    // The left and right keys of each modifier bit, looked at one by one so
    // that the one still held is the one released.
    struct SidedKeys {
        uint16_t bit;
        uint8_t keys[2];
    };
    static constexpr SidedKeys kModifierKeys[] = {
        {ModShift, {0xA0, 0xA1}},
        {ModCtrl, {0xA2, 0xA3}},
        {ModAlt, {0xA4, 0xA5}},
    };

    bool AnyModifierDown() {
        for (const SidedKeys& modifier : kModifierKeys)
            if (job_.hotkeyModifiers & modifier.bit)
                for (uint8_t vk : modifier.keys)
                    if (ports_.keys->IsDown(vk)) return true;
        return false;
    }

    // False when the stop signal came while waiting.
    bool AwaitModifiersReleased() {
        if (!ports_.keys || (job_.hotkeyModifiers & kHeldModifierBits) == 0) return true;
        const uint32_t start = ports_.clock.NowMs();
        while (AnyModifierDown()) {
            if (ports_.clock.NowMs() - start >= kModifierWaitMs) {
                for (const SidedKeys& modifier : kModifierKeys)
                    if (job_.hotkeyModifiers & modifier.bit)
                        for (uint8_t vk : modifier.keys)
                            if (ports_.keys->IsDown(vk)) ports_.input.Key(vk, ports_.input.ScanCode(vk), true);
                return true;
            }
            if (ports_.stop.WaitFor(kModifierPollMs)) return false;
        }
        return true;
    }
    void Hold() { Sleep(kHoldMs); }
    void Sleep(uint32_t ms) {
        ++effects_;
        ports_.clock.Sleep(ms);
    }
    void Key(uint8_t vk, bool up) {
        ++effects_;
        ports_.input.Key(vk, ports_.input.ScanCode(vk), up);
    }
    void Button(MouseButton b, bool up) {
        ++effects_;
        ports_.input.Button(b, up);
    }

    void Play(const ScriptAction& step) {
        const uint32_t count = static_cast<uint32_t>(step.param2);
        const uint32_t clicks = static_cast<uint32_t>(step.param1);
        const uint8_t vk = static_cast<uint8_t>(step.param1);
        switch (step.kind) {
            case KindKeyPress:
                for (uint32_t i = 0; i < count; ++i) { Key(vk, false); Hold(); Key(vk, true); }
                break;
            case KindKeyDown:
                for (uint32_t i = 0; i < count; ++i) Key(vk, false);
                break;
            case KindKeyUp:
                for (uint32_t i = 0; i < count; ++i) Key(vk, true);
                break;
            case KindLeftClick: Click(MouseButton::Left, clicks); break;
            case KindRightClick: Click(MouseButton::Right, clicks); break;
            case KindLeftDoubleClick:
                for (uint32_t i = 0; i < clicks; ++i) {
                    Button(MouseButton::Left, false); Hold(); Button(MouseButton::Left, true); Hold();
                    Button(MouseButton::Left, false); Hold(); Button(MouseButton::Left, true);
                }
                break;
            case KindLeftDown: Repeat(clicks, [&] { Button(MouseButton::Left, false); }); break;
            case KindLeftUp: Repeat(clicks, [&] { Button(MouseButton::Left, true); }); break;
            case KindRightDown: Repeat(clicks, [&] { Button(MouseButton::Right, false); }); break;
            case KindRightUp: Repeat(clicks, [&] { Button(MouseButton::Right, true); }); break;
            case KindMoveTo:
                ++effects_;
                ports_.input.MoveTo(step.param1, step.param2);
                break;
            case KindMoveR:
                ++effects_;
                ports_.input.MoveBy(step.param1, step.param2);
                break;
            case KindDelay: Sleep(static_cast<uint32_t>(step.param1)); break;
            case KindSayString: Type(step.text); break;
            default: break;  // the end marker and unknown kinds play nothing
        }
    }

    template <typename F>
    static void Repeat(uint32_t n, F f) {
        for (uint32_t i = 0; i < n; ++i) f();
    }

    void Click(MouseButton b, uint32_t n) {
        for (uint32_t i = 0; i < n; ++i) { Button(b, false); Hold(); Button(b, true); }
    }

    // Characters that have a key are typed on it; every other one, a
    // double-byte character above all, as the Unicode character it is.
    void Type(const std::string& text) {
        for (size_t i = 0; i < text.size();) {
            const unsigned char c = static_cast<unsigned char>(text[i]);
            const size_t width = (ports_.isLeadByte(c) && i + 1 < text.size()) ? 2 : 1;
            const std::string_view ch(text.data() + i, width);
            i += width;
            const int16_t scan = width == 1 ? ports_.input.KeyScan(c) : kNoKey;
            if (scan == kNoKey || (scan & 0xFF) == 0xFF) {
                ++effects_;
                ports_.input.Character(ch, false);
                Hold();
                ports_.input.Character(ch, true);
                continue;
            }
            const uint8_t key = static_cast<uint8_t>(scan & 0xFF);
            const bool shift = (scan & 0x100) != 0;
            if (shift) TypedKey(kShift, false);
            TypedKey(key, false);
            Hold();
            TypedKey(key, true);
            if (shift) TypedKey(kShift, true);
        }
    }

    // Typed text goes out without scan codes.
    void TypedKey(uint8_t vk, bool up) {
        ++effects_;
        ports_.input.Key(vk, 0, up);
    }

    const PlaybackJob& job_;
    PlaybackPorts& ports_;
    uint64_t effects_ = 0;
};

}  // namespace

RunResult PlayJob(const PlaybackJob& job, PlaybackPorts& ports) {
    const RunResult result = Player(job, ports).Run();
    if (job.script) job.script->Clear();
    return result;
}

int32_t NormalizedCoordinate(int32_t p, int32_t origin, int32_t extent) {
    if (extent <= 0) return 0;
    // Rounding up lands on the pixel itself; x * 65535 / width lands one short.
    const int64_t offset = static_cast<int64_t>(p) - origin;
    int64_t value = (offset * 65536 + extent - 1) / extent;
    if (offset < 0) value = 0;
    if (value > 65535) value = 65535;
    return static_cast<int32_t>(value);
}

}  // namespace tarvix
