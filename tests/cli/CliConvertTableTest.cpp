// q8xj-cli convert and table, run as a program without a display: one row
// per path against the core, the table text's round trip through the table
// file, and each failure as one line on standard error, with its exit code and
// nothing written.
#include "CliRunner.h"

#include "cli/HelpText.h"
#include "convert/Conversion.h"
#include "platform/Cp932.h"
#include "strength/PasswordStrength.h"
#include "table/DefaultTable.h"
#include "table/TableFile.h"
#include "tableedit/TableText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ctime>
#include <regex>
#include <set>

#include <sys/stat.h>

namespace {

ConversionTable DefaultTable() {
    ConversionTable table;
    FillDefaultTable(table);
    return table;
}

const std::string kHeader = "map\tkey\tvalue\n";

// A table with symbols, so that --no-symbols has something to take away.
const std::string kSymbolsText =
    kHeader +
    "letters\tサ\ts\nletters\tク\tk\nletters\tラ\tr\ndigits\tサ\t3\nsymbols\tサクラ\t*\nsymbols\tク\t#\n";

// One line on standard error, the program's name first.
void ExpectOneErrorLine(const CliResult& result) {
    EXPECT_EQ(result.err.rfind("q8xj-cli: ", 0), 0u) << result.err;
    EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << result.err;
    EXPECT_EQ(result.err.back(), '\n');
}

TEST(Convert, PrintsWhatTheCoreConversionGives) {
    const struct {
        const char* name;
        std::vector<std::string> args;
        std::string katakana; // UTF-8, what the conversion reads
        ConversionOptions options;
        bool symbolsTable = false;
    } rows[] = {
        {"plain", {"サクラ"}, "サクラ", {true, true, false}},
        {"random case seeded",
         {"--random-case", "--seed", "0", "ニホンノサクラ"},
         "ニホンノサクラ",
         {true, true, true}},
        {"empty phrase", {""}, "", {true, true, false}},
        {"half-width as pasted", {"ｻ ｸﾗ"}, "サ　クラ", {true, true, false}},
        {"romaji",
         {"--romaji", "--no-digits", "KITTE konnnichiha"},
         "キッテ　コンニチハ",
         {false, true, false}},
        {"no symbols", {"--no-symbols", "サクラク"}, "サクラク", {true, false, false}, true},
        {"no digits keeps symbols", {"--no-digits", "サクラク"}, "サクラク", {false, true, false}, true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        CliRunner cli;
        std::vector<std::string> args{"convert"};
        ConversionTable table = DefaultTable();
        if (row.symbolsTable) {
            cli.WriteFile("in.tsv", kSymbolsText);
            ASSERT_EQ(cli.Run({"table", "import", "in.tsv", "--table", "sym.xj"}).code, 0);
            args.insert(args.end(), {"--table", "sym.xj"});
            table = tableedit::ImportTableText(kSymbolsText).table;
        }
        args.insert(args.end(), row.args.begin(), row.args.end());
        CrtRandom random;
        random.srand(0);
        const CliResult result = cli.Run(args);
        EXPECT_EQ(result.code, 0) << result.err;
        EXPECT_EQ(result.out,
                  cp932::ToUtf8(ConvertKatakana(cp932::Text(row.katakana), table, row.options, random)) +
                      "\n");
        EXPECT_EQ(result.err, "");
    }
}

TEST(Convert, ReadsOneLineOfStandardInputPerPhraseAfterTheArguments) {
    CliRunner cli;
    // Plain phrases here: the katakana of standard input are not romaji.
    const CliResult result = cli.Run({"convert", "サクラ", "-"}, "sakura\r\n\nikura\n");
    EXPECT_EQ(result.code, 0) << result.err;
    EXPECT_EQ(result.out, "39r\n\n\n\n");
    EXPECT_EQ(cli.Run({"convert", "--romaji", "-"}, "sakura\nikura\n").out, "39r\n19r\n");
}

TEST(Convert, ExplainShowsEachStepsEntryAndSkip) {
    CliRunner cli;
    const CliResult result = cli.Run({"convert", "--explain", "--no-digits", "　サャ"});
    EXPECT_EQ(result.code, 0) << result.err;
    // The password, one line per step (the character, the map or a skip, a
    // note on the capital), then the estimate.
    const std::regex steps("^S\n  　\tスキップ\t[^\n]+\n  サ\tletters\ts → S[^\n]*\n  ャ\tスキップ\n");
    EXPECT_TRUE(std::regex_search(result.out, steps)) << result.out;
    // With random case a space makes no capital.
    const CliResult random = cli.Run({"convert", "--explain", "--random-case", "--seed", "1", "　サ"});
    EXPECT_NE(random.out.find("\n  　\tスキップ\n"), std::string::npos) << random.out;
}

// Each password, its bits with one decimal and its band, against the core's
// estimate; an empty password has none; --explain ends with the estimate.
TEST(Convert, StrengthPrintsTheCoresEstimateAfterEachPassword) {
    CliRunner cli;
    const CliResult result = cli.Run({"convert", "--strength", "サクラ", ""});
    EXPECT_EQ(result.code, 0) << result.err;
    const auto estimate = strength::EstimatePassword("39r");
    const std::string band = cp932::ToUtf8(strength::BandName(estimate->band));
    std::smatch line;
    ASSERT_TRUE(std::regex_match(result.out, line, std::regex("39r\t([0-9]+\\.[0-9])\t(.+)\n\t\t\n")))
        << result.out;
    EXPECT_NEAR(std::stod(line[1]), estimate->bits, 0.05);
    EXPECT_EQ(line[2], band);
    const std::string explained = cli.Run({"convert", "--explain", "サクラ"}).out;
    EXPECT_NE(explained.find(line[1].str() + " ビット\t" + band + "\n"), std::string::npos) << explained;
}

// What no entry converts is named in a warning; a missing named table file
// gives the built-in table with a warning. The exit code stays 0.
TEST(Convert, WarnsOnStandardErrorWithTheExitCodeKept) {
    CliRunner cli;
    for (const auto& args : std::vector<std::vector<std::string>>{
             {"convert", "桜サクラ"}, {"convert", "--table", "none.xj", "サクラ"}}) {
        SCOPED_TRACE(args[1]);
        const CliResult result = cli.Run(args);
        EXPECT_EQ(result.code, 0);
        EXPECT_EQ(result.out, "39r\n");
        ExpectOneErrorLine(result);
        EXPECT_NE(result.err.find(args[1] == "桜サクラ" ? "桜" : "none.xj"), std::string::npos);
    }
}

// Each phrase is seeded with the time of its own conversion, some second of the run.
TEST(Convert, RandomCaseWithoutASeedIsSeededFromTheTimeLikeTheWindow) {
    CliRunner cli;
    const std::string phrase = "アイウエオカキクケコサシスセソタチツテト";
    const auto before = static_cast<std::uint32_t>(std::time(nullptr));
    const std::string out = cli.Run({"convert", "--random-case", "--no-digits", phrase, phrase}).out;
    std::set<std::string> possible;
    for (auto t = before; t <= static_cast<std::uint32_t>(std::time(nullptr)); ++t) {
        CrtRandom random;
        random.srand(t);
        possible.insert(ConvertKatakana(cp932::Text(phrase), DefaultTable(), {false, true, true}, random) +
                        "\n");
    }
    const std::size_t cut = out.find('\n') + 1;
    EXPECT_TRUE(possible.contains(out.substr(0, cut)) && possible.contains(out.substr(cut))) << out;
}

// --- table file and text -----------------------------------------------------

// Without a table file the built-in table is exported; a table file goes out
// and comes back byte for byte, through files and through the standard streams.
TEST(Table, ExportedThenImportedGivesTheSameTableFileBytes) {
    CliRunner cli;
    ASSERT_EQ(cli.Run({"table", "export", "out.tsv"}).code, 0);
    ASSERT_EQ(cli.Run({"table", "import", "out.tsv", "--table", "copy.xj"}).code, 0);
    EXPECT_EQ(cli.Run({"table", "export", "--table", "copy.xj"}).out, cli.ReadFile("out.tsv"));
    EXPECT_EQ(cli.ReadFile("out.tsv"), tableedit::ExportTableText(DefaultTable()));
    ConversionTable table = DefaultTable();
    table.symbols.SetAt(cp932::Text("ヲ"), "~");
    table.letters.SetAt(cp932::Text("ヴァ"), "v");
    table.digits.RemoveAll();
    ASSERT_FALSE(SaveConversionTable(table, cli.Folder() / "Q8.xj"));
    const std::string before = cli.ReadFile("Q8.xj");
    ASSERT_EQ(cli.Run({"table", "export", "out.tsv"}).code, 0);
    ASSERT_EQ(cli.Run({"table", "import", "out.tsv", "--table", "copy.xj"}).code, 0);
    EXPECT_EQ(cli.ReadFile("copy.xj"), before);
    ASSERT_EQ(cli.Run({"table", "import", "-"}, cli.Run({"table", "export"}).out).code, 0);
    EXPECT_EQ(cli.ReadFile("Q8.xj"), before);
}

// Import and check refuse the lines the core refuses, each with its line
// number, and the table file stays as it was; check adds the warnings and a
// summary on standard output.
TEST(Table, ImportAndCheckRefuseEachBadLineWithItsNumber) {
    CliRunner cli;
    const std::string before = SerializeConversionTable(DefaultTable());
    cli.WriteFile("Q8.xj", before);
    const std::string text =
        kHeader + "letters\tカ\tk\nletters\tアイウエ\ta\nletters\tカ\tq\nletters\tア\t\\x00\n";
    cli.WriteFile("bad.tsv", text);
    std::string lines;
    for (const auto& problem : tableedit::ImportTableText(text).problems) {
        lines += "bad.tsv:" + std::to_string(problem.line) + ": " + problem.message + "\n";
    }
    const CliResult imported = cli.Run({"table", "import", "bad.tsv"});
    EXPECT_EQ(imported.code, 5);
    EXPECT_EQ(imported.err.substr(0, lines.size()), lines);
    EXPECT_EQ(cli.ReadFile("Q8.xj"), before);
    const CliResult checked = cli.Run({"table", "check", "bad.tsv"});
    EXPECT_EQ(checked.code, 5);
    EXPECT_EQ(checked.out.substr(0, lines.size()), lines);

    cli.WriteFile("t.tsv", kHeader + "letters\tab\ta\nletters\t「\tl\ndigits\tイ\t1\n");
    const CliResult warned = cli.Run({"table", "check", "t.tsv"});
    EXPECT_EQ(warned.code, 0);
    EXPECT_TRUE(std::regex_match(warned.out, std::regex("t\\.tsv:2: 警告: [^\n]+\nt\\.tsv: 警告: [^\n]+\n"
                                                        "t\\.tsv: 3 項目を検査、問題 0 件、警告 2 件\n")))
        << warned.out;
    // The table file is checked through its text, its lines named by their entries.
    const CliResult file = cli.Run({"table", "check"});
    EXPECT_EQ(file.code, 0);
    EXPECT_NE(file.out.find("Q8.xj: 93 項目を検査、問題 0 件、警告 2 件\n"), std::string::npos) << file.out;
    ASSERT_EQ(cli.Run({"table", "import", "t.tsv"}).code, 0);
    EXPECT_EQ(cli.Run({"table", "check"}).out.find("Q8.xj: letters ab a: 警告: "), 0u);
}

TEST(Help, EndsWithTheExitCodes) {
    CliRunner cli;
    for (const auto& args :
         std::vector<std::vector<std::string>>{{"--help"}, {"convert", "--help"}, {"table", "-h"}}) {
        const CliResult result = cli.Run(args);
        EXPECT_EQ(result.code, 0);
        EXPECT_TRUE(result.out.ends_with(cli::kExitCodesHelp)) << args.front();
    }
}

// Every failure: its exit code, one line on standard error (the user's text in
// it escaped and cut on a character), nothing on standard output, no file
// written or changed, never a wait.
TEST(Failure, OneLineOnStandardErrorTheCodeAndNothingWritten) {
    const struct {
        const char* name;
        std::vector<std::string> args;
        int code;
        std::string input = {};
        std::string shown = {}; // how the user's text shows in the message
        std::string table = {}; // the table file, when not the built-in table's
    } rows[] = {
        {"no command", {}, 2},
        {"unknown command", {"make"}, 2},
        {"unknown option", {"convert", "--digits", "サ"}, 2},
        {"missing value", {"convert", "サ", "--table"}, 2},
        {"no phrase", {"convert"}, 2},
        {"bad seed", {"convert", "--seed", "-1", "サ"}, 2},
        {"seed too large", {"convert", "--seed", "4294967296", "サ"}, 2},
        {"standard input twice", {"convert", "-", "-"}, 2},
        {"no table action", {"table"}, 2},
        {"unknown table action", {"table", "dump"}, 2},
        {"import without a file", {"table", "import"}, 2},
        {"two files to check", {"table", "check", "good.tsv", "good.tsv"}, 2},
        {"not code page 932", {"convert", "サクラ", "ア😀"}, 4, "", "「ア😀」"},
        {"not code page 932 from input", {"convert", "-"}, 4, "\xFF\n", "「\\xff」"},
        {"control characters escaped", {"convert", "ア\x1b[2J\n😀"}, 4, "", "「ア\\x1b[2J\\n😀」"},
        {"nul escaped", {"convert", "--explain", "-"}, 4, std::string("サ\0クラ\n", 11), "「サ\\x00クラ」"},
        {"longer than the field", {"convert", std::string(36, 'a')}, 4, "", " 72 "},
        {"longer cut on a character", {"convert", std::string(39, 'a') + "😀😀"}, 4, "", "a😀…」"},
        {"damaged table", {"convert", "サ"}, 3, "", "", std::string("\x03\x00\xFF\xFF", 4)},
        {"table is a device", {"convert", "--table", "/dev/null", "サ"}, 3},
        {"table is a folder", {"convert", "--table", ".", "サ"}, 3},
        {"table is a FIFO", {"convert", "--table", "fifo", "サ"}, 3},
        {"unreadable table", {"convert", "--table", "unreadable.xj", "サ"}, 3},
        {"import of a missing file", {"table", "import", "none.tsv"}, 3, "", "none.tsv"},
        {"endless text to import", {"table", "import", "/dev/zero"}, 3},
        {"a line past the line limit", {"convert", "-"}, 3, std::string(70000, 'a')},
        {"export into a file", {"table", "export", "good.tsv/out.tsv"}, 6},
        {"export over the table being read", {"table", "export", "Q8.xj"}, 6},
        {"import into a missing folder", {"table", "import", "good.tsv", "--table", "none/Q8.xj"}, 6},
        {"import over a read-only table", {"table", "import", "good.tsv", "--table", "readonly.xj"}, 6},
        {"import with an empty table name", {"table", "import", "good.tsv", "--table", ""}, 6},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        CliRunner cli;
        cli.WriteFile("Q8.xj", row.table.empty() ? SerializeConversionTable(DefaultTable()) : row.table);
        cli.WriteFile("readonly.xj", "old");
        ::chmod((cli.Folder() / "readonly.xj").c_str(), 0444);
        cli.WriteFile("unreadable.xj", "old"); // damaged too, as root reads any file
        ::chmod((cli.Folder() / "unreadable.xj").c_str(), 0);
        cli.WriteFile("good.tsv", kHeader + "letters\tア\ta\n");
        ::mkfifo((cli.Folder() / "fifo").c_str(), 0600);
        const auto before = cli.ReadFile("Q8.xj") + cli.ReadFile("readonly.xj");
        const CliResult result = cli.Run(row.args, row.input);
        EXPECT_EQ(result.code, row.code) << result.err;
        ExpectOneErrorLine(result);
        EXPECT_NE(result.err.find(row.shown), std::string::npos) << result.err;
        EXPECT_EQ(result.out, "");
        EXPECT_EQ(cli.ReadFile("Q8.xj") + cli.ReadFile("readonly.xj"), before);
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(cli.Folder()), {}), 5);
    }
}

} // namespace
