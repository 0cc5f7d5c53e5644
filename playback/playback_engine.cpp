#include "playback_engine.h"

#include <algorithm>
#include <climits>

#include "extended_keys.h"
#include "held_input.h"

namespace tarvix {
namespace {

constexpr int16_t kNoKey = -1;
constexpr uint8_t kShift = 0x10;
// Key-scan state bits other than Shift: Ctrl, Alt and the rarer ones (Hankaku
// and the layout's own), none of which typing presses.
constexpr int16_t kBeyondShift = static_cast<int16_t>(0x7E00);

bool IsLetter(unsigned char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// The most whole notches (120 units each) one wheel message can carry.
constexpr int64_t kLargestWheelTurn = 272 * 120;

class Player {
public:
    Player(const PlaybackJob& job, PlaybackPorts& ports) : job_(job), ports_(ports) {}

    RunResult Run() {
        if (!AwaitModifiersReleased()) return Stopped();
        due_ = ports_.clock.NowUs();
        uint32_t last = ports_.clock.NowMs() / 1000;
        uint32_t elapsed = 0;
        uint32_t passes = 0;
        for (;;) {
            effects_ = 0;
            for (const ScriptAction& step : job_.steps) {
                if (ports_.stop.IsSet()) return Stopped();
                if (job_.oneWindow && ports_.foreground.Title() != job_.targetTitle && !ReleasesHeld(step))
                    continue;
                if (!Play(step)) return Stopped();
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
            if (effects_ == 0) {
                if (ports_.stop.WaitFor(kIdlePassWaitMs)) return Stopped();
                // Waiting for the window (or for nothing) is off the
                // schedule: what plays next is timed from when it plays.
                due_ = ports_.clock.NowUs();
            }
        }
    }

private:
    // A stopped run lets go of what it holds; a completed one leaves what its
    // script left down.
    RunResult Stopped() {
        held_.ReleaseAll(ports_.input);
        return RunResult::Stopped;
    }

    // In one-window mode the release of something the run holds still plays
    // while another window is in front: skipping it would leave the key or
    // button down for whatever the user does next.
    bool ReleasesHeld(const ScriptAction& step) const {
        switch (step.kind) {
            case KindKeyUp: return held_.HoldsKey(static_cast<uint8_t>(step.param1));
            case KindLeftUp: return held_.HoldsButton(MouseButton::Left);
            case KindRightUp: return held_.HoldsButton(MouseButton::Right);
            case KindMiddleUp: return held_.HoldsButton(MouseButton::Middle);
            case KindX1Up: return held_.HoldsButton(MouseButton::X1);
            case KindX2Up: return held_.HoldsButton(MouseButton::X2);
            default: return false;
        }
    }

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
                            if (ports_.keys->IsDown(vk)) ports_.input.Key(vk, ScanOf(vk), true);
                return true;
            }
            if (ports_.stop.WaitFor(kModifierPollMs)) return false;
        }
        return true;
    }

    // Every wait is a wait on the stop signal, so a stop ends it at once;
    // false when it did.
    bool Hold() { return WaitOnSchedule(uint64_t{kHoldMs} * 1000, uint64_t{kShortestHoldMs} * 1000); }
    bool Delay(uint32_t ms) {
        const uint32_t speed = std::clamp(job_.speed, kMinSpeed, kMaxSpeed);
        return WaitOnSchedule(uint64_t{ms} * 1000 * kNormalSpeed / speed, 0);
    }
    // Ends where the schedule puts the end of this wait (see kCatchUpMs), but
    // not sooner than shortestUs from now.
    bool WaitOnSchedule(uint64_t us, uint64_t shortestUs) {
        ++effects_;
        const uint64_t now = ports_.clock.NowUs();
        if (now > due_ + uint64_t{kCatchUpMs} * 1000) due_ = now;
        due_ += us;
        return !ports_.stop.WaitUntil(std::max(due_, now + shortestUs));
    }
    uint16_t ScanOf(uint8_t vk) { return KeyScanCode(vk, ports_.input.ScanCode(vk)); }
    void Key(uint8_t vk, bool up) { SendKey(vk, ScanOf(vk), up); }
    void SendKey(uint8_t vk, uint16_t scan, bool up) {
        ++effects_;
        ports_.input.Key(vk, scan, up);
        if (up)
            held_.KeyUp(vk);
        else
            held_.KeyDown(vk, scan);
    }
    void Button(MouseButton b, bool up) {
        ++effects_;
        ports_.input.Button(b, up);
        if (up)
            held_.ButtonUp(b);
        else
            held_.ButtonDown(b);
    }

    // A repetition after the first looks at the stop signal first, so a huge
    // count ends with the stop. False when the run is to end.
    template <typename F>
    bool Repeat(uint32_t n, F once) {
        for (uint32_t i = 0; i < n; ++i) {
            if (i > 0 && ports_.stop.IsSet()) return false;
            if (!once()) return false;
        }
        return true;
    }

    bool Press(uint8_t vk) {
        Key(vk, false);
        if (!Hold()) return false;
        Key(vk, true);
        return true;
    }
    bool Click(MouseButton b) {
        Button(b, false);
        if (!Hold()) return false;
        Button(b, true);
        return true;
    }
    bool DoubleClick() {
        if (!Click(MouseButton::Left) || !Hold()) return false;
        return Click(MouseButton::Left);
    }

    // False when the stop signal ended the step.
    bool Play(const ScriptAction& step) {
        const uint32_t count = static_cast<uint32_t>(step.param2);
        const uint32_t clicks = static_cast<uint32_t>(step.param1);
        const uint8_t vk = static_cast<uint8_t>(step.param1);
        switch (step.kind) {
            case KindKeyPress: return Repeat(count, [&] { return Press(vk); });
            case KindKeyDown: return Repeat(count, [&] { Key(vk, false); return true; });
            case KindKeyUp: return Repeat(count, [&] { Key(vk, true); return true; });
            case KindLeftClick: return Repeat(clicks, [&] { return Click(MouseButton::Left); });
            case KindRightClick: return Repeat(clicks, [&] { return Click(MouseButton::Right); });
            case KindLeftDoubleClick: return Repeat(clicks, [&] { return DoubleClick(); });
            case KindLeftDown: return Repeat(clicks, [&] { Button(MouseButton::Left, false); return true; });
            case KindLeftUp: return Repeat(clicks, [&] { Button(MouseButton::Left, true); return true; });
            case KindRightDown: return Repeat(clicks, [&] { Button(MouseButton::Right, false); return true; });
            case KindRightUp: return Repeat(clicks, [&] { Button(MouseButton::Right, true); return true; });
            case KindMiddleClick: return Repeat(clicks, [&] { return Click(MouseButton::Middle); });
            case KindMiddleDown: return Repeat(clicks, [&] { Button(MouseButton::Middle, false); return true; });
            case KindMiddleUp: return Repeat(clicks, [&] { Button(MouseButton::Middle, true); return true; });
            case KindX1Click: return Repeat(clicks, [&] { return Click(MouseButton::X1); });
            case KindX1Down: return Repeat(clicks, [&] { Button(MouseButton::X1, false); return true; });
            case KindX1Up: return Repeat(clicks, [&] { Button(MouseButton::X1, true); return true; });
            case KindX2Click: return Repeat(clicks, [&] { return Click(MouseButton::X2); });
            case KindX2Down: return Repeat(clicks, [&] { Button(MouseButton::X2, false); return true; });
            case KindX2Up: return Repeat(clicks, [&] { Button(MouseButton::X2, true); return true; });
            case KindWheel: return Wheel(false, step.param1);
            case KindHWheel: return Wheel(true, step.param1);
            case KindMoveTo:
                ++effects_;
                ports_.input.MoveTo(step.param1, step.param2);
                return true;
            case KindMoveR:
                ++effects_;
                ports_.input.MoveBy(step.param1, step.param2);
                return true;
            case KindMoveIn: {
                ++effects_;
                const DesktopPoint at = PointInFront(step.param1, step.param2, ports_.foreground.ClientOrigin());
                ports_.input.MoveTo(at.x, at.y);
                return true;
            }
            case KindDelay: return Delay(static_cast<uint32_t>(step.param1));
            case KindSayString: return Type(step.text);
            default: return true;  // the end marker and unknown kinds play nothing
        }
    }

    // A window's wheel message holds its amount in 16 signed bits: a larger
    // amount goes out as several turns, whole notches each but the last, so
    // that none arrives wrapped round to the other direction.
    bool Wheel(bool horizontal, int32_t amount) {
        int64_t left = amount;
        while (left != 0) {
            if (left != amount && ports_.stop.IsSet()) return false;
            const int64_t turn = left > kLargestWheelTurn ? kLargestWheelTurn
                                 : left < -kLargestWheelTurn ? -kLargestWheelTurn : left;
            ++effects_;
            ports_.input.Wheel(horizontal, static_cast<int16_t>(turn));
            left -= turn;
        }
        return true;
    }

    // Characters that have a key with at most Shift are typed on it; every
    // other one, a double-byte character above all, as the Unicode character
    // it is. A key that needs Ctrl or Alt (AltGr on many layouts) is left to
    // the Unicode path: pressing Ctrl and Alt would also reach the target as
    // shortcuts. With Caps Lock on, letters take the Unicode path too:
    // inverting Shift would be right only where Caps Lock acts as Shift, and
    // the Unicode path gives the letter as written on any layout without
    // touching the lock the user set.
    bool Type(const std::string& text) {
        const bool capsLock = ports_.keys && ports_.keys->CapsLockOn();
        for (size_t i = 0; i < text.size();) {
            if (i > 0 && ports_.stop.IsSet()) return false;
            const unsigned char c = static_cast<unsigned char>(text[i]);
            const size_t width = (ports_.isLeadByte(c) && i + 1 < text.size()) ? 2 : 1;
            const std::string ch(text.data() + i, width);
            i += width;
            const int16_t scan = width == 1 ? ports_.input.KeyScan(c) : kNoKey;
            if (scan == kNoKey || (scan & 0xFF) == 0xFF || (scan & kBeyondShift) != 0 || (capsLock && IsLetter(c))) {
                if (!TypeCharacter(ch)) return false;
                continue;
            }
            const uint8_t key = static_cast<uint8_t>(scan & 0xFF);
            const bool shift = (scan & 0x100) != 0;
            if (shift) TypedKey(kShift, false);
            TypedKey(key, false);
            if (!Hold()) return false;
            TypedKey(key, true);
            if (shift) TypedKey(kShift, true);
        }
        return true;
    }

    bool TypeCharacter(const std::string& ch) {
        ++effects_;
        ports_.input.Character(ch, false);
        held_.CharacterDown(ch);
        if (!Hold()) return false;
        ports_.input.Character(ch, true);
        held_.CharacterUp(ch);
        return true;
    }

    // Typed text goes out without scan codes.
    void TypedKey(uint8_t vk, bool up) { SendKey(vk, 0, up); }

    const PlaybackJob& job_;
    PlaybackPorts& ports_;
    HeldInput held_;
    uint64_t effects_ = 0;
    uint64_t due_ = 0;  // on NowUs: where the schedule has the run now
};

}  // namespace

RunResult PlayJob(const PlaybackJob& job, PlaybackPorts& ports) {
    const RunResult result = Player(job, ports).Run();
    if (job.script) job.script->Clear();
    return result;
}

DesktopPoint PointInFront(int32_t x, int32_t y, std::optional<DesktopPoint> clientOrigin) {
    // With no window in front the primary monitor's corner, (0, 0), is the
    // origin, so the point is where MoveTo would put it.
    const DesktopPoint origin = clientOrigin.value_or(DesktopPoint{});
    // A point off any desktop stays off it, on the same side: the sum is
    // held in the coordinates' range rather than wrapped to the far side.
    const auto add = [](int32_t a, int32_t b) {
        const int64_t sum = int64_t{a} + b;
        return static_cast<int32_t>(std::clamp<int64_t>(sum, INT32_MIN, INT32_MAX));
    };
    return {add(origin.x, x), add(origin.y, y)};
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
