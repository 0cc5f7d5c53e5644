#pragma once

#include <cstdint>

namespace tarvix::ui {

// The pixel sizes of the design are for 96 DPI (100 %).
constexpr unsigned kDesignDpi = 96;

// A length designed at 96 DPI, at dpi: rounded to the nearest pixel, halves
// away from zero, as MulDiv rounds.
constexpr int ScaleForDpi(int pixels, unsigned dpi) {
    if (dpi == 0) dpi = kDesignDpi;
    const int64_t product = static_cast<int64_t>(pixels) * dpi;
    const int64_t half = kDesignDpi / 2;
    return static_cast<int>(product >= 0 ? (product + half) / kDesignDpi : -((-product + half) / kDesignDpi));
}

// A font's height in pixels (negative: the character height, as fonts are
// asked for) from tenths of a point at dpi.
constexpr int FontHeightForDpi(int tenthsOfPoint, unsigned dpi) {
    if (dpi == 0) dpi = kDesignDpi;
    const int64_t product = static_cast<int64_t>(tenthsOfPoint) * dpi;
    return -static_cast<int>((product + 360) / 720);
}

}  // namespace tarvix::ui
