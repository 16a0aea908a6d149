#include "convert/Conversion.h"

#include "support/Sjis.h"
#include "table/DefaultTable.h"

#include <gtest/gtest.h>

#include <optional>
#include <tuple>
#include <vector>

namespace {

constexpr ConversionOptions kDigits{true, true, false};
constexpr ConversionOptions kNoDigits{false, true, false};
constexpr ConversionOptions kRandom{false, true, true};

// A small table whose maps all hold サ, with longer letter keys.
ConversionTable SmallTable() {
    ConversionTable t;
    const std::tuple<TableMap, const char*, const char*> entries[] = {
        {TableMap::Letters, "サ", "s"},   {TableMap::Digits, "サ", "3"},      {TableMap::Symbols, "サ", "*"},
        {TableMap::Letters, "サク", "q"}, {TableMap::Letters, "サクラ", "z"}, {TableMap::Letters, "ラ", "r"},
        {TableMap::Letters, "ア", "ab"}};
    for (const auto& [map, key, value] : entries) {
        t.Map(map).SetAt(Sjis(key), value);
    }
    return t;
}

// Steps tell the map each character used, or nothing when it was skipped;
// together they account for the whole password and the whole phrase.
TEST(Conversion, GivesThePasswordStepByStep) {
    ConversionTable defaults;
    FillDefaultTable(defaults);
    const ConversionTable small = SmallTable();
    struct Row {
        const char* katakana; // UTF-8
        ConversionOptions options;
        const char* password;
        bool ownTable = false;
        std::uint32_t seed = 1; // seed 1 draws 41, 18467, 6334, 26500, 19169: odd is upper case
    };
    const Row rows[] = {
        {"サクラ", kDigits, "39r"},
        {"サクラ　サクラ", kDigits, "39r39r"}, // a digit uses up the pending capital
        {"　サクラ", kNoDigits, "Skr"},
        {"サクラ　", kNoDigits, "skr"},
        {"　ャーサ", kNoDigits, "S"}, // the capital waits over unmatched characters
        {"ウィンドウ", kDigits, "wndu"},
        {"キャット", kDigits, "kt"},
        {"1サクラ", kDigits, ""}, // a single byte misaligns the rest
        {"イ", kNoDigits, "i"},
        {"ンチヴ（「", kNoDigits, "ncvxl"},
        {"さ漢カ", kNoDigits, "k"},
        {"サクラ", kRandom, "SKr"},
        {"ャャサ", kRandom, "s"},
        {"ャ　サクラ", kRandom, "skR"},
        {"サクラ", {true, true, true}, "39r"},
        {"サ", {true, true, false}, "*", true},
        {"サ", {true, false, false}, "3", true},
        {"サ", {false, false, false}, "s", true},
        {"サクラ", kDigits, "z", true},
        {"サクサラ", kDigits, "q*r", true}, // a longer letter key beats a symbol
        {"　アア", {false, false, false}, "ABab", true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.katakana);
        const ConversionTable& table = row.ownTable ? small : defaults;
        CrtRandom random;
        random.srand(row.seed);
        const std::string phrase = Sjis(row.katakana);
        std::vector<ConversionStep> steps;
        EXPECT_EQ(ConvertKatakana(phrase, table, row.options, random, &steps), row.password);
        std::string joined;
        std::size_t end = 0;
        for (const ConversionStep& step : steps) {
            EXPECT_EQ(step.position, end);
            EXPECT_EQ(step.map.has_value(), !step.output.empty());
            joined += step.output;
            end = step.position + step.length;
        }
        EXPECT_EQ(joined, row.password);
        EXPECT_EQ(end, phrase.size());
    }
}

TEST(Conversion, StepsNameTheMapAndTheKey) {
    ConversionTable table;
    FillDefaultTable(table);
    using Step = std::tuple<std::string, std::optional<TableMap>, std::string>;
    const std::pair<const char*, std::vector<Step>> rows[] = {
        {"サクラ",
         {{"サ", TableMap::Digits, "3"}, {"ク", TableMap::Digits, "9"}, {"ラ", TableMap::Letters, "r"}}},
        {"　ウィャ1", {{"　", {}, ""}, {"ウィ", TableMap::Letters, "W"}, {"ャ", {}, ""}, {"1", {}, ""}}},
    };
    for (const auto& [katakana, expected] : rows) {
        SCOPED_TRACE(katakana);
        const std::string phrase = Sjis(katakana);
        CrtRandom random;
        std::vector<ConversionStep> steps;
        ConvertKatakana(phrase, table, kDigits, random, &steps);
        std::vector<Step> got;
        for (const ConversionStep& step : steps) {
            got.emplace_back(cp932::ToUtf8(phrase.substr(step.position, step.length)), step.map, step.output);
        }
        EXPECT_EQ(got, expected);
    }
}

// One draw per step and none more.
TEST(Conversion, RandomModeDrawsOncePerStep) {
    ConversionTable t;
    FillDefaultTable(t);
    CrtRandom random;
    random.srand(1765000000);
    ConvertKatakana(Sjis("アイウエオカキクケコサシスセソタチツテト"), t, kRandom, random);
    CrtRandom reference;
    reference.srand(1765000000);
    for (int i = 0; i < 20; ++i) {
        reference.rand();
    }
    EXPECT_EQ(random.State(), reference.State());
}

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
        for (const ConversionOptions& options : {kDigits, kRandom}) {
            CrtRandom random;
            std::vector<ConversionStep> steps;
            const std::string phrase = Sjis(row.katakana);
            ConvertKatakana(phrase, table, options, random, &steps);
            EXPECT_EQ(SkippedNotice(phrase, steps), row.notice.empty() ? "" : Sjis(row.notice));
        }
    }
}

} // namespace
