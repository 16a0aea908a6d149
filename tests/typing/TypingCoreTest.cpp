#include "typing/ComparisonLine.h"
#include "typing/ResultLine.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(ComparisonLine, DrawsTheExpectedGlyphs) {
    // Kinds one letter per glyph: R right, W wrong, L left out, X extra.
    const struct {
        std::string password, typed, drawn, kinds;
    } rows[] = {
        {"abcdef", "abdef", "ab_def", "RRLRRR"},
        {"abcdef", "abxcdef", "abxcdef", "RRXRRRR"},
        {"abcd", "abxcz", "abxcz", "RRWWX"}, // an extra needs two agreeing bytes after it
        {"xyx", "yxy", "_yx", "LRR"},        // both readings fit; the skip is tried first
        {"abcd", "aアcd",
         "a\x80\x80"
         "cd",
         "RWXRR"},                                   // a full-width character takes two places
        {std::string("ab\0", 3), "b", "b__", "WLL"}, // nothing past the typed text is read
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.typed);
        std::string drawn, kinds;
        for (const Glyph& g : ComparisonLine(row.password, row.typed)) {
            drawn += g.byte;
            kinds += "RWLX"[static_cast<int>(g.kind)];
        }
        EXPECT_EQ(drawn, row.drawn);
        EXPECT_EQ(kinds, row.kinds);
    }
    // Bytes from 0x80 on are drawn as a square.
    EXPECT_EQ(GlyphText('\x7F') + GlyphText('\x80'), "\x7F" + std::string("□"));
}

TEST(SpokenResult, SaysTheTimeOrEachWrongPlaceWithWhatBelongsThere) {
    const std::string no = "パスワードが違います。";
    const struct { const char *password, *typed; std::string spoken; } rows[] = {
        {"39r", "39R", no + "3 文字目: r のところ 大文字 R"},
        {"abcdef", "abdef", no + "3 文字目: c が抜けています"},
        {"abcdef", "abxcdef", no + "3 文字目: 余分な x"},
        {"ab", "aア", no + "2 文字目: b のところ 全角文字、3 文字目: 余分な 全角文字"},
        {"aaaaaaa", "bbbbbba", no + "1 文字目: a のところ b、2 文字目: a のところ b、3 文字目: a のところ b、"
                                    "4 文字目: a のところ b、5 文字目: a のところ b、ほか 1 か所"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(SpokenResult({{}, 0, false, ComparisonLine(row.password, row.typed)}), row.spoken);
    }
    EXPECT_EQ(SpokenResult({"shown", 1234, true, {}}), "パスワードが一致しました。1234 ミリ秒。自己ベストです");
}

} // namespace
