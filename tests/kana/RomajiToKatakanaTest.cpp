#include "kana/RomajiToKatakana.h"

#include "support/NamedCases.h"
#include "support/Sjis.h"

#include <gtest/gtest.h>

namespace {

struct Romaji {
    const char* name;
    std::string_view romaji;
    std::string_view katakana; // UTF-8
    friend void PrintTo(const Romaji& row, std::ostream* os) { *os << row.name; }
};

class RomajiToKatakanaCase : public testing::TestWithParam<Romaji> {};

TEST_P(RomajiToKatakanaCase, GivesWhatTypingAndEnterGive) {
    const auto& c = GetParam();
    EXPECT_EQ(RomajiToKatakana(c.romaji), Sjis(c.katakana));
}

constexpr Romaji kRomaji[] = {
    {"Empty", "", ""},
    {"Word", "sakura", "サクラ"},
    {"TrailingNCommitted", "nihon", "ニホン"},
    {"TrailingLettersFullWidth", "kyotok", "キョトｋ"},
    {"PendingPrefixFullWidth", "xts", "ｘｔｓ"},
    {"TabCommitsN", "kon\tnichi", "コンニチ"},
    {"NewlineCommitsLetters", "ky\nka", "ｋｙカ"},
    {"NonAsciiBytesCommit", "ka\xe3\x81\x82n\xff", "カン"},
};

INSTANTIATE_TEST_SUITE_P(Romaji, RomajiToKatakanaCase, testing::ValuesIn(kRomaji), named_cases::CaseName());

} // namespace
