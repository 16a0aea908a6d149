// The label image's dots, and that they reach the printer's strips where the
// print job expects them.
#include "print/LabelImage.h"

#include "support/NamedCases.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>

namespace {

struct PackCase {
    const char* name;
    int x, y;           // the one dot set
    std::size_t strip;  // the packed strip it lands in
    std::size_t byte;   // its byte in that strip
    std::uint8_t value; // and the byte's value
    friend void PrintTo(const PackCase& row, std::ostream* os) { *os << row.name; }
};

class OneDotLabel : public testing::TestWithParam<PackCase> {};

TEST_P(OneDotLabel, PacksIntoOneByteOfOneStrip) {
    const auto& c = GetParam();
    LabelImage label;
    label.SetDot(c.x, c.y, true);
    ASSERT_EQ(label.DotCount(), 1U);
    ASSERT_TRUE(label.Dot(c.x, c.y));
    const auto packed = PackLabel(label.Data());
    for (std::size_t strip = 0; strip < packed.size(); ++strip) {
        for (std::size_t i = 0; i < packed[strip].size(); ++i) {
            const std::uint8_t expected = strip == c.strip && i == c.byte ? c.value : 0;
            ASSERT_EQ(packed[strip][i], expected) << "strip " << strip << " byte " << i;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Dots, OneDotLabel,
                         testing::Values(PackCase{"TopLeft", 0, 0, 0, 0, 0x01},
                                         PackCase{"BottomOfFirstColumn", 0, 63, 0, 7, 0x80},
                                         PackCase{"Column5Row10", 5, 10, 0, 41, 0x04},
                                         PackCase{"LastColumnOfFirstStrip", 127, 0, 0, 1016, 0x01},
                                         PackCase{"FirstColumnOfSecondStrip", 128, 0, 1, 0, 0x01},
                                         PackCase{"FirstColumnOfThirdStrip", 256, 9, 2, 1, 0x02},
                                         PackCase{"BottomRight", 383, 63, 2, 1023, 0x80}),
                         named_cases::CaseName{});

struct OutsideCase {
    const char* name;
    int x, y;
    friend void PrintTo(const OutsideCase& row, std::ostream* os) { *os << row.name; }
};

class DotOutsideTheLabel : public testing::TestWithParam<OutsideCase> {};

TEST_P(DotOutsideTheLabel, IsNeitherSetNorRead) {
    const auto& c = GetParam();
    LabelImage label;
    label.SetDot(c.x, c.y, true);
    EXPECT_EQ(label.DotCount(), 0U);
    EXPECT_FALSE(label.Dot(c.x, c.y));
    EXPECT_EQ(label, LabelImage{});
}

INSTANTIATE_TEST_SUITE_P(Edges, DotOutsideTheLabel,
                         testing::Values(OutsideCase{"LeftOfTheLabel", -1, 0},
                                         OutsideCase{"RightOfTheLabel", 384, 0},
                                         OutsideCase{"AboveTheLabel", 0, -1},
                                         OutsideCase{"BelowTheLabel", 0, 64}),
                         named_cases::CaseName{});

TEST(LabelImage, ClearingADotRemovesIt) {
    LabelImage label;
    label.SetDot(10, 20, true);
    label.SetDot(11, 20, true);
    label.SetDot(10, 20, false);
    EXPECT_FALSE(label.Dot(10, 20));
    EXPECT_TRUE(label.Dot(11, 20));
    EXPECT_EQ(label.DotCount(), 1U);
}

} // namespace
