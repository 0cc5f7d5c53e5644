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
    ExtraDown,  // the side buttons
    ExtraUp,
    Wheel,  // a turn of the wheel or a tilt, however far
};

// One mouse event as the low-level hook saw it, nothing of the system's
// structures left in it.
struct MouseEvent {
    MouseAction action = MouseAction::Move;
    int32_t x = 0;  // the pointer on the virtual desktop, in physical pixels
    int32_t y = 0;
    bool injected = false;
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
    MiddleButton,  // a press of the middle button
    ExtraButton,   // a press of a side button
    Wheel,
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
    uint64_t timeUs = 0;
};

// A report travels as two 64-bit words (the two parameters of a posted
// message on 64-bit Windows): the time alone, and everything else.
struct PackedInput {
    uint64_t what = 0;
    uint64_t timeUs = 0;
};

inline PackedInput Pack(const RecordedInput& in) {
    PackedInput out;
    out.what = static_cast<uint64_t>(in.kind) | uint64_t{in.vk} << 8 | uint64_t{in.scan} << 16 |
               uint64_t{in.extended} << 28 | uint64_t{in.injected} << 29 |
               uint64_t{static_cast<uint16_t>(in.x)} << 32 | uint64_t{static_cast<uint16_t>(in.y)} << 48;
    out.timeUs = in.timeUs;
    return out;
}

inline RecordedInput Unpack(const PackedInput& packed) {
    const uint64_t w = packed.what;
    RecordedInput in;
    in.kind = static_cast<InputKind>(w & 0xFF);
    in.vk = static_cast<uint8_t>(w >> 8);
    in.scan = static_cast<uint16_t>((w >> 16) & 0xFFF);
    in.extended = ((w >> 28) & 1) != 0;
    in.injected = ((w >> 29) & 1) != 0;
    // Coordinates are signed: monitors left of or above the main one.
    in.x = static_cast<int16_t>(static_cast<uint16_t>(w >> 32));
    in.y = static_cast<int16_t>(static_cast<uint16_t>(w >> 48));
    in.timeUs = packed.timeUs;
    return in;
}

}  // namespace tarvix::hook
