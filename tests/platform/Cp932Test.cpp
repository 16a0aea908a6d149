#include "platform/Cp932.h"

#include "support/NamedCases.h"

#include <gtest/gtest.h>

namespace {

struct Encoding {
    const char* name;
    std::string_view utf8;
    std::string_view bytes;
    friend void PrintTo(const Encoding& row, std::ostream* os) { *os << row.name; }
};

class Cp932Encoding : public testing::TestWithParam<Encoding> {};

TEST_P(Cp932Encoding, EncodesAndDecodes) {
    const auto& c = GetParam();
    const auto encoded = cp932::FromUtf8(c.utf8);
    ASSERT_TRUE(encoded.has_value());
    EXPECT_EQ(*encoded, c.bytes);
    EXPECT_EQ(cp932::ToUtf8(c.bytes), c.utf8);
}

INSTANTIATE_TEST_SUITE_P(Characters, Cp932Encoding,
                         testing::Values(Encoding{"FullWidthKatakana", "アカサ", "\x83\x41\x83\x4A\x83\x54"},
                                         Encoding{"HalfWidthKatakanaIsSingleBytes", "ｱｶｻ", "\xB1\xB6\xBB"},
                                         Encoding{"FullWidthSpace", "　", "\x81\x40"},
                                         Encoding{"Brackets", "「」（）", "\x81\x75\x81\x76\x81\x69\x81\x6A"},
                                         Encoding{"Ascii", "q8xj!", "q8xj!"},
                                         Encoding{"Mixed", "aア ｱ", "a\x83\x41 \xB1"},
                                         Encoding{"Empty", "", ""}),
                         named_cases::CaseName());

TEST(Cp932, RefusesCharactersWithoutACodePage932Form) {
    for (const std::string_view text : {"€", "サ€", "한국", "😀", "ア\xCC\x81"}) {
        EXPECT_FALSE(cp932::FromUtf8(text).has_value()) << text;
    }
}

TEST(Cp932, DamagedBytesDecodeAsReplacementCharacters) {
    EXPECT_EQ(cp932::ToUtf8("a\x80"
                            "b"),
              "a\xEF\xBF\xBD"
              "b");
    // A lead byte with nothing after it.
    EXPECT_EQ(cp932::ToUtf8("\x83\x41\x83"), "ア\xEF\xBF\xBD");
}

struct Prefix {
    const char* name;
    std::string_view utf8;
    std::size_t maxBytes;
    std::size_t expected;
    friend void PrintTo(const Prefix& row, std::ostream* os) { *os << row.name; }
};

class Cp932Prefix : public testing::TestWithParam<Prefix> {};

TEST_P(Cp932Prefix, NeverSplitsADoubleByteCharacter) {
    const auto& c = GetParam();
    EXPECT_EQ(cp932::FittingPrefix(cp932::Text(c.utf8), c.maxBytes), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Limits, Cp932Prefix,
                         testing::Values(Prefix{"WholeTextFits", "アイ", 4, 4},
                                         Prefix{"CutBetweenCharacters", "アイウ", 4, 4},
                                         Prefix{"OddLimitDropsTheHalf", "アイウ", 5, 4},
                                         Prefix{"SingleByteBeforeDouble", "aア", 2, 1},
                                         Prefix{"HalfWidthKatakanaCountsOne", "ｱｲｳ", 2, 2},
                                         Prefix{"FullWidthSpaceIsTwo", "　a", 1, 0},
                                         Prefix{"ZeroLimit", "ア", 0, 0}),
                         named_cases::CaseName());

TEST(Cp932, UpperCasesOnlyAsciiLetters) {
    EXPECT_EQ(cp932::ToUpper("abz09*"), "ABZ09*");
    // 0x83 0x61 is a double-byte character whose second byte looks like 'a'.
    EXPECT_EQ(cp932::ToUpper("\x83\x61x"), "\x83\x61X");
}

} // namespace
