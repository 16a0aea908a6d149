#include "print/PackStrip.h"

#include "support/NamedCases.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

struct Pixel {
    int x;
    int y;
};

void SetRowPixel(StripRows& rows, Pixel p) {
    rows[static_cast<std::size_t>(p.y * 16 + p.x / 8)] |= static_cast<std::uint8_t>(0x80 >> (p.x % 8));
}

struct ByteCase {
    const char* name;
    Pixel pixel;
    std::size_t index; // the one byte that is not zero afterwards
    std::uint8_t value;
    friend void PrintTo(const ByteCase& row, std::ostream* os) { *os << row.name; }
};

void ExpectOnlyByte(std::span<const std::uint8_t> bytes, std::size_t index, std::uint8_t value) {
    for (std::size_t k = 0; k < bytes.size(); ++k) {
        EXPECT_EQ(bytes[k], k == index ? value : 0) << "byte " << k;
    }
}

class PackStripExamples : public testing::TestWithParam<ByteCase> {};

TEST_P(PackStripExamples, SetsOneBit) {
    const ByteCase& c = GetParam();
    StripRows rows{};
    SetRowPixel(rows, c.pixel);
    PackedStrip packed{};
    PackStrip(packed, rows);
    ExpectOnlyByte(packed, c.index, c.value);
}

INSTANTIATE_TEST_SUITE_P(Print, PackStripExamples,
                         testing::Values(ByteCase{"TopLeft", {0, 0}, 0, 0x01},
                                         ByteCase{"BottomLeft", {0, 63}, 7, 0x80},
                                         ByteCase{"Column5Row10", {5, 10}, 41, 0x04},
                                         ByteCase{"TopRight", {127, 0}, 1016, 0x01},
                                         ByteCase{"BottomRight", {127, 63}, 1023, 0x80},
                                         ByteCase{"Column8IsTheSecondRowByte", {8, 0}, 64, 0x01}),
                         named_cases::CaseName());

TEST(PackStrip, OnlySetsBitsSoTheOutputMustStartAtZero) {
    StripRows rows{};
    SetRowPixel(rows, {0, 0});
    PackedStrip packed{};
    packed[0] = 0x80;
    PackStrip(packed, rows);
    EXPECT_EQ(packed[0], 0x81);
}

class CutLabelExamples : public testing::TestWithParam<ByteCase> {};

// Here `pixel` is a label dot and `index` counts through the three strips' rows.
TEST_P(CutLabelExamples, PutsTheDotInItsStrip) {
    const ByteCase& c = GetParam();
    std::vector<std::uint8_t> dots(kLabelDots, 0);
    dots[static_cast<std::size_t>(c.pixel.y * kLabelWidth + c.pixel.x)] = 1;
    const auto strips = CutLabelIntoStrips(std::span<const std::uint8_t, kLabelDots>(dots));
    std::vector<std::uint8_t> all;
    for (const auto& strip : strips) {
        all.insert(all.end(), strip.begin(), strip.end());
    }
    ExpectOnlyByte(all, c.index, c.value);
}

INSTANTIATE_TEST_SUITE_P(Print, CutLabelExamples,
                         testing::Values(ByteCase{"TopLeft", {0, 0}, 0, 0x80},
                                         ByteCase{"LastColumnOfStrip1", {127, 0}, 15, 0x01},
                                         ByteCase{"FirstColumnOfStrip2", {128, 0}, 1024, 0x80},
                                         ByteCase{"FirstColumnOfStrip3", {256, 1}, 2048 + 16, 0x80},
                                         ByteCase{"BottomRight", {383, 63}, 3071, 0x01},
                                         ByteCase{"InsideARow", {9, 2}, 33, 0x40}),
                         named_cases::CaseName());

// Reads a label dot back out of the packed strips the plain way.
bool PackedDot(const std::array<PackedStrip, kStripCount>& packed, int x, int y) {
    const auto& strip = packed[static_cast<std::size_t>(x / 128)];
    const int column = x % 128;
    return (strip[static_cast<std::size_t>(column * 8 + y / 8)] >> (y % 8) & 1) != 0;
}

struct RandomCase {
    const char* name;
    unsigned seed;
    double density;
    friend void PrintTo(const RandomCase& row, std::ostream* os) { *os << row.name; }
};

class PackLabelRandom : public testing::TestWithParam<RandomCase> {};

TEST_P(PackLabelRandom, EveryDotAndOnlyTheDotsArrive) {
    const RandomCase& c = GetParam();
    std::mt19937 generator(c.seed);
    std::bernoulli_distribution dot(c.density);
    std::vector<std::uint8_t> dots(kLabelDots);
    for (auto& d : dots) {
        d = dot(generator) ? static_cast<std::uint8_t>(1 + generator() % 255) : 0;
    }
    const auto packed = PackLabel(std::span<const std::uint8_t, kLabelDots>(dots));
    int mismatches = 0;
    for (int y = 0; y < kLabelHeight; ++y) {
        for (int x = 0; x < kLabelWidth; ++x) {
            const bool expected = dots[static_cast<std::size_t>(y * kLabelWidth + x)] != 0;
            if (PackedDot(packed, x, y) != expected) {
                ADD_FAILURE() << "dot (" << x << ", " << y << ")";
                if (++mismatches > 5) {
                    return;
                }
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Print, PackLabelRandom,
                         testing::Values(RandomCase{"Sparse", 1, 0.02}, RandomCase{"Half", 2, 0.5},
                                         RandomCase{"Dense", 3, 0.98}, RandomCase{"Full", 4, 1.0},
                                         RandomCase{"Empty", 5, 0.0}),
                         named_cases::CaseName());

} // namespace
