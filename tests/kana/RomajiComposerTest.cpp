#include "kana/RomajiComposer.h"

#include "kana/RomajiRules.h"
#include "support/NamedCases.h"
#include "support/Sjis.h"

#include <gtest/gtest.h>

#include <cctype>
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
    EXPECT_EQ(Type(composer, c.keys), Sjis(c.committed));
    EXPECT_EQ(composer.Pending(), c.pending);
}

constexpr Typing kTypings[] = {
    {"Rows", "aiueokasatanahamayarawagazadabapa", "アイウエオカサタナハマヤラワガザダバパ", ""},
    {"Spellings", "sishitichitutsuhufuzijididuwowiwuweyiye", "シシチチツツフフジジヂヅヲウィウウェイイェ",
     ""},
    {"YCombinations", "kyakyikyukyekyogyusyazyotyudyanyohyabyupyomyaryu",
     "キャキィキュキェキョギュシャジョチュヂャニョヒャビュピョミャリュ", ""},
    {"ShChJ", "shashuchechojajujojyazyocyadyufyovya", "シャシュチェチョジャジュジョジャジョチャヂュフョヴャ",
     ""},
    {"CAndQ", "cacicucecoqaqiquqeqokwaqwagwa", "カシクセコクァクィククェクォクァクァグァ", ""},
    {"FVTs", "fafifefovavivuvevotsatsitsetso", "ファフィフェフォヴァヴィヴヴェヴォツァツィツェツォ", ""},
    {"ThDhWuWh", "thithudhidhutwudwuwhawhiwhewho", "ティテュディデュトゥドゥウァウィウェウォ", ""},
    {"SmallKana", "xalixulexoxyalyuxyoxtultsuxwaxkalkexn", "ァィゥェォャュョッッヮヵヶン", ""},
    {"LetterN", "sangoshinpaikonnnichihakonnichihakan'ihon'yakanihonyahon-kon n1",
     "サンゴシンパイコンニチハコンイチハカンイホンヤカニホニャホンーコン　ン１", ""},
    {"DoubleConsonants", "kittekyattomatchazasshiippaiyyo", "キッテキャットマッチャザッシイッパイッヨ", ""},
    {"SignsWithRules", "[]().,/~!?:;- ", "「」（）。、・～！？：；ー　", ""},
    {"SignsWithoutRules", "#&%$@*+=<>\"`^_{}|\\'", "＃＆％＄＠＊＋＝＜＞＂｀＾＿｛｝｜＼＇", ""},
    {"Digits", "0123456789", "０１２３４５６７８９", ""},
    {"UpperCase", "KyAtToKONNICHIHAN'", "キャットコンイチハン", ""},
    {"UnusedLettersFullWidth", "xtsaky1'k'tcaktsk", "ｘｔｓアｋｙ１＇ｋ＇ｔｃアｋｔｓ", "k"},
    {"UpperCaseLeftoverIsLowerCase", "SK1", "ｓｋ１", ""},
    {"IssueDigitFirst", "1sakura", "１サクラ", ""},
    {"IssueTypo", "sakurkasakura", "サクｒカサクラ", ""},
    {"IssueMixed", "Password1 kyoto!", "パッｓヲｒｄ１　キョト！", ""},
    {"RefusedKeysLeavePending",
     "k\t\x7f\x80\x1b"
     "a",
     "カ", ""},
    {"Backspace", "ky\bats\bakk\ban\bi\b\ba", "カタッアイア", ""},
    {"Flush", "n\nkon\n\nky\nxts\nKY\nny\nkk\n", "ンコンｋｙｘｔｓｋｙｎｙッｋ", ""},
    {"LongestPending", "xts", "", "xts"},
    {"YWaits", "ky", "", "ky"},
    {"TrailingNWaits", "kon", "コ", "n"},
    {"NAfterNN", "nnn", "ン", "n"},
    {"DoubleConsonantWaits", "kkk", "ッッ", "k"},
    {"UpperCaseWaits", "SH", "", "sh"},
    {"BackspaceRemovesAKey", "ky\b", "", "k"},
};

INSTANTIATE_TEST_SUITE_P(Rules, RomajiTyping, testing::ValuesIn(kTypings), named_cases::CaseName());

// Every rule must be reachable: a shorter rule that fires first would hide it.
TEST(RomajiRules, EachRuleGivesItsKanaWhenTyped) {
    for (const RomajiRule& rule : RomajiRules()) {
        RomajiComposer composer;
        std::string out = Type(composer, rule.romaji);
        if (composer.Pending() == rule.romaji) {
            out += composer.Flush(); // a lone n waits for what follows
        }
        EXPECT_EQ(out, Sjis(rule.kana)) << rule.romaji;
        EXPECT_EQ(composer.Pending(), rule.carry) << rule.romaji;
    }
}

// Whatever the keys, nothing single-byte comes out: every state the rules can
// leave pending meets every key, then the composition ends.
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
            for (std::size_t i = 0; i < out.size(); i += 2) {
                ASSERT_TRUE(cp932::IsLeadByte(static_cast<unsigned char>(out[i]))) << prefix << key;
            }
        }
    }
}

// Letters give full-width katakana (lead byte 0x83), never hiragana (0x82);
// signs give one full-width sign (0x81).
TEST(RomajiRules, KanaAreFullWidthKatakanaOrSigns) {
    for (const RomajiRule& rule : RomajiRules()) {
        const std::string bytes = Sjis(rule.kana);
        const bool letters = std::isalpha(static_cast<unsigned char>(rule.romaji[0])) != 0;
        EXPECT_TRUE(letters ? bytes.size() % 2 == 0 : bytes.size() == 2) << rule.romaji;
        for (std::size_t i = 0; i < bytes.size(); i += 2) {
            EXPECT_EQ(static_cast<unsigned char>(bytes[i]), letters ? 0x83 : 0x81) << rule.romaji;
        }
    }
}

} // namespace
