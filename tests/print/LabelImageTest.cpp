// The label image's dots, and that they reach the printer's strips where the
// print job expects them: a strip's column is 8 bytes, top row in bit 0.
#include "print/LabelImage.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <utility>

TEST(LabelImage, DotsReachTheirStripBytesAndNoneFallOutside) {
    LabelImage label;
    for (const auto& [x, y] : {std::pair{0, 0},
                               {0, 63},
                               {127, 0},
                               {5, 10},
                               {256, 9},
                               {383, 63},
                               {-1, 0},
                               {384, 0},
                               {0, -1},
                               {0, 64}}) {
        label.SetDot(x, y, true);
    }
    EXPECT_EQ(label.DotCount(), 6U);
    EXPECT_TRUE(label.Dot(5, 10));
    EXPECT_FALSE(label.Dot(384, 0));
    std::array<PackedStrip, kStripCount> expected{};
    expected[0][0] = 0x01;
    expected[0][7] = 0x80;
    expected[0][1016] = 0x01;
    expected[0][41] = 0x04;
    expected[2][1] = 0x02;
    expected[2][1023] = 0x80;
    EXPECT_EQ(PackLabel(label.Data()), expected);
}
