// The katakana input's core: full-width forms of keys, the romaji composer
// and its rules, the katakana mode for pasted and committed text. Whatever
// goes in, nothing single-byte comes out.
#include "kana/FullWidthForms.h"
#include "kana/KatakanaMode.h"
#include "kana/RomajiComposer.h"
#include "kana/RomajiRules.h"
#include "kana/RomajiToKatakana.h"

#include "platform/Utf8.h"
#include "support/Sjis.h"

#include <gtest/gtest.h>

#include <cctype>
#include <optional>
#include <string>
#include <vector>

namespace {

// Feeds `keys` one at a time; '\b' stands for Backspace, '\n' for the end of
// the composition (Enter, a caret move, the focus leaving).
std::string Type(RomajiComposer& composer, std::string_view keys) {
    std::string out;
    for (const char key : keys) {
        if (key == '\b') {
            composer.Backspace();
        } else {
            out += key == '\n' ? composer.Flush() : composer.Feed(key);
        }
    }
    return out;
}

// Each printable key has its full-width form (a space the ideographic one);
// the composer's rows refuse the other bytes.
TEST(FullWidthForms, EachPrintableKeyHasItsOwnForm) {
    for (char key = ' '; key <= '~'; ++key) {
        std::string form;
        utf8::Append(form, key == ' ' ? U'\u3000' : U'\uFEE0' + static_cast<char32_t>(key));
        EXPECT_EQ(FullWidthForm(key), form) << key;
    }
}

TEST(RomajiComposer, CommitsKatakanaAndKeepsTheRestPending) {
    const struct {
        const char* name;
        std::string_view keys;
        std::string_view committed; // UTF-8
        std::string_view pending;
    } rows[] = {
        {"LetterN", "sangoshinpaikonnnichihakonnichihakan'ihon'yakanihonyahon-kon n1",
         "サンゴシンパイコンニチハコンイチハカンイホンヤカニホニャホンーコン　ン１", ""},
        {"DoubleConsonants", "kittekyattomatchazasshiippaiyyo", "キッテキャットマッチャザッシイッパイッヨ",
         ""},
        {"SignsWithoutRules", "#&%$@*+=<>\"`^_{}|\\'", "＃＆％＄＠＊＋＝＜＞＂｀＾＿｛｝｜＼＇", ""},
        {"UnusedLettersFullWidth", "xtsaky1'k'tcaktsk", "ｘｔｓアｋｙ１＇ｋ＇ｔｃアｋｔｓ", "k"},
        {"UpperCaseLeftoverIsLowerCase", "KyAtToKONNICHIHAN'ZASK1", "キャットコンイチハンザｓｋ１", ""},
        {"TypoAndMixed", "sakurkasakuraPassword1 kyoto!", "サクｒカサクラパッｓヲｒｄ１　キョト！", ""},
        {"RefusedKeysLeavePending",
         "k\t\x7f\x80\x1b"
         "a",
         "カ", ""},
        {"Backspace", "ky\bats\bakk\ban\bi\b\ba", "カタッアイア", ""},
        {"Flush", "n\nkon\n\nky\nxts\nKY\nny\nkk\n", "ンコンｋｙｘｔｓｋｙｎｙッｋ", ""},
        {"LongestPending", "xts", "", "xts"},
        {"NAfterNN", "nnn", "ン", "n"},
        {"DoubleConsonantWaits", "kkk", "ッッ", "k"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        RomajiComposer composer;
        EXPECT_EQ(Type(composer, row.keys), std::string(row.committed));
        EXPECT_EQ(composer.Pending(), row.pending);
    }
}

// Every rule must be reachable (a shorter rule that fires first would hide
// it) and give full-width katakana (ァ to ヶ, never hiragana) or one
// full-width sign.
TEST(RomajiRules, EachRuleGivesItsKanaWhenTyped) {
    for (const RomajiRule& rule : RomajiRules()) {
        SCOPED_TRACE(rule.romaji);
        RomajiComposer composer;
        std::string out = Type(composer, rule.romaji);
        if (composer.Pending() == rule.romaji) {
            out += composer.Flush(); // a lone n waits for what follows
        }
        EXPECT_EQ(out, std::string(rule.kana));
        EXPECT_EQ(composer.Pending(), rule.carry);
        const bool letters = std::isalpha(static_cast<unsigned char>(rule.romaji[0])) != 0;
        EXPECT_TRUE(AllDoubleByte(out));
        std::size_t count = 0;
        char32_t code = 0;
        for (std::size_t i = 0; i < out.size(); i += utf8::DecodeOne(out.substr(i), code), ++count) {
            utf8::DecodeOne(out.substr(i), code);
            EXPECT_EQ(code >= U'ァ' && code <= U'ヶ', letters) << std::hex << static_cast<unsigned>(code);
        }
        EXPECT_TRUE(letters || count == 1);
    }
}

// Whatever the keys, nothing single-byte comes out: every state the rules can
// leave pending meets every key, then the composition ends; the whole-text
// conversion gives what typing and Enter give.
TEST(RomajiRules, NoKeyAfterAnyPendingStateGivesASingleByteCharacter) {
    std::vector<std::string> prefixes{""};
    for (const RomajiRule& rule : RomajiRules()) {
        for (std::size_t n = 1; n < rule.romaji.size(); ++n) {
            prefixes.emplace_back(rule.romaji.substr(0, n));
        }
    }
    for (const std::string& prefix : prefixes) {
        for (char key = ' '; key <= '~'; ++key) {
            RomajiComposer composer;
            std::string out = Type(composer, prefix);
            out += composer.Feed(key);
            out += composer.Flush();
            ASSERT_FALSE(out.empty()) << prefix << key;
            ASSERT_TRUE(AllDoubleByte(out)) << prefix << key;
            ASSERT_EQ(RomajiToKatakana(prefix + key), out) << prefix << key;
        }
    }
}

TEST(RomajiToKatakana, OtherCharactersEndTheComposition) {
    const std::pair<std::string_view, std::string_view> rows[] = {
        {"", ""}, {"kon\tnichi", "コンニチ"}, {"ky\nka", "ｋｙカ"}, {"ka\xe3\x81\x82n\xff", "カン"}};
    for (const auto& [romaji, katakana] : rows) {
        EXPECT_EQ(RomajiToKatakana(romaji), std::string(katakana)) << romaji;
    }
}

// Whatever enters the field or the CLI as text comes out in full-width forms,
// with no single-byte character left for the conversion, or is refused whole.
TEST(KatakanaMode, TextComesOutDoubleByteOrIsRefused) {
    const struct {
        const char* name;
        std::string_view text;                    // UTF-8
        std::optional<std::string_view> katakana; // UTF-8; nothing: refused
    } rows[] = {
        {"hiragana", "さくらぁゔゕゖゝゞ", "サクラァヴヵヶヽヾ"},
        {"half-width voiced", "ｶﾞｷﾞﾊﾟﾋﾟｳﾞﾄﾞﾎﾞ", "ガギパピヴドボ"},
        {"half-width small and signs", "ｧｯｰ｡｢｣､･ｦﾝ", "ァッー。「」、・ヲン"},
        {"mark that joins nothing", "ﾜﾞｻﾟﾞｶ", "ワ゛サ゜゛カ"},
        {"mark on full-width kana, not on voiced", "カﾞハﾟガﾞ", "ガパガ゛"},
        {"mark not on hiragana turned later", "ア\u3099か\u3099は\u309A", "ア゛ガパ"},
        {"full-width marks stay", "カ゛", "カ゛"},
        {"ascii, yen and overline", "ab 1!~¥‾", "ａｂ　１！～￥￣"},
        {"other text passes", "漢字カナＡ。ー", "漢字カナＡ。ー"},
        {"empty", "", ""},
        {"no code page 932 form", "サ€", std::nullopt},
        {"nul", std::string_view("サ\0", 4), std::nullopt},
        {"delete", "\x7f", std::nullopt},
        {"not UTF-8", "サ\xFF", std::nullopt},
        {"cut UTF-8", "\xE3\x82", std::nullopt},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const std::optional<std::string> out = KatakanaModeUtf8(row.text);
        ASSERT_EQ(out.has_value(), row.katakana.has_value());
        EXPECT_TRUE(!out || *out == std::string(*row.katakana));
    }
    // Whatever a keyboard sends, what comes out has no single-byte character.
    for (char32_t c = 0x20; c < 0x10000; ++c) {
        const std::optional<std::string> out =
            c >= 0xD800 && c < 0xE000 ? std::nullopt : KatakanaModeText(std::u32string(1, c));
        ASSERT_TRUE(!out || (!out->empty() && AllDoubleByte(*out))) << std::hex << static_cast<unsigned>(c);
    }
}

} // namespace
