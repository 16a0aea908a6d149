#include "typing/ComparisonLine.h"

#include "support/NamedCases.h"
#include "support/Sjis.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Kinds are written one letter per glyph: R right, W wrong, L left out, X extra.
struct Case {
    const char* name;
    std::string password;
    std::string typed;
    std::string drawn;
    std::string kinds;
    friend void PrintTo(const Case& row, std::ostream* os) { *os << row.name; }
};

std::vector<Glyph> Expected(const Case& c) {
    std::vector<Glyph> glyphs;
    for (std::size_t k = 0; k < c.kinds.size(); ++k) {
        const GlyphKind kind = c.kinds[k] == 'R'   ? GlyphKind::Right
                               : c.kinds[k] == 'W' ? GlyphKind::Wrong
                               : c.kinds[k] == 'L' ? GlyphKind::LeftOut
                                                   : GlyphKind::Extra;
        glyphs.push_back({kind, c.drawn.at(k)});
    }
    return glyphs;
}

std::string Describe(const std::vector<Glyph>& line) {
    std::string text;
    for (const Glyph& g : line) {
        text += "RWLX"[static_cast<int>(g.kind)];
        text += g.byte;
        text += ' ';
    }
    return text;
}

class ComparisonLineCases : public testing::TestWithParam<Case> {};

TEST_P(ComparisonLineCases, DrawsTheExpectedGlyphs) {
    const Case& c = GetParam();
    ASSERT_EQ(c.drawn.size(), c.kinds.size());
    EXPECT_EQ(Describe(ComparisonLine(c.password, c.typed)), Describe(Expected(c)));
}

INSTANTIATE_TEST_SUITE_P(
    Typing, ComparisonLineCases,
    testing::Values(Case{"Identical", "abc12", "abc12", "abc12", "RRRRR"},
                    Case{"OneLetterInTheWrongCase", "abcDef", "abcdef", "abcdef", "RRRWRR"},
                    Case{"LeftOutInTheMiddle", "abcdef", "abdef", "ab_def", "RRLRRR"},
                    Case{"ExtraInTheMiddle", "abcdef", "abxcdef", "abxcdef", "RRXRRRR"},
                    Case{"PrefixOnly", "abcdef", "abc", "abc___", "RRRLLL"},
                    Case{"ExtraAtTheEnd", "abc", "abcxy", "abcxy", "RRRXX"},
                    Case{"SwappedNeighbours", "abcdef", "abdcef", "abdcef", "RRWWRR"},
                    Case{"SecondToLastLeftOut", "abcdef", "abcdf", "abcdf_", "RRRRWL"},
                    Case{"EmptyPasswordMakesEveryByteExtra", "", "abc", "abc", "XXX"},
                    Case{"NothingTyped", "ab", "", "__", "LL"},
                    Case{"TwoSeparateSkips", "abcdefg", "acdfg", "a_cd_fg", "RLRRLRR"},
                    Case{"LeftOutFirstCharacter", "abcd", "bcd", "_bcd", "LRRR"},
                    Case{"ExtraFirstCharacter", "abc", "xabc", "xabc", "XRRR"},
                    Case{"ExtraNeedsTwoAgreeingBytesAfter", "abcd", "abxcz", "abxcz", "RRWWX"},
                    // Both readings fit "yxy" against "xyx"; the skip is tried first, and the
                    // line stops after max(3, 3) glyphs.
                    Case{"SkipIsTriedBeforeExtra", "xyx", "yxy", "_yx", "LRR"},
                    Case{"HighByteIsAPlainByte", "abc",
                         "a\x83"
                         "bc",
                         "a\x83"
                         "bc",
                         "RXRR"},
                    Case{"DoubleByteCharacterComparedByteByByte", "abcd", "a" + Sjis("ア") + "cd",
                         "a" + Sjis("ア") + "cd", "RWXRR"},
                    Case{"EqualDoubleByteCharacters", Sjis("パス") + "1", Sjis("パス") + "1",
                         Sjis("パス") + "1", "RRRRR"}),
    named_cases::CaseName());

} // namespace
