#include "print/PackStrip.h"

#include "support/NamedCases.h"

#include <gtest/gtest.h>

namespace {

struct ByteCase {
    const char* name;
    int x, y;
    std::size_t index; // the one byte that is not zero afterwards
    std::uint8_t value;
    friend void PrintTo(const ByteCase& row, std::ostream* os) { *os << row.name; }
};

class PackStripExamples : public testing::TestWithParam<ByteCase> {};

TEST_P(PackStripExamples, SetsOneBit) {
    const ByteCase& c = GetParam();
    StripRows rows{};
    rows[static_cast<std::size_t>(c.y * 16 + c.x / 8)] = static_cast<std::uint8_t>(0x80 >> (c.x % 8));
    PackedStrip packed{};
    PackStrip(packed, rows);
    for (std::size_t k = 0; k < packed.size(); ++k) {
        EXPECT_EQ(packed[k], k == c.index ? c.value : 0) << "byte " << k;
    }
}

INSTANTIATE_TEST_SUITE_P(Print, PackStripExamples,
                         testing::Values(ByteCase{"TopLeft", 0, 0, 0, 0x01},
                                         ByteCase{"BottomLeft", 0, 63, 7, 0x80},
                                         ByteCase{"Column5Row10", 5, 10, 41, 0x04},
                                         ByteCase{"TopRight", 127, 0, 1016, 0x01},
                                         ByteCase{"BottomRight", 127, 63, 1023, 0x80}),
                         named_cases::CaseName());

} // namespace
