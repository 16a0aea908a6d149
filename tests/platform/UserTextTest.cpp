// A user's text in a message: escaped, cut on a character boundary, and,
// whatever the bytes, one line of valid UTF-8 without control characters.
#include "platform/UserText.h"

#include <gtest/gtest.h>

#include <iconv.h>

#include <optional>
#include <random>

namespace {

// The code points of `utf8`, read by the C library; nothing when it is not UTF-8.
std::optional<std::u32string> CodePoints(std::string utf8) {
    const iconv_t cd = iconv_open("UTF-32LE", "UTF-8");
    std::u32string out(utf8.size(), U'\0');
    char* in = utf8.data();
    auto* to = reinterpret_cast<char*>(out.data());
    std::size_t inLeft = utf8.size();
    std::size_t outLeft = out.size() * sizeof(char32_t);
    const bool ok = iconv(cd, &in, &inLeft, &to, &outLeft) != static_cast<std::size_t>(-1);
    iconv_close(cd);
    if (!ok) {
        return std::nullopt;
    }
    out.resize(out.size() - outLeft / sizeof(char32_t));
    return out;
}

struct Row {
    const char* name;
    std::string_view text;
    std::size_t maxChars;
    std::string_view shown;
};

constexpr Row kRows[] = {
    {"PlainTextStays", "サクラ a\\b", 40, "サクラ a\\b"},
    {"CutAfterTheLastWholeCharacter", "アイウエ", 3, "アイウ…"},
    {"ExactlyMaxCharsIsNotCut", "アイウ", 3, "アイウ"},
    {"CutInsideAMultiByteCharacter", "ア\xE3\x82", 40, "ア\\xe3\\x82"},
    {"NewlineTabAndReturn", "a\nb\tc\r", 40, "a\\nb\\tc\\r"},
    {"EscapeSequence", "\x1b[31mred", 40, "\\x1b[31mred"},
    {"NulAndDelete", std::string_view("a\0\x7F", 3), 40, "a\\x00\\x7f"},
    {"C1ControlAndLineSeparator", "\xC2\x85\xE2\x80\xA8", 40, "\\u0085\\u2028"},
    {"DirectionOverride",
     "a\xE2\x80\xAE"
     "b",
     40, "a\\u202eb"},
    {"NotUtf8", "\xFF\xC0\xAF\xED\xA0\x80", 40, "\\xff\\xc0\\xaf\\xed\\xa0\\x80"},
    {"AnEscapeCountsAsOneCharacter", "\n\n\n", 2, "\\n\\n…"},
};

TEST(UserText, EscapesAndCuts) {
    for (const Row& row : kRows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(ShownUserText(row.text, row.maxChars), row.shown);
    }
    EXPECT_EQ(QuotedUserText("a\nb"), "「a\\nb」");
}

TEST(UserText, AnyBytesGiveOneLineOfValidUtf8) {
    std::mt19937 rng(19);
    for (int run = 0; run < 2000; ++run) {
        std::string bytes(rng() % 24, '\0');
        for (char& b : bytes) {
            b = static_cast<char>(rng());
        }
        SCOPED_TRACE(testing::PrintToString(bytes));
        const auto shown = CodePoints(ShownUserText(bytes, 10));
        ASSERT_TRUE(shown.has_value());
        for (const char32_t c : *shown) {
            EXPECT_FALSE(c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0x2028 || c == 0x2029)
                << static_cast<unsigned>(c);
        }
    }
}

} // namespace
