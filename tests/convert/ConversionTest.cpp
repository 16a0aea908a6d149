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

TEST(Conversion, SymbolsBeatDigitsBeatLettersAtEqualLength) {
    ConversionTable t;
    t.letters.SetAt(Sjis("サ"), "s");
    t.digits.SetAt(Sjis("サ"), "3");
    t.symbols.SetAt(Sjis("サ"), "*");
    CrtRandom random;
    EXPECT_EQ(ConvertKatakana(Sjis("サ"), t, {true, true, false}, random), "*");
    EXPECT_EQ(ConvertKatakana(Sjis("サ"), t, {true, false, false}, random), "3");
    EXPECT_EQ(ConvertKatakana(Sjis("サ"), t, {false, false, false}, random), "s");
}

TEST(Conversion, ALongerKeyBeatsAShorterOneInAnyMap) {
    ConversionTable t;
    t.symbols.SetAt(Sjis("サ"), "!");
    t.letters.SetAt(Sjis("サク"), "q");
    t.letters.SetAt(Sjis("サクラ"), "z");
    t.letters.SetAt(Sjis("ラ"), "r");
    CrtRandom random;
    EXPECT_EQ(ConvertKatakana(Sjis("サクラ"), t, {true, true, false}, random), "z");
    EXPECT_EQ(ConvertKatakana(Sjis("サクサラ"), t, {true, true, false}, random),
              "q!r");
}

TEST(Conversion, UseSymbolsCountsOnlyWithEntries) {
    ConversionTable t;
    FillDefaultTable(t);
    CrtRandom random;
    const auto text = Sjis("サクラ　ナ");
    EXPECT_EQ(ConvertKatakana(text, t, {true, true, false}, random),
              ConvertKatakana(text, t, {true, false, false}, random));
}

TEST(Conversion, RandomModeRepeatsForTheSameSeed) {
    ConversionTable t;
    FillDefaultTable(t);
    const auto text = Sjis("アイウエオカキクケコサシスセソタチツテト");
    CrtRandom random;
    random.srand(1765000000);
    const auto first = ConvertKatakana(text, t, {false, false, true}, random);
    random.srand(1765000000);
    EXPECT_EQ(ConvertKatakana(text, t, {false, false, true}, random), first);
    // Twenty draws: one per step, so the generator moved exactly twenty times.
    CrtRandom reference;
    reference.srand(1765000000);
    for (int i = 0; i < 20; ++i) {
        reference.rand();
    }
    EXPECT_EQ(random.State(), reference.State());
}

TEST(Conversion, OutputsLongerThanOneCharacterAreUpperCasedWhole) {
    ConversionTable t;
    t.letters.SetAt(Sjis("ア"), "ab");
    CrtRandom random;
    EXPECT_EQ(ConvertKatakana(Sjis("　アア"), t, {false, false, false}, random),
              "ABab");
}

} // namespace

namespace {

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
    testing::Values(StepCase{"DigitsAndLetters", "サクラ", kDigits, {{"サ", M::Digits, "3"}, {"ク", M::Digits, "9"}, {"ラ", M::Letters, "r"}}},
                    StepCase{"SkippedAndCapital", "　キャ", kNoDigits, {{"　", M::None, ""}, {"キ", M::Letters, "K"}, {"ャ", M::None, ""}}},
                    StepCase{"LongestKey", "ウィン", kDigits, {{"ウィ", M::Letters, "w"}, {"ン", M::Letters, "n"}}},
                    StepCase{"OddByteAtTheEnd", "ア1", kDigits, {{"ア", M::Letters, "a"}, {"1", M::None, ""}}},
                    StepCase{"Empty", "", kDigits, {}}),
    named_cases::CaseName());

} // namespace
