// Lengths of the design (pixels at 96 DPI) at other scales.
#include <gtest/gtest.h>

#include "dpi_scale.h"

namespace tarvix::ui {
namespace {

TEST(DpiScale, ListColumnsAt100150And200Percent) {
    const int design[] = {140, 60, 280, 110, 170, 39, 65};
    const int at144[] = {210, 90, 420, 165, 255, 59, 98};  // 58.5 and 97.5 round up
    const int at192[] = {280, 120, 560, 220, 340, 78, 130};
    for (size_t i = 0; i < std::size(design); ++i) {
        EXPECT_EQ(ScaleForDpi(design[i], 96), design[i]);
        EXPECT_EQ(ScaleForDpi(design[i], 144), at144[i]) << design[i];
        EXPECT_EQ(ScaleForDpi(design[i], 192), at192[i]) << design[i];
    }
    EXPECT_EQ(ScaleForDpi(110, 120), 138) << "137.5 rounds away from zero";
    EXPECT_EQ(ScaleForDpi(-3, 144), -5);
    EXPECT_EQ(ScaleForDpi(100, 0), 100) << "an unknown DPI is taken as 96";
}

TEST(DpiScale, PointFontHeights) {
    // 13 points: 17 pixels at 96 DPI (17.33), 26 at 144, 35 at 192 (34.67).
    EXPECT_EQ(FontHeightForDpi(130, 96), -17);
    EXPECT_EQ(FontHeightForDpi(130, 144), -26);
    EXPECT_EQ(FontHeightForDpi(130, 192), -35);
    EXPECT_EQ(FontHeightForDpi(90, 120), -15);
}

}  // namespace
}  // namespace tarvix::ui
