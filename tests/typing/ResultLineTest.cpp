#include "typing/ResultLine.h"

#include "support/Sjis.h"

#include <gtest/gtest.h>

TEST(ResultLine, MatchMessageShowsTheTimeUnsigned) {
    EXPECT_EQ(MatchMessage(1234), Sjis("パスワードが一致しました。1234(ms)"));
    EXPECT_EQ(MatchMessage(0xFFFFFFFFu), Sjis("パスワードが一致しました。4294967295(ms)"));
}

TEST(ResultLine, HighBytesAreDrawnAsASquare) {
    EXPECT_EQ(GlyphText('\x7F'), "\x7F");
    EXPECT_EQ(GlyphText('\x80'), Sjis("□"));
    EXPECT_EQ(GlyphText('\xFF'), Sjis("□"));
}
