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
    EXPECT_EQ(cp932::FromUtf8(c.utf8).value_or("refused"), c.bytes);
    EXPECT_EQ(cp932::ToUtf8(c.bytes), c.utf8);
}

INSTANTIATE_TEST_SUITE_P(Characters, Cp932Encoding,
                         testing::Values(Encoding{"FullWidthKatakana", "アカサ", "\x83\x41\x83\x4A\x83\x54"},
                                         Encoding{"HalfWidthKatakanaIsSingleBytes", "ｱｶｻ", "\xB1\xB6\xBB"},
                                         Encoding{"FullWidthSpace", "　", "\x81\x40"},
                                         Encoding{"Brackets", "「」（）", "\x81\x75\x81\x76\x81\x69\x81\x6A"},
                                         Encoding{"MixedWithAscii", "aア ｱ!", "a\x83\x41 \xB1!"}),
                         named_cases::CaseName());

TEST(Cp932, RefusesCharactersWithoutACodePage932Form) {
    for (const std::string_view text : {"€", "サ€", "한국", "😀", "ア\xCC\x81"}) {
        EXPECT_FALSE(cp932::FromUtf8(text).has_value()) << text;
    }
}

TEST(Cp932, DamagedBytesDecodeAsReplacementCharacters) {
    EXPECT_EQ(cp932::ToUtf8("a\x80z"), "a\xEF\xBF\xBDz");
    EXPECT_EQ(cp932::ToUtf8("\x83\x41\x83"), "ア\xEF\xBF\xBD"); // a lead byte with nothing after it
}

TEST(Cp932, FittingPrefixNeverSplitsADoubleByteCharacter) {
    EXPECT_EQ(cp932::FittingPrefix(cp932::Text("アイウ"), 4), 4u);
    EXPECT_EQ(cp932::FittingPrefix(cp932::Text("アイウ"), 5), 4u);
    EXPECT_EQ(cp932::FittingPrefix(cp932::Text("aア"), 2), 1u);
    EXPECT_EQ(cp932::FittingPrefix(cp932::Text("ｱｲｳ"), 2), 2u);
    EXPECT_EQ(cp932::FittingPrefix(cp932::Text("　a"), 1), 0u);
}

TEST(Cp932, UpperCasesOnlyAsciiLetters) {
    // 0x83 0x61 is a double-byte character whose second byte looks like 'a'.
    EXPECT_EQ(cp932::ToUpper("az09*\x83\x61x"), "AZ09*\x83\x61X");
}

} // namespace
