#pragma once

#include <cstdint>

namespace tarvix::hook {

// What happened to a mouse button, the wheel or the pointer, as the low-level
// mouse hook tells it.
enum class MouseAction : uint8_t {
    Move,
    LeftDown,
    LeftUp,
    RightDown,
    RightUp,
    MiddleDown,
    MiddleUp,
    ExtraDown,  // a side button, which one in MouseEvent::data
    ExtraUp,
    Wheel,   // a turn of the wheel, however far (MouseEvent::data)
    HWheel,  // a tilt or turn of the horizontal wheel
};

// The side buttons as the system numbers them.
constexpr int32_t kFirstSideButton = 1;
constexpr int32_t kSecondSideButton = 2;

// One mouse event as the low-level hook saw it, nothing of the system's
// structures left in it.
struct MouseEvent {
    MouseAction action = MouseAction::Move;
    int32_t x = 0;  // the pointer on the virtual desktop, in physical pixels
    int32_t y = 0;
    bool injected = false;
    // The side button's number, or the wheel's signed amount (120 to a notch,
    // positive away from the user or to the right); 0 for the rest.
    int32_t data = 0;
    uint64_t extraInfo = 0;
    uint64_t timeUs = 0;  // on the same clock as KeyEvent::timeUs
};

// One recorded event of either device, as a recording report carries it.
enum class InputKind : uint8_t {
    KeyDown,
    KeyUp,
    LeftDown,
    LeftUp,
    RightDown,
    RightUp,
    Move,
    MiddleDown,
    MiddleUp,
    X1Down,
    X1Up,
    X2Down,
    X2Up,
    Wheel,   // with its amount in `wheel`
    HWheel,
    // A press of a side button other than the first two, which no script
    // can play.
    OtherSideButton,
    // Input neither hook saw: the system had taken a hook out, and it is
    // back in. What went missing is unknown, only that something did.
    Missed,
    // The client area of the window in front begins at x, y, (0, 0) when no
    // window is in front; reported ahead of a pointer event when it changed,
    // while a recording asks for it.
    WindowOrigin,
};

struct RecordedInput {
    InputKind kind = InputKind::Move;
    uint8_t vk = 0;         // keys only
    uint16_t scan = 0;      // keys only
    bool extended = false;  // keys only
    bool injected = false;
    int32_t x = 0;  // mouse only
    int32_t y = 0;
    int16_t wheel = 0;  // Wheel and HWheel only: the signed amount
    uint64_t timeUs = 0;
};

inline bool IsWheel(InputKind kind) { return kind == InputKind::Wheel || kind == InputKind::HWheel; }

// A report travels as two 64-bit words (the two parameters of a posted
// message on 64-bit Windows): the time alone, and everything else. A wheel's
// amount takes the bits of the key's code and scan code, which it has none of.
struct PackedInput {
    uint64_t what = 0;
    uint64_t timeUs = 0;
};

inline PackedInput Pack(const RecordedInput& in) {
    PackedInput out;
    const uint64_t keyOrWheel = IsWheel(in.kind) ? uint64_t{static_cast<uint16_t>(in.wheel)} << 8
                                                 : uint64_t{in.vk} << 8 | uint64_t{in.scan & 0xFFFu} << 16;
    out.what = static_cast<uint64_t>(in.kind) | keyOrWheel | uint64_t{in.extended} << 28 |
               uint64_t{in.injected} << 29 |
               uint64_t{static_cast<uint16_t>(in.x)} << 32 | uint64_t{static_cast<uint16_t>(in.y)} << 48;
    out.timeUs = in.timeUs;
    return out;
}

inline RecordedInput Unpack(const PackedInput& packed) {
    const uint64_t w = packed.what;
    RecordedInput in;
    in.kind = static_cast<InputKind>(w & 0xFF);
    if (IsWheel(in.kind)) {
        in.wheel = static_cast<int16_t>(static_cast<uint16_t>(w >> 8));
    } else {
        in.vk = static_cast<uint8_t>(w >> 8);
        in.scan = static_cast<uint16_t>((w >> 16) & 0xFFF);
    }
    in.extended = ((w >> 28) & 1) != 0;
    in.injected = ((w >> 29) & 1) != 0;
    // Coordinates are signed: monitors left of or above the main one.
    in.x = static_cast<int16_t>(static_cast<uint16_t>(w >> 32));
    in.y = static_cast<int16_t>(static_cast<uint16_t>(w >> 48));
    in.timeUs = packed.timeUs;
    return in;
}

}  // namespace tarvix::hook
