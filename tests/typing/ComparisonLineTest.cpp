#include "typing/ComparisonLine.h"

#include "support/NamedCases.h"
#include "support/Sjis.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Kinds one letter per glyph: R right, W wrong, L left out, X extra.
struct Case {
    const char* name;
    std::string password;
    std::string typed;
    std::string drawn;
    std::string kinds;
    friend void PrintTo(const Case& row, std::ostream* os) { *os << row.name; }
};

class ComparisonLineCases : public testing::TestWithParam<Case> {};

TEST_P(ComparisonLineCases, DrawsTheExpectedGlyphs) {
    const Case& c = GetParam();
    std::string drawn;
    std::string kinds;
    for (const Glyph& g : ComparisonLine(c.password, c.typed)) {
        drawn += g.byte;
        kinds += "RWLX"[static_cast<int>(g.kind)];
    }
    EXPECT_EQ(drawn, c.drawn);
    EXPECT_EQ(kinds, c.kinds);
}

INSTANTIATE_TEST_SUITE_P(Typing, ComparisonLineCases,
                         testing::Values(Case{"Identical", "abc12", "abc12", "abc12", "RRRRR"},
                                         Case{"WrongCase", "abcDef", "abcdef", "abcdef", "RRRWRR"},
                                         Case{"Skipped", "abcdef", "abdef", "ab_def", "RRLRRR"},
                                         Case{"Extra", "abcdef", "abxcdef", "abxcdef", "RRXRRRR"},
                                         Case{"PrefixOnly", "abcdef", "abc", "abc___", "RRRLLL"},
                                         Case{"ExtraAtTheEnd", "abc", "abcxy", "abcxy", "RRRXX"},
                                         Case{"Swapped", "abcdef", "abdcef", "abdcef", "RRWWRR"},
                                         Case{"SecondToLastLeftOut", "abcdef", "abcdf", "abcdf_", "RRRRWL"},
                                         Case{"EmptyPassword", "", "abc", "abc", "XXX"},
                                         Case{"ExtraNeedsTwoAgreeingBytesAfter", "abcd", "abxcz", "abxcz",
                                              "RRWWX"},
                                         // Both readings fit; the skip is tried first.
                                         Case{"SkipIsTriedBeforeExtra", "xyx", "yxy", "_yx", "LRR"},
                                         Case{"DoubleByteComparedByteByByte", "abcd", "a" + Sjis("ア") + "cd",
                                              "a" + Sjis("ア") + "cd", "RWXRR"}),
                         named_cases::CaseName());

} // namespace
