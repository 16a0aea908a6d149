#include "kana/KatakanaMode.h"

#include "support/NamedCases.h"
#include "support/Sjis.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

struct Mode {
    const char* name;
    std::u32string_view text;
    std::optional<std::string_view> katakana; // UTF-8; nothing: refused
    friend void PrintTo(const Mode& row, std::ostream* os) { *os << row.name; }
};

class KatakanaMode : public testing::TestWithParam<Mode> {};

TEST_P(KatakanaMode, TextComesOutInFullWidthKatakana) {
    const auto& c = GetParam();
    const std::optional<std::string> out = KatakanaModeText(c.text);
    ASSERT_EQ(out.has_value(), c.katakana.has_value());
    if (out) {
        EXPECT_EQ(*out, Sjis(*c.katakana));
    }
}

const Mode kModes[] = {
    {"Hiragana", U"さくら", "サクラ"},
    {"SmallHiragana", U"きゃっと", "キャット"},
    {"HiraganaEnds", U"ぁゔゕゖ", "ァヴヵヶ"},
    {"IterationMarks", U"ゝゞ", "ヽヾ"},
    {"HalfWidth", U"ｻｸﾗ", "サクラ"},
    {"HalfWidthVoiced", U"ｶﾞｷﾞﾊﾟﾋﾟｳﾞﾄﾞﾎﾞ", "ガギパピヴドボ"},
    {"HalfWidthSmallAndSigns", U"ｧｯｰ｡｢｣､･ｦﾝ", "ァッー。「」、・ヲン"},
    {"MarkThatJoinsNothing", U"ﾜﾞｻﾟﾞｶ", "ワ゛サ゜゛カ"},
    {"MarkOnFullWidthKana", U"カﾞハﾟ", "ガパ"},
    {"MarkNotOnHiraganaTurnedLater", U"ア\u3099か\u3099は\u309A", "ア゛ガパ"},
    {"FullWidthMarksStay", U"カ゛", "カ゛"},
    {"Ascii", U"ab 1!", "ａｂ　１！"},
    {"YenAndOverline", U"¥‾", "￥￣"},
    {"Mixed", U"さｸラ1漢", "サクラ１漢"},
    {"OtherTextPasses", U"漢字カナＡ。ー", "漢字カナＡ。ー"},
    {"Empty", U"", ""},
    {"NoCodePage932Form", U"サ€", std::nullopt},
    {"Hangul", U"한", std::nullopt},
    {"ControlCharacter", U"a\tb", std::nullopt},
};

INSTANTIATE_TEST_SUITE_P(Texts, KatakanaMode, testing::ValuesIn(kModes), named_cases::CaseName());

// Whatever a keyboard sends, what comes out has no single-byte character.
TEST(KatakanaModeText, NoCharacterComesOutSingleByte) {
    for (char32_t c = 0x20; c < 0x10000; ++c) {
        if (c >= 0xD800 && c < 0xE000) {
            continue;
        }
        const std::optional<std::string> out = KatakanaModeText(std::u32string(1, c));
        if (!out) {
            continue;
        }
        ASSERT_FALSE(out->empty()) << std::hex << static_cast<unsigned>(c);
        for (std::size_t i = 0; i < out->size(); i += 2) {
            ASSERT_TRUE(cp932::IsLeadByte(static_cast<unsigned char>((*out)[i])))
                << std::hex << static_cast<unsigned>(c);
        }
    }
}

struct Mark {
    const char* name;
    char32_t kana;
    char32_t mark;
    char32_t joined; // 0: none
    friend void PrintTo(const Mark& row, std::ostream* os) { *os << row.name; }
};

class SoundMark : public testing::TestWithParam<Mark> {};

TEST_P(SoundMark, JoinsOnlyWhereTheVoicedKanaExists) {
    const auto& c = GetParam();
    EXPECT_EQ(WithSoundMark(c.kana, c.mark), c.joined);
}

constexpr Mark kMarks[] = {
    {"Voiced", U'カ', U'ﾞ', U'ガ'},     {"VoicedCombining", U'ト', U'\u3099', U'ド'},
    {"SemiVoiced", U'ハ', U'ﾟ', U'パ'}, {"SemiVoicedCombining", U'ホ', U'\u309A', U'ポ'},
    {"VoicedU", U'ウ', U'ﾞ', U'ヴ'},    {"NoSemiVoicedKa", U'カ', U'ﾟ', 0},
    {"AlreadyVoiced", U'ガ', U'ﾞ', 0},  {"WaHasNoVoicedForm", U'ワ', U'ﾞ', 0},
    {"Hiragana", U'か', U'ﾞ', 0},       {"FullWidthMarkDoesNotJoin", U'カ', U'゛', 0},
    {"NotAMark", U'カ', U'ア', 0},
};

INSTANTIATE_TEST_SUITE_P(Marks, SoundMark, testing::ValuesIn(kMarks), named_cases::CaseName());

} // namespace
