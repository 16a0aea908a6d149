// The label image's dots, and that they reach the printer's strips where the
// print job expects them.
#include "print/LabelImage.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <utility>

TEST(LabelImage, DotsReachTheirStripBytesAndNoneFallOutside) {
    LabelImage label;
    for (const auto& [x, y] : {std::pair{5, 10}, {256, 9}, {383, 63}, {-1, 0}, {384, 0}, {0, -1}, {0, 64}}) {
        label.SetDot(x, y, true);
    }
    EXPECT_EQ(label.DotCount(), 3U);
    EXPECT_TRUE(label.Dot(5, 10));
    EXPECT_FALSE(label.Dot(384, 0));
    std::array<PackedStrip, kStripCount> expected{};
    expected[0][41] = 0x04;
    expected[2][1] = 0x02;
    expected[2][1023] = 0x80;
    EXPECT_EQ(PackLabel(label.Data()), expected);
}
