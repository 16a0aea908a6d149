#include "convert/Conversion.h"

#include "support/Sjis.h"
#include "table/DefaultTable.h"

#include "support/NamedCases.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

namespace {

struct Case {
    const char* name;
    std::string_view katakana; // UTF-8
    ConversionOptions options;
    std::string_view password;
    std::uint32_t seed = 1; // random mode only
    friend void PrintTo(const Case& row, std::ostream* os) { *os << row.name; }
};

constexpr ConversionOptions kDigits{true, true, false};
constexpr ConversionOptions kNoDigits{false, true, false};
constexpr ConversionOptions kRandomNoDigits{false, true, true};

class DefaultTableConversion : public testing::TestWithParam<Case> {
protected:
    void SetUp() override { FillDefaultTable(table); }
    ConversionTable table;
};

TEST_P(DefaultTableConversion, GivesThePassword) {
    const auto& c = GetParam();
    CrtRandom random;
    random.srand(c.seed);
    EXPECT_EQ(ConvertKatakana(Sjis(c.katakana), table, c.options, random), c.password);
}

INSTANTIATE_TEST_SUITE_P(
    Examples, DefaultTableConversion,
    testing::Values(Case{"SakuraWithDigits", "サクラ", kDigits, "39r"},
                    Case{"SakuraWithoutDigits", "サクラ", kNoDigits, "skr"},
                    Case{"SpaceCapitalisesTheNextLetter", "サクラ　サクラ", kNoDigits, "skrSkr"},
                    Case{"ADigitUsesUpThePendingCapital", "サクラ　サクラ", kDigits, "39r39r"},
                    Case{"LeadingSpace", "　サクラ", kNoDigits, "Skr"},
                    Case{"TrailingSpaceDoesNothing", "サクラ　", kNoDigits, "skr"},
                    Case{"CapitalWaitsOverUnmatchedCharacters", "　ャーサ", kNoDigits, "S"},
                    Case{"TwoCharacterKeyBeatsOne", "ウィンドウ", kDigits, "wndu"},
                    Case{"SmallKanaMatchNothing", "キャット", kDigits, "kt"}, Case{"Empty", "", kDigits, ""},
                    Case{"SingleByteMisalignsTheRest", "1サクラ", kDigits, ""},
                    Case{"HalfWidthKatakanaMatchNothing", "ｻｸﾗ", kDigits, ""},
                    Case{"DigitOrLetterByOption", "イ", kDigits, "1"},
                    Case{"LetterWhenDigitsAreOff", "イ", kNoDigits, "i"},
                    Case{"BracketsAndOddOnes", "ンチヴ（「", kNoDigits, "ncvxl"},
                    Case{"HiraganaAndKanjiSkipped", "さ漢カ", kNoDigits, "k"},
                    // Seed 1 draws 41, 18467, 6334, 26500, 19169: odd means upper case.
                    Case{"RandomCaseOneDrawPerStep", "サクラ", kRandomNoDigits, "SKr"},
                    Case{"RandomCaseDrawsForUnmatchedSteps", "ャャサ", kRandomNoDigits, "s"},
                    Case{"RandomCaseIgnoresSpaces", "ャ　サクラ", kRandomNoDigits, "skR"},
                    Case{"RandomCaseDigitsStay", "サクラ", {true, true, true}, "39r"}),
    named_cases::CaseName());

// Given: entries of a small table by map ('l', 'd' or 's').
struct OwnTableCase {
    const char* name;
    std::vector<std::tuple<char, std::string_view, std::string_view>> entries;
    std::string_view katakana;
    ConversionOptions options;
    std::string_view password;
    friend void PrintTo(const OwnTableCase& row, std::ostream* os) { *os << row.name; }
};

class OwnTableConversion : public testing::TestWithParam<OwnTableCase> {};

TEST_P(OwnTableConversion, GivesThePassword) {
    const auto& c = GetParam();
    ConversionTable t;
    for (const auto& [map, key, value] : c.entries) {
        (map == 'l' ? t.letters : map == 'd' ? t.digits : t.symbols).SetAt(Sjis(key), std::string(value));
    }
    CrtRandom random;
    EXPECT_EQ(ConvertKatakana(Sjis(c.katakana), t, c.options, random), c.password);
}

const std::vector<std::tuple<char, std::string_view, std::string_view>> kSaInEveryMap{
    {'l', "サ", "s"}, {'d', "サ", "3"}, {'s', "サ", "*"}};
const std::vector<std::tuple<char, std::string_view, std::string_view>> kLongerKeys{
    {'s', "サ", "!"}, {'l', "サク", "q"}, {'l', "サクラ", "z"}, {'l', "ラ", "r"}};

INSTANTIATE_TEST_SUITE_P(
    Tables, OwnTableConversion,
    testing::Values(
        OwnTableCase{"SymbolsBeatDigits", kSaInEveryMap, "サ", {true, true, false}, "*"},
        OwnTableCase{"DigitsBeatLetters", kSaInEveryMap, "サ", {true, false, false}, "3"},
        OwnTableCase{"LettersWhenBothAreOff", kSaInEveryMap, "サ", {false, false, false}, "s"},
        OwnTableCase{"LongestLetterKey", kLongerKeys, "サクラ", {true, true, false}, "z"},
        OwnTableCase{"LongerKeyBeatsAShorterSymbol", kLongerKeys, "サクサラ", {true, true, false}, "q!r"},
        OwnTableCase{
            "LongerOutputsUpperCasedWhole", {{'l', "ア", "ab"}}, "　アア", {false, false, false}, "ABab"}),
    named_cases::CaseName());

// One draw per step and none more: the generator moved exactly twenty times.
TEST(Conversion, RandomModeDrawsOncePerStep) {
    ConversionTable t;
    FillDefaultTable(t);
    CrtRandom random;
    random.srand(1765000000);
    ConvertKatakana(Sjis("アイウエオカキクケコサシスセソタチツテト"), t, {false, false, true}, random);
    CrtRandom reference;
    reference.srand(1765000000);
    for (int i = 0; i < 20; ++i) {
        reference.rand();
    }
    EXPECT_EQ(random.State(), reference.State());
}

struct StepCase {
    const char* name;
    std::string_view katakana; // UTF-8
    ConversionOptions options;
    // Per step: characters (UTF-8), map, output.
    std::vector<std::tuple<std::string_view, ConversionStep::Map, std::string_view>> steps;
    friend void PrintTo(const StepCase& row, std::ostream* os) { *os << row.name; }
};

class ConversionSteps : public testing::TestWithParam<StepCase> {};

TEST_P(ConversionSteps, TellWhatEachStepUsedOrSkipped) {
    const auto& c = GetParam();
    ConversionTable table;
    FillDefaultTable(table);
    CrtRandom random;
    std::vector<ConversionStep> steps;
    const std::string phrase = Sjis(c.katakana);
    const std::string password = ConvertKatakana(phrase, table, c.options, random, &steps);

    std::string joined;
    ASSERT_EQ(steps.size(), c.steps.size());
    for (std::size_t i = 0; i < steps.size(); ++i) {
        const auto& [chars, map, output] = c.steps[i];
        EXPECT_EQ(phrase.substr(steps[i].position, steps[i].length), Sjis(chars)) << i;
        EXPECT_EQ(steps[i].map, map) << i;
        EXPECT_EQ(steps[i].output, output) << i;
        joined += steps[i].output;
    }
    // The steps account for the whole password and the whole phrase.
    EXPECT_EQ(joined, password);
    EXPECT_EQ(steps.empty() ? 0 : steps.back().position + steps.back().length, phrase.size());
}

using M = ConversionStep::Map;

INSTANTIATE_TEST_SUITE_P(
    Phrases, ConversionSteps,
    testing::Values(
        StepCase{"DigitsAndLetters",
                 "サクラ",
                 kDigits,
                 {{"サ", M::Digits, "3"}, {"ク", M::Digits, "9"}, {"ラ", M::Letters, "r"}}},
        StepCase{"SkippedAndCapital",
                 "　キャ",
                 kNoDigits,
                 {{"　", M::None, ""}, {"キ", M::Letters, "K"}, {"ャ", M::None, ""}}},
        StepCase{"LongestKey", "ウィン", kDigits, {{"ウィ", M::Letters, "w"}, {"ン", M::Letters, "n"}}},
        StepCase{"OddByteAtTheEnd", "ア1", kDigits, {{"ア", M::Letters, "a"}, {"1", M::None, ""}}},
        StepCase{"Empty", "", kDigits, {}}),
    named_cases::CaseName());

struct NoticeRow {
    const char* name;
    std::string_view katakana; // UTF-8
    std::string_view notice;   // UTF-8
};

constexpr NoticeRow kNotices[] = {
    {"everything converts", "サクラ　サクラ", ""},
    {"kana and signs the table leaves out", "キッテ、コーヒー・ヰ", ""},
    {"kanji", "桜", "変換されない文字があります: 桜"},
    {"each named once, in order", "桜サＳ桜", "変換されない文字があります: 桜、Ｓ"},
    {"at most three", "Ｓａｋｕｒａ", "変換されない文字があります: Ｓ、ａ、ｋ…"},
};

// The notice names what the scan skipped, whichever mode skipped it.
TEST(Conversion, SkippedCharactersAreNamedInTheNotice) {
    ConversionTable table;
    FillDefaultTable(table);
    for (const NoticeRow& row : kNotices) {
        SCOPED_TRACE(row.name);
        for (const ConversionOptions& options : {kDigits, kRandomNoDigits}) {
            CrtRandom random;
            std::vector<ConversionStep> steps;
            const std::string phrase = Sjis(row.katakana);
            ConvertKatakana(phrase, table, options, random, &steps);
            EXPECT_EQ(SkippedNotice(phrase, steps), row.notice.empty() ? "" : Sjis(row.notice));
        }
    }
}

} // namespace
