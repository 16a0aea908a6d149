// The table as text: the round trip to the same table file bytes, every
// refusal with its line (the editor's key checks among them, also met through
// the dialog's save), and the warnings of the check.
#include "tableedit/TableText.h"

#include "support/NamedCases.h"
#include "support/Sjis.h"
#include "table/DefaultTable.h"
#include "table/TableFile.h"
#include "tableedit/TableWarnings.h"

#include <gtest/gtest.h>

#include <random>

namespace {

using namespace tableedit;

// --- Round trip ------------------------------------------------------------

ConversionTable RandomTable(unsigned seed) {
    // Keys of one to three katakana from a small set, so that buckets are shared.
    std::mt19937 rng(seed);
    const std::string kana = Sjis("アイウエオカキクケコサシスセソタチツテト");
    ConversionTable table;
    const auto key = [&] {
        std::string k;
        const int chars = 1 + static_cast<int>(rng() % 3);
        for (int i = 0; i < chars; ++i) {
            k += kana.substr(2 * (rng() % (kana.size() / 2)), 2);
        }
        return k;
    };
    for (int i = 0; i < 60; ++i) {
        table.letters.SetAt(key(), std::string(1, static_cast<char>('a' + rng() % 26)));
    }
    for (int i = 0; i < 20; ++i) {
        table.digits.SetAt(key(), std::string(1, static_cast<char>('0' + rng() % 10)));
        table.symbols.SetAt(key(), std::string(1, TableMapOutputs(TableMap::Symbols)[rng() % 15]));
    }
    return table;
}

// A table as it comes back from its file: the order of the file decides the maps' order.
ConversionTable Reloaded(const ConversionTable& table) {
    ConversionTable loaded;
    EXPECT_EQ(ParseConversionTable(SerializeConversionTable(table), loaded), TableReadError::None);
    return loaded;
}

class RoundTrip : public testing::TestWithParam<unsigned> {};

TEST_P(RoundTrip, ExportedTextImportsToTheSameFileBytes) {
    ConversionTable table;
    if (GetParam() == 0) {
        FillDefaultTable(table);
    } else {
        table = RandomTable(GetParam());
    }
    // The file as the program writes it, and the table read back from it.
    const std::string file = SerializeConversionTable(table);
    const ConversionTable loaded = Reloaded(table);

    const ImportedTableText imported = ImportTableText(ExportTableText(loaded));
    ASSERT_TRUE(imported.problems.empty()) << imported.problems.front().message;
    EXPECT_EQ(SerializeConversionTable(imported.table), file);
    EXPECT_EQ(imported.entries.size(), table.GetCount());

    // The text lists the letters in the order the file holds them: the order of
    // a map of the stored (shifted) keys filled from the saved map.
    CMapStringToString stored;
    for (const auto& entry : table.letters) {
        std::string shifted = entry.key;
        for (char& b : shifted) {
            b = static_cast<char>(static_cast<unsigned char>(b) + 2);
        }
        stored.SetAt(shifted, entry.key);
    }
    std::vector<std::string> fileOrder;
    for (const auto& entry : stored) {
        fileOrder.push_back(entry.value);
    }
    std::vector<std::string> textOrder;
    for (const auto& entry : imported.entries) {
        if (entry.map == TableMap::Letters) {
            textOrder.push_back(entry.key);
        }
    }
    EXPECT_EQ(textOrder, fileOrder);
}

INSTANTIATE_TEST_SUITE_P(Tables, RoundTrip, testing::Values(0u, 1u, 2u, 3u, 4u, 5u));

TEST(RoundTrip, BytesThatAreNoCharacterComeBackAsTheyWere) {
    ConversionTable table;
    const std::vector<std::string> keys{"a\\b",     "\t\r\n",       std::string("\x81", 1),
                                        "\x7F\x01", "\x80\xA0\xFD", Sjis("＼〜")};
    for (std::size_t i = 0; i < keys.size(); ++i) {
        table.letters.SetAt(keys[i], std::string(1, static_cast<char>('a' + i)));
    }
    const std::string text = ExportTableText(table);
    EXPECT_EQ(text.find('\r'), std::string::npos);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), static_cast<long>(keys.size() + 1));

    // Import rejects the keys that are too long or oddly made only through the editor's checks.
    const ImportedTableText imported = ImportTableText(text);
    ASSERT_TRUE(imported.problems.empty()) << imported.problems.front().message;
    for (std::size_t i = 0; i < keys.size(); ++i) {
        const std::string* value = imported.table.letters.Lookup(keys[i]);
        ASSERT_NE(value, nullptr) << i;
        EXPECT_EQ(*value, std::string(1, static_cast<char>('a' + i)));
    }
}

// --- Refusals ----------------------------------------------------------------

struct RefusalCase {
    const char* name;
    std::string text; // UTF-8
    std::vector<std::size_t> lines;
    std::string message; // part of the first problem's message
    friend void PrintTo(const RefusalCase& row, std::ostream* os) { *os << row.name; }
};

class Refusal : public testing::TestWithParam<RefusalCase> {};

TEST_P(Refusal, NamesEveryLineAndSetsNothingUsable) {
    const auto& c = GetParam();
    const ImportedTableText imported = ImportTableText(c.text);
    std::vector<std::size_t> lines;
    for (const auto& problem : imported.problems) {
        lines.push_back(problem.line);
    }
    EXPECT_EQ(lines, c.lines);
    ASSERT_FALSE(imported.problems.empty());
    EXPECT_NE(imported.problems.front().message.find(c.message), std::string::npos)
        << imported.problems.front().message;
}

const std::string kHeader = "map\tkey\tvalue\n";

INSTANTIATE_TEST_SUITE_P(
    Texts, Refusal,
    testing::Values(
        RefusalCase{"NoHeader", "letters\tア\ta\n", {1}, "見出し行"},
        RefusalCase{"Empty", "", {1}, "テキストが空です"},
        RefusalCase{"TooLongInTheEditorsWords",
                    kHeader + "letters\tア\ta\nletters\tアイウエ\tb\n",
                    {3},
                    "アイウエ は、３文字以上です。 アイウ に切り詰めます。"},
        RefusalCase{"DuplicateInTheEditorsWords",
                    kHeader + "letters\tカ\tk\n\nletters\tカ\tq\n",
                    {4},
                    "カ が k と q で指定されています。 カ → k は無効になります。（最初は 2 行目）"},
        RefusalCase{"EveryProblemListed",
                    kHeader + "letters\tア\t1\ndigits\tイ\ta\nsymbols\tウ\t?\nnumbers\tエ\t1\nletters\tオ\n",
                    {2, 3, 4, 5, 6},
                    "letters の出力ではありません（a〜z）"},
        RefusalCase{"EmptyKey", kHeader + "digits\t\t1\n", {2}, "キーが空です"},
        RefusalCase{"TwoCharacterValue", kHeader + "letters\tア\tab\n", {2}, "a〜z"},
        RefusalCase{"CapitalValue", kHeader + "letters\tア\tA\n", {2}, "a〜z"},
        RefusalCase{
            "BadEscape", kHeader + "letters\tア\\q\ta\nletters\tイ\\x4\ta\n", {2, 3}, "バックスラッシュ"},
        RefusalCase{"NotCodePage932",
                    kHeader + "letters\t\xF0\x9F\x98\x80\ta\nletters\t\xFF\ta\n",
                    {2, 3},
                    "CP932 で表せない文字"},
        RefusalCase{"ExtraField", kHeader + "letters\tア\ta\tx\n", {2}, "4 項目あります"}),
    named_cases::CaseName());

TEST(Import, AcceptsCrLfByteOrderMarkAndNoFinalLineEnd) {
    const ImportedTableText imported =
        ImportTableText("\xEF\xBB\xBFmap\tkey\tvalue\r\nletters\tア\ta\r\n\r\nsymbols\tイ\t|");
    ASSERT_TRUE(imported.problems.empty()) << imported.problems.front().message;
    ASSERT_EQ(imported.entries.size(), 2u);
    EXPECT_EQ(imported.entries[1].line, 4u);
    EXPECT_EQ(*imported.table.symbols.Lookup(Sjis("イ")), "|");
    // The same key may stand in two maps, as in the built-in table.
    EXPECT_TRUE(ImportTableText(kHeader + "letters\tイ\ti\ndigits\tイ\t1\n").problems.empty());
}

// --- Warnings ----------------------------------------------------------------

struct WarningCase {
    const char* name;
    std::string text;
    std::vector<std::string> warnings; // a part of each, in order
    friend void PrintTo(const WarningCase& row, std::ostream* os) { *os << row.name; }
};

class Warnings : public testing::TestWithParam<WarningCase> {};

TEST_P(Warnings, NameWhatNeverMatchesAndWhatLooksAlike) {
    const auto& c = GetParam();
    const ImportedTableText imported = ImportTableText(c.text);
    ASSERT_TRUE(imported.problems.empty());
    const auto warnings = TableWarnings(imported.entries);
    ASSERT_EQ(warnings.size(), c.warnings.size());
    for (std::size_t i = 0; i < warnings.size(); ++i) {
        EXPECT_NE(warnings[i].message.find(c.warnings[i]), std::string::npos) << warnings[i].message;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Tables, Warnings,
    testing::Values(WarningCase{"AnyDoubleByteKeyCanBeTyped",
                                kHeader + "letters\tア\ta\nletters\t「ー\tb\nletters\t　ン\tc\n"
                                          "letters\t山\td\nletters\tＳ\te\n",
                                {}},
                    WarningCase{"HiraganaAsciiAndHalfWidthNeverMatch",
                                kHeader + "letters\tあ\ta\nletters\tab\tb\nletters\tｱ\tc\nletters\tア\td\n",
                                {"あ は入力した言葉には現れない", "ab は入力", "ｱ は入力"}},
                    WarningCase{"LAndOneLookAlike",
                                kHeader + "letters\t「\tl\ndigits\tイ\t1\n",
                                {"l ← 「（2 行目）、1 ← イ（3 行目）"}},
                    WarningCase{
                        "CapitalIAndOne", kHeader + "letters\tイ\ti\ndigits\tイ\t1\n", {"I（大文字）← イ"}},
                    WarningCase{"CapitalOAndZero", kHeader + "letters\tオ\to\ndigits\tレ\t0\n", {"O、0 は"}},
                    WarningCase{"OneOfAGroupIsFine", kHeader + "letters\tオ\to\nletters\t「\tl\n", {}}),
    named_cases::CaseName());

} // namespace
