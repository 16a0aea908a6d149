#include "typing/ResultLine.h"

#include "support/NamedCases.h"
#include "support/Sjis.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct MessageCase {
    const char* name;
    std::uint32_t milliseconds;
    std::string message;
    friend void PrintTo(const MessageCase& row, std::ostream* os) { *os << row.name; }
};

class MatchMessageCases : public testing::TestWithParam<MessageCase> {};

TEST_P(MatchMessageCases, ShowsTheTimeAsAnUnsignedNumber) {
    EXPECT_EQ(MatchMessage(GetParam().milliseconds), GetParam().message);
}

INSTANTIATE_TEST_SUITE_P(
    Typing, MatchMessageCases,
    testing::Values(MessageCase{"Zero", 0, Sjis("パスワードが一致しました。0(ms)")},
                    MessageCase{"Plain", 1234, Sjis("パスワードが一致しました。1234(ms)")},
                    // A time past 2^31 stays positive.
                    MessageCase{"Largest", 0xFFFFFFFFu, Sjis("パスワードが一致しました。4294967295(ms)")}),
    named_cases::CaseName());

struct GlyphCase {
    const char* name;
    char byte;
    std::string text;
    friend void PrintTo(const GlyphCase& row, std::ostream* os) { *os << row.name; }
};

class GlyphTextCases : public testing::TestWithParam<GlyphCase> {};

TEST_P(GlyphTextCases, IsTheByteOrASquare) {
    EXPECT_EQ(GlyphText(GetParam().byte), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Typing, GlyphTextCases,
                         testing::Values(GlyphCase{"Letter", 'a', "a"}, GlyphCase{"Underscore", '_', "_"},
                                         GlyphCase{"LastAsciiByte", '\x7F', "\x7F"},
                                         GlyphCase{"FirstHighByte", '\x80', Sjis("□")},
                                         GlyphCase{"LeadByte", '\x83', Sjis("□")},
                                         GlyphCase{"HalfWidthKatakana", '\xB1', Sjis("□")},
                                         GlyphCase{"LastByte", '\xFF', Sjis("□")}),
                         named_cases::CaseName());

} // namespace
