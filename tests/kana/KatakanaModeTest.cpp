#include "kana/KatakanaMode.h"

#include "support/NamedCases.h"
#include "support/Sjis.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

bool AllDoubleByte(std::string_view cp932Text) {
    for (std::size_t i = 0; i < cp932Text.size(); i += 2) {
        if (!cp932::IsLeadByte(static_cast<unsigned char>(cp932Text[i]))) {
            return false;
        }
    }
    return true;
}

struct Mode {
    const char* name;
    std::string_view text;                    // UTF-8, as typed, pasted, dropped or given to the CLI
    std::optional<std::string_view> katakana; // UTF-8; nothing: refused
};

constexpr Mode kModes[] = {
    {"hiragana", "さくら", "サクラ"},
    {"small hiragana", "きゃっと", "キャット"},
    {"hiragana ends", "ぁゔゕゖ", "ァヴヵヶ"},
    {"iteration marks", "ゝゞ", "ヽヾ"},
    {"half-width", "ｻｸﾗ", "サクラ"},
    {"half-width voiced", "ｶﾞｷﾞﾊﾟﾋﾟｳﾞﾄﾞﾎﾞ", "ガギパピヴドボ"},
    {"half-width small and signs", "ｧｯｰ｡｢｣､･ｦﾝ", "ァッー。「」、・ヲン"},
    {"mark that joins nothing", "ﾜﾞｻﾟﾞｶ", "ワ゛サ゜゛カ"},
    {"mark on full-width kana", "カﾞハﾟ", "ガパ"},
    {"mark not on hiragana turned later", "ア\u3099か\u3099は\u309A", "ア゛ガパ"},
    {"full-width marks stay", "カ゛", "カ゛"},
    {"ascii", "ab 1!~", "ａｂ　１！～"},
    {"half-width space marks a capital", "サ クラ", "サ　クラ"},
    {"yen and overline", "¥‾", "￥￣"},
    {"mixed", "さｸラ1漢", "サクラ１漢"},
    {"other text passes", "漢字カナＡ。ー", "漢字カナＡ。ー"},
    {"empty", "", ""},
    {"no code page 932 form", "サ€", std::nullopt},
    {"hangul", "한", std::nullopt},
    {"tab", "a\tb", std::nullopt},
    {"line break", "サクラ\n", std::nullopt},
    {"nul", std::string_view("サ\0", 4), std::nullopt},
    {"delete", "\x7f", std::nullopt},
    {"not UTF-8", "サ\xFF", std::nullopt},
    {"cut UTF-8", "\xE3\x82", std::nullopt},
};

// Whatever enters the field or the CLI as text comes out in full-width forms,
// with no single-byte character left for the conversion, or is refused whole.
TEST(KatakanaMode, TextComesOutDoubleByteOrIsRefused) {
    for (const Mode& row : kModes) {
        SCOPED_TRACE(row.name);
        const std::optional<std::string> out = KatakanaModeUtf8(row.text);
        ASSERT_EQ(out.has_value(), row.katakana.has_value());
        if (out) {
            EXPECT_EQ(*out, Sjis(*row.katakana));
            EXPECT_TRUE(AllDoubleByte(*out));
        }
    }
}

// Whatever a keyboard sends, what comes out has no single-byte character.
TEST(KatakanaModeText, NoCharacterComesOutSingleByte) {
    for (char32_t c = 0x20; c < 0x10000; ++c) {
        if (c >= 0xD800 && c < 0xE000) {
            continue;
        }
        const std::optional<std::string> out = KatakanaModeText(std::u32string(1, c));
        if (out) {
            ASSERT_FALSE(out->empty()) << std::hex << static_cast<unsigned>(c);
            ASSERT_TRUE(AllDoubleByte(*out)) << std::hex << static_cast<unsigned>(c);
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
