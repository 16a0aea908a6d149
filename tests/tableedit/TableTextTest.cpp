// The table as text: the round trip, every refusal with its line (the
// editor's key checks among them), and the warnings of the check.
#include "tableedit/TableText.h"

#include "support/TableHelpers.h"
#include "support/TempFolder.h"
#include "table/TableFile.h"
#include "tableedit/TableWarnings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

namespace {

using namespace tableedit;

const std::string kHeader = "map\tkey\tvalue\n";

// Export then import is identity: the built-in table is written in the order
// the editor and the file show, control bytes escaped (and read back in
// either case). Every corpus text but those named for their problems is
// accepted; the fuzz target's replay of the same corpus checks that each
// saves, loads and exports again to the same file.
TEST(RoundTrip, ExportThenImportIsIdentity) {
    const std::filesystem::path corpus(Q8XJ_TABLE_TEXT_CORPUS);
    EXPECT_EQ(ExportTableText(Defaults()), ReadWhole(corpus / "defaults.tsv"));
    ConversionTable controls;
    controls.letters.insert_or_assign("\x01\x7F", "a");
    const std::string text = kHeader + "letters\t\\x01\\x7F\ta\n";
    EXPECT_EQ(ExportTableText(controls), text);
    EXPECT_TRUE(SameEntries(ImportTableText(text).table, controls));
    EXPECT_EQ(*ImportTableText(kHeader + "letters\t\\x1a\\x1A\ta\n").table.letters.find("\x1a\x1a"), "a");
    for (const auto& entry : std::filesystem::directory_iterator(corpus)) {
        SCOPED_TRACE(entry.path());
        const std::string name = entry.path().stem().string();
        const ImportedTableText imported = ImportTableText(ReadWhole(entry.path()));
        EXPECT_EQ(imported.problems.empty(), name != "problems" && name != "unstorable");
        if (name == "escapes") { // CR LF, a byte order mark, an empty line, no final line end
            EXPECT_EQ(imported.entries.back().line, 6u);
        }
    }
}

// Every refused line is named, with what is wrong with the first. The key
// checks are the editor's, in its words.
TEST(Refusal, NamesEveryLine) {
    const struct {
        const char* name;
        std::string text; // UTF-8
        std::vector<std::size_t> lines;
        std::string message; // part of the first problem's message
    } rows[] = {
        {"NoHeader", "letters\tア\ta\n", {1}, "見出し行"},
        {"Empty", "", {1}, ""},
        {"TooLong", kHeader + "letters\tア\ta\nletters\tアイウエ\tb\n", {3}, "アイウ "},
        {"Duplicate",
         kHeader + "letters\tカ\tk\n\nletters\tカ\tq\n",
         {4},
         "カ → k は無効になります。（最初は 2 行目）"},
        {"EveryProblemListed",
         kHeader + "letters\tア\tab\ndigits\tイ\ta\nsymbols\tウ\t?\nnumbers\tエ\t1\nletters\tオ\n",
         {2, 3, 4, 5, 6},
         "（a〜z）"},
        {"EmptyKey", kHeader + "digits\t\t1\n", {2}, ""},
        {"BadEscape", kHeader + "letters\tア\\q\ta\nletters\tイ\\x4\ta\n", {2, 3}, ""},
        {"NotCodePage932", kHeader + "letters\t\xF0\x9F\x98\x80\ta\nletters\t\xFF\ta\n", {2, 3}, ""},
        {"ExtraField", kHeader + "letters\tア\ta\tx\n", {2}, "4 項目"},
        // What the table file cannot hold as written: the key would lose its end.
        {"NulInAKey", kHeader + "letters\tア\\x00イ\ta\n", {2}, "キーの 3 バイト目 \\x00"},
        {"FEInAKey", kHeader + "letters\tア\\xFE\tq\nletters\tア\tz\n", {2}, "キーの 3 バイト目 \\xFE"},
        {"NulValue", kHeader + "letters\tア\t\\x00\n", {2}, "値の 1 バイト目 \\x00"},
        {"KeptByteShownAsTheTextWritesIt", kHeader + "letters\t\\x82\tk\nletters\t\\x82\tq\n", {3}, "\\x82 → k"},
        // A user's text in a message stays on its line.
        {"ControlCharactersShownEscaped", kHeader + "\x1b[2J\tア\ta\n", {2}, "「\\x1b[2J」"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const ImportedTableText imported = ImportTableText(row.text);
        std::vector<std::size_t> lines(imported.problems.size());
        std::ranges::transform(imported.problems, lines.begin(), &TextProblem::line);
        ASSERT_EQ(lines, row.lines);
        EXPECT_NE(imported.problems.front().message.find(row.message), std::string::npos)
            << imported.problems.front().message;
    }
}

// The line whose entry takes the table file past what the reader accepts is
// refused, once: the entries before it still fit.
TEST(Refusal, TheLineAtWhichTheFileGrowsTooLarge) {
    const auto key = [](std::size_t i) {
        return std::to_string(100000 + i);
    }; // six bytes each
    std::string text = kHeader;
    for (std::size_t i = 0; i < 120000; ++i) {
        text += "letters\t" + key(i) + "\ta\n";
    }
    const ImportedTableText imported = ImportTableText(text);
    ASSERT_EQ(imported.problems.size(), 1u);
    // The entries before the refused line fit; with it they do not.
    const std::size_t refused = imported.problems[0].line - 2; // the header is line 1
    ConversionTable table;
    for (std::size_t i = 0; i < refused; ++i) {
        table.letters.insert_or_assign(key(i), "a");
    }
    EXPECT_LE(SerializeConversionTable(table).size(), kMaxTableFileBytes);
    table.letters.insert_or_assign(key(refused), "a");
    EXPECT_GT(SerializeConversionTable(table).size(), kMaxTableFileBytes);
}

TEST(Warnings, NameWhatNeverMatchesAndWhatLooksAlike) {
    const std::pair<std::string, std::vector<std::string>> rows[] = {
        // a part of each warning, in order
        {"letters\tア\ta\nletters\t「ー\tb\n", {}},
        {"letters\t　ン\tc\nletters\tン　\td\n", {"　ン には全角スペース", "ン　 には全角スペース"}},
        {"letters\tあ\ta\nletters\tab\tb\nletters\tｱ\tc\nletters\tア\td\n",
         {"あ は入力した言葉には現れない", "ab は入力", "ｱ は入力"}},
        {"letters\t「\tl\ndigits\tイ\t1\n", {"l ← 「（2 行目）、1 ← イ（3 行目）"}},
        {"letters\tイ\ti\ndigits\tイ\t1\n", {"I（大文字）← イ"}},
        {"letters\tオ\to\ndigits\tレ\t0\n", {"O、0 は"}},
        {"letters\t\\x82\tl\ndigits\tイ\t1\n", {"l ← \\x82（2 行目）"}}, // a byte as the text writes it
        {"letters\tオ\to\nletters\t「\tl\n", {}},
    };
    for (const auto& [text, expected] : rows) {
        SCOPED_TRACE(text);
        const ImportedTableText imported = ImportTableText(kHeader + text);
        ASSERT_TRUE(imported.problems.empty());
        const auto warnings = TableWarnings(imported.entries);
        ASSERT_EQ(warnings.size(), expected.size());
        for (std::size_t i = 0; i < warnings.size(); ++i) {
            EXPECT_NE(warnings[i].message.find(expected[i]), std::string::npos) << warnings[i].message;
        }
    }
}

} // namespace
