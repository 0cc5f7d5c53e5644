#pragma once

// The one clock of recorded and played input: the hook stamps what it sees
// with it and the player keeps its schedule on it, so the gaps of a
// recording and of its replay are measured alike.

#include <windows.h>

#include <cstdint>

namespace tarvix::win32 {

// Microseconds of the performance counter. The tick count moves in 10 to
// 16 ms steps; this is exact. Whole seconds and the rest are taken apart so
// that the product never overflows.
inline uint64_t CounterMicroseconds() {
    static const uint64_t perSecond = [] {
        LARGE_INTEGER f;
        return ::QueryPerformanceFrequency(&f) && f.QuadPart > 0 ? static_cast<uint64_t>(f.QuadPart) : 1000;
    }();
    LARGE_INTEGER count;
    ::QueryPerformanceCounter(&count);
    const auto ticks = static_cast<uint64_t>(count.QuadPart);
    return ticks / perSecond * 1000000 + ticks % perSecond * 1000000 / perSecond;
}

}  // namespace tarvix::win32
