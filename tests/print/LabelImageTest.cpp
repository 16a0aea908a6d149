// The label image's dots and its strips as the print job captures them.
#include "print/LabelImage.h"

#include "support/NamedCases.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>

namespace {

struct StripCase {
    const char* name;
    int x, y;           // the one dot set
    int strip;          // the strip it lands in
    std::size_t byte;   // its byte in that strip
    std::uint8_t value; // and the byte's value
    friend void PrintTo(const StripCase& row, std::ostream* os) { *os << row.name; }
};

class OneDotStrip : public testing::TestWithParam<StripCase> {};

TEST_P(OneDotStrip, LandsInOneByteOfOneStrip) {
    const auto& c = GetParam();
    LabelImage label;
    label.SetDot(c.x, c.y, true);
    for (int strip = 0; strip < LabelImage::kStrips; ++strip) {
        const LabelImage::StripBits bits = label.Strip(strip);
        for (std::size_t i = 0; i < bits.size(); ++i) {
            const std::uint8_t expected = strip == c.strip && i == c.byte ? c.value : 0;
            ASSERT_EQ(bits[i], expected) << "strip " << strip << " byte " << i;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Dots, OneDotStrip,
                         testing::Values(StripCase{"TopLeft", 0, 0, 0, 0, 0x80},
                                         StripCase{"SecondColumn", 1, 0, 0, 0, 0x40},
                                         StripCase{"EighthColumn", 7, 0, 0, 0, 0x01},
                                         StripCase{"NinthColumnNextByte", 8, 0, 0, 1, 0x80},
                                         StripCase{"LastColumnOfFirstStrip", 127, 0, 0, 15, 0x01},
                                         StripCase{"SecondRow", 0, 1, 0, 16, 0x80},
                                         StripCase{"FirstColumnOfSecondStrip", 128, 0, 1, 0, 0x80},
                                         StripCase{"FirstColumnOfThirdStrip", 256, 5, 2, 80, 0x80},
                                         StripCase{"BottomRight", 383, 63, 2, 1023, 0x01},
                                         StripCase{"Middle", 200, 30, 1, 30 * 16 + 9, 0x80}),
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

TEST(LabelImage, StripOutsideTheLabelIsEmpty) {
    LabelImage label;
    for (int y = 0; y < LabelImage::kHeight; ++y) {
        for (int x = 0; x < LabelImage::kWidth; ++x) {
            label.SetDot(x, y, true);
        }
    }
    EXPECT_EQ(label.DotCount(), 384U * 64U);
    EXPECT_EQ(label.Strip(-1), LabelImage::StripBits{});
    EXPECT_EQ(label.Strip(3), LabelImage::StripBits{});
    LabelImage::StripBits full;
    full.fill(0xFF);
    EXPECT_EQ(label.Strip(2), full);
}

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
