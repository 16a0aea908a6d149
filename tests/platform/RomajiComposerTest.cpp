#include "platform/RomajiComposer.h"

#include "platform/RomajiRules.h"
#include "support/NamedCases.h"
#include "support/Sjis.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstring>

namespace {

struct Typed {
    std::string committed;
    std::string pending;
};

// Feeds `keys` one at a time; '\b' stands for Backspace.
Typed Type(RomajiComposer& composer, std::string_view keys) {
    Typed typed;
    for (const char key : keys) {
        if (key == '\b') {
            composer.Backspace();
        } else {
            typed.committed += composer.Feed(key);
        }
    }
    typed.pending = composer.Pending();
    return typed;
}

struct Typing {
    const char* name;
    std::string_view keys;
    std::string_view committed; // UTF-8
    std::string_view pending;
    friend void PrintTo(const Typing& row, std::ostream* os) { *os << row.name; }
};

class RomajiTyping : public testing::TestWithParam<Typing> {};

TEST_P(RomajiTyping, CommitsKatakanaAndKeepsTheRestPending) {
    const auto& c = GetParam();
    RomajiComposer composer;
    const Typed typed = Type(composer, c.keys);
    EXPECT_EQ(typed.committed, Sjis(c.committed));
    EXPECT_EQ(typed.pending, c.pending);
}

INSTANTIATE_TEST_SUITE_P(
    Syllables, RomajiTyping,
    testing::Values(Typing{"Vowels", "aiueo", "アイウエオ", ""},
                    Typing{"Rows", "kasatanahamayarawa", "カサタナハマヤラワ", ""},
                    Typing{"VoicedRows", "gazadabapa", "ガザダバパ", ""},
                    Typing{"TwoSpellings", "sishitichitutsuhufuziji", "シシチチツツフフジジ", ""},
                    Typing{"DRow", "dadidudedo", "ダヂヅデド", ""},
                    Typing{"WRow", "wawiwuwewo", "ワウィウウェヲ", ""},
                    Typing{"YRow", "yayiyuyeyo", "ヤイユイェヨ", ""}, Typing{"ConsonantWaits", "k", "", "k"}),
    named_cases::CaseName());

INSTANTIATE_TEST_SUITE_P(YCombinations, RomajiTyping,
                         testing::Values(Typing{"KyRow", "kyakyikyukyekyo", "キャキィキュキェキョ", ""},
                                         Typing{"OtherConsonants", "gyusyazyotyudyanyohyabyupyomyaryu",
                                                "ギュシャジョチュヂャニョヒャビュピョミャリュ", ""},
                                         Typing{"Sh", "shashushesho", "シャシュシェショ", ""},
                                         Typing{"Ch", "chachuchecho", "チャチュチェチョ", ""},
                                         Typing{"J", "jajujejo", "ジャジュジェジョ", ""},
                                         Typing{"JyAndZy", "jyajyujyozyazyuzyo", "ジャジュジョジャジュジョ",
                                                ""},
                                         Typing{"CyDyFyVy", "cyadyufyovya", "チャヂュフョヴャ", ""},
                                         Typing{"YWaitsForItsVowel", "ky", "", "ky"}),
                         named_cases::CaseName());

INSTANTIATE_TEST_SUITE_P(ForeignSounds, RomajiTyping,
                         testing::Values(Typing{"C", "cacicuceco", "カシクセコ", ""},
                                         Typing{"Q", "qaqiquqeqo", "クァクィククェクォ", ""},
                                         Typing{"Wa", "kwaqwagwa", "クァクァグァ", ""},
                                         Typing{"F", "fafifufefo", "ファフィフフェフォ", ""},
                                         Typing{"V", "vavivuvevo", "ヴァヴィヴヴェヴォ", ""},
                                         Typing{"Ts", "tsatsitsutsetso", "ツァツィツツェツォ", ""},
                                         Typing{"ThDh", "thithudhidhu", "ティテュディデュ", ""},
                                         Typing{"Wu", "twudwu", "トゥドゥ", ""},
                                         Typing{"Wh", "whawhiwhewho", "ウァウィウェウォ", ""}),
                         named_cases::CaseName());

INSTANTIATE_TEST_SUITE_P(SmallKana, RomajiTyping,
                         testing::Values(Typing{"XVowels", "xaxixuxexo", "ァィゥェォ", ""},
                                         Typing{"LVowels", "lalilulelo", "ァィゥェォ", ""},
                                         Typing{"Y", "xyaxyulyo", "ャュョ", ""},
                                         Typing{"Tsu", "xtuxtsultultsu", "ッッッッ", ""},
                                         Typing{"WaKaKe", "xwaxkalke", "ヮヵヶ", ""},
                                         Typing{"N", "xn", "ン", ""},
                                         Typing{"LongestPending", "xts", "", "xts"}),
                         named_cases::CaseName());

INSTANTIATE_TEST_SUITE_P(
    LetterN, RomajiTyping,
    testing::Values(Typing{"BeforeConsonant", "sango", "サンゴ", ""},
                    Typing{"BeforeP", "shinpai", "シンパイ", ""},
                    Typing{"TripleN", "konnnichiha", "コンニチハ", ""},
                    Typing{"DoubleNUsesBoth", "konnichiha", "コンイチハ", ""},
                    Typing{"Apostrophe", "kan'i", "カンイ", ""}, Typing{"BeforeVowel", "kani", "カニ", ""},
                    Typing{"ApostropheBeforeY", "hon'ya", "ホンヤ", ""},
                    Typing{"BeforeY", "honya", "ホニャ", ""}, Typing{"TrailingNWaits", "kon", "コ", "n"},
                    Typing{"NAfterNN", "nnn", "ン", "n"}, Typing{"BeforeSign", "hon-", "ホンー", ""},
                    Typing{"BeforeSpace", "kon ", "コン　", ""}, Typing{"BeforeDigit", "n1", "ン1", ""}),
    named_cases::CaseName());

INSTANTIATE_TEST_SUITE_P(
    DoubleConsonants, RomajiTyping,
    testing::Values(Typing{"Kitte", "kitte", "キッテ", ""}, Typing{"Kyatto", "kyatto", "キャット", ""},
                    Typing{"Matcha", "matcha", "マッチャ", ""}, Typing{"Zasshi", "zasshi", "ザッシ", ""},
                    Typing{"Ippai", "ippai", "イッパイ", ""}, Typing{"Yy", "yyo", "ッヨ", ""},
                    Typing{"SecondLetterWaits", "kk", "ッ", "k"}, Typing{"Triple", "kkk", "ッッ", "k"}),
    named_cases::CaseName());

INSTANTIATE_TEST_SUITE_P(SignsAndCase, RomajiTyping,
                         testing::Values(Typing{"Signs", "[]().,/~!?:;-", "「」（）。、・〜！？：；ー", ""},
                                         Typing{"SpaceIsFullWidth", "a ba", "ア　バ", ""},
                                         Typing{"UpperCase", "KONNICHIHA", "コンイチハ", ""},
                                         Typing{"MixedCase", "KyAtTo", "キャット", ""},
                                         Typing{"UpperCaseWaitsLowerCase", "SH", "", "sh"},
                                         Typing{"UpperN", "N'", "ン", ""}),
                         named_cases::CaseName());

// Keys that no rule continues let the pending keys go as typed.
INSTANTIATE_TEST_SUITE_P(Unmatched, RomajiTyping,
                         testing::Values(Typing{"ConsonantThenConsonant", "kt", "k", "t"},
                                         Typing{"TwoLettersThenConsonant", "tsk", "ts", "k"},
                                         Typing{"ThreeLettersThenVowel", "xtsa", "xtsア", ""},
                                         Typing{"YThenDigit", "ky1", "ky1", ""},
                                         Typing{"LoneApostrophe", "'", "'", ""},
                                         Typing{"ApostropheAfterConsonant", "k'", "k'", ""},
                                         Typing{"TcWithoutH", "tca", "tcア", ""}),
                         named_cases::CaseName());

INSTANTIATE_TEST_SUITE_P(Backspace, RomajiTyping,
                         testing::Values(Typing{"RemovesTheLastPendingKey", "ky\b", "", "k"},
                                         Typing{"ThenTheRuleStartsOver", "ky\ba", "カ", ""},
                                         Typing{"TsBecomesT", "ts\ba", "タ", ""},
                                         Typing{"LeavesCommittedKanaAlone", "kk\ba", "ッア", ""},
                                         Typing{"LoneN", "n\bi", "イ", ""},
                                         Typing{"NothingPending", "\b\ba", "ア", ""}),
                         named_cases::CaseName());

struct Flushing {
    const char* name;
    std::string_view keys;
    std::string_view flushed; // UTF-8
    friend void PrintTo(const Flushing& row, std::ostream* os) { *os << row.name; }
};

class RomajiFlush : public testing::TestWithParam<Flushing> {};

TEST_P(RomajiFlush, EndsTheComposition) {
    const auto& c = GetParam();
    RomajiComposer composer;
    const Typed typed = Type(composer, c.keys);
    EXPECT_EQ(typed.committed + composer.Flush(), Sjis(c.flushed));
    EXPECT_FALSE(composer.HasPending());
    EXPECT_EQ(composer.Flush(), "");
}

INSTANTIATE_TEST_SUITE_P(
    Pending, RomajiFlush,
    testing::Values(Flushing{"LoneNIsKatakanaN", "n", "ン"}, Flushing{"TrailingN", "kon", "コン"},
                    Flushing{"ConsonantsAsTyped", "ky", "ky"}, Flushing{"ThreeLetters", "xts", "xts"},
                    Flushing{"CarryAsTyped", "kk", "ッk"}, Flushing{"NBeforeY", "ny", "ny"},
                    Flushing{"UpperCaseAsLower", "KY", "ky"}, Flushing{"Nothing", "", ""}),
    named_cases::CaseName());

// Every rule must be reachable: a shorter rule that fires first would hide it.
TEST(RomajiRules, EachRuleGivesItsKanaWhenTyped) {
    for (const RomajiRule& rule : RomajiRules()) {
        RomajiComposer composer;
        std::string out = Type(composer, rule.romaji).committed;
        if (composer.Pending() == rule.romaji) {
            out += composer.Flush();
        }
        EXPECT_EQ(out, Sjis(rule.kana)) << rule.romaji;
        EXPECT_EQ(composer.Pending(), rule.carry) << rule.romaji;
    }
}

// What a rule leaves pending must itself wait for more, never stand alone.
TEST(RomajiRules, CarriesStartLongerRules) {
    for (const RomajiRule& rule : RomajiRules()) {
        if (rule.carry.empty()) {
            continue;
        }
        RomajiComposer composer;
        const Typed typed = Type(composer, rule.carry);
        EXPECT_EQ(typed.committed, "") << rule.romaji;
        EXPECT_EQ(typed.pending, rule.carry) << rule.romaji;
    }
}

// Letters give full-width katakana (lead byte 0x83, or 0x81 for the long
// vowel mark) and never hiragana (0x82); signs give one full-width sign.
TEST(RomajiRules, KanaAreFullWidthKatakanaOrSigns) {
    for (const RomajiRule& rule : RomajiRules()) {
        const auto bytes = cp932::FromUtf8(rule.kana);
        ASSERT_TRUE(bytes.has_value()) << rule.romaji;
        ASSERT_EQ(bytes->size() % 2, 0u) << rule.romaji;
        const bool letters = std::isalpha(static_cast<unsigned char>(rule.romaji[0])) != 0;
        if (!letters) {
            EXPECT_EQ(bytes->size(), 2u) << rule.romaji;
        }
        for (std::size_t i = 0; i < bytes->size(); i += 2) {
            const auto lead = static_cast<unsigned char>((*bytes)[i]);
            EXPECT_EQ(lead, letters ? 0x83 : 0x81) << rule.romaji;
        }
    }
}

TEST(RomajiComposer, TakesLettersAndTheSignsOnly) {
    for (int key = 0; key < 128; ++key) {
        const char c = static_cast<char>(key);
        const bool expected =
            std::isalpha(key) != 0 || (key != 0 && std::strchr("-[]().,/~!?:;' ", key) != nullptr);
        EXPECT_EQ(RomajiComposer::Takes(c), expected) << key;
    }
}

} // namespace
