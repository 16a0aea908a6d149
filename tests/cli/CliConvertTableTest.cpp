// q8xj-cli convert and table, run as a program without a display: passwords
// against the core conversion, the table text's round trip through the table
// file, and every failure's exit code, message and absence of output.
#include "CliRunner.h"

#include "convert/Conversion.h"
#include "platform/Cp932.h"
#include "strength/PasswordStrength.h"
#include "support/NamedCases.h"
#include "table/DefaultTable.h"
#include "table/TableFile.h"
#include "tableedit/TableText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <ctime>
#include <regex>
#include <sstream>

#include <sys/stat.h>

namespace {

ConversionTable DefaultTable() {
    ConversionTable table;
    FillDefaultTable(table);
    return table;
}

// A table with symbols, so that --no-symbols has something to take away.
const std::string kSymbolsText = "map\tkey\tvalue\n"
                                 "letters\tサ\ts\n"
                                 "letters\tク\tk\n"
                                 "letters\tラ\tr\n"
                                 "digits\tサ\t3\n"
                                 "symbols\tサクラ\t*\n"
                                 "symbols\tク\t#\n";

ConversionTable SymbolsTable() {
    ConversionTable table = DefaultTable();
    table.RemoveAll();
    table.letters.SetAt(cp932::Text("サ"), "s");
    table.letters.SetAt(cp932::Text("ク"), "k");
    table.letters.SetAt(cp932::Text("ラ"), "r");
    table.digits.SetAt(cp932::Text("サ"), "3");
    table.symbols.SetAt(cp932::Text("サクラ"), "*");
    table.symbols.SetAt(cp932::Text("ク"), "#");
    return table;
}

// --- convert against the core ----------------------------------------------

struct ConvertCase {
    const char* name;
    std::vector<std::string> options;
    std::string phrase;   // UTF-8, given as typed
    std::string katakana; // UTF-8, what the conversion reads
    bool symbolsTable = false;
    friend void PrintTo(const ConvertCase& row, std::ostream* os) { *os << row.name; }
};

ConversionOptions OptionsOf(const std::vector<std::string>& options) {
    const auto has = [&](const char* o) {
        return std::find(options.begin(), options.end(), o) != options.end();
    };
    return {!has("--no-digits"), !has("--no-symbols"), has("--random-case")};
}

class Convert : public testing::TestWithParam<ConvertCase> {};

TEST_P(Convert, PrintsWhatTheCoreConversionGives) {
    const auto& c = GetParam();
    CliRunner cli;
    std::vector<std::string> args{"convert"};
    args.insert(args.end(), c.options.begin(), c.options.end());
    ConversionTable table = DefaultTable();
    if (c.symbolsTable) {
        cli.WriteFile("in.tsv", kSymbolsText);
        ASSERT_EQ(cli.Run({"table", "import", "in.tsv", "--table", "sym.xj"}).code, 0);
        args.insert(args.end(), {"--table", "sym.xj"});
        table = SymbolsTable();
    }
    args.push_back(c.phrase);

    CrtRandom random;
    random.srand(7);
    const std::string expected =
        cp932::ToUtf8(ConvertKatakana(cp932::Text(c.katakana), table, OptionsOf(c.options), random)) + "\n";
    const CliResult result = cli.Run(args);
    EXPECT_EQ(result.code, 0) << result.err;
    EXPECT_EQ(result.out, expected);
    EXPECT_EQ(result.err, "");
}

INSTANTIATE_TEST_SUITE_P(
    Phrases, Convert,
    testing::Values(
        ConvertCase{"Sakura", {}, "サクラ", "サクラ"},
        ConvertCase{"SakuraNoDigits", {"--no-digits"}, "サクラ", "サクラ"},
        ConvertCase{"RandomCaseSeeded",
                    {"--random-case", "--seed", "7", "--no-digits"},
                    "サクラ　ハナミ",
                    "サクラ　ハナミ"},
        ConvertCase{
            "RandomCaseSeededDigits", {"--random-case", "--seed", "7"}, "ニホンノサクラ", "ニホンノサクラ"},
        ConvertCase{"EmptyPhrase", {}, "", ""}, ConvertCase{"HalfWidthAsPasted", {}, "ｻ ｸﾗ", "サ　クラ"},
        ConvertCase{"Romaji", {"--romaji"}, "sakura", "サクラ"},
        ConvertCase{"RomajiSpaceCapitalsAndN",
                    {"--romaji", "--no-digits"},
                    "KITTE konnnichiha",
                    "キッテ　コンニチハ"},
        ConvertCase{"SymbolsWin", {}, "サクラク", "サクラク", true},
        ConvertCase{"NoSymbols", {"--no-symbols"}, "サクラク", "サクラク", true},
        ConvertCase{"NoDigitsKeepsSymbols", {"--no-digits"}, "サクラク", "サクラク", true}),
    named_cases::CaseName());

TEST(ConvertInput, OneLineOfStandardInputPerPhraseAfterTheArguments) {
    CliRunner cli;
    const CliResult result = cli.Run({"convert", "サクラ", "-"}, "sakura\r\n\nikura\n");
    // Plain phrases here: the katakana of standard input are not romaji.
    EXPECT_EQ(result.code, 0) << result.err;
    EXPECT_EQ(result.out, "39r\n\n\n\n");

    const CliResult romaji = cli.Run({"convert", "--romaji", "-"}, "sakura\nikura\n");
    EXPECT_EQ(romaji.out, "39r\n19r\n");
}

TEST(ConvertExplain, ShowsEachStepsEntryAndSkip) {
    CliRunner cli;
    const CliResult result = cli.Run({"convert", "--explain", "--no-digits", "　サャ"});
    EXPECT_EQ(result.code, 0) << result.err;
    // The steps, then the estimate (see ConvertStrength).
    const std::string steps = "S\n"
                              "  　\tスキップ\t（全角スペース: 次の文字を大文字にします）\n"
                              "  サ\tletters\ts → S（大文字）\n"
                              "  ャ\tスキップ\n";
    EXPECT_EQ(result.out.substr(0, steps.size()), steps);
}

// Each password, its bits with one decimal and its band, against the core's
// estimate; an empty password has none; --explain ends with the estimate.
TEST(ConvertStrength, PrintsTheCoresEstimateAfterEachPassword) {
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

TEST(ConvertWarning, NamesWhatNoEntryConvertsOnStandardErrorWithTheExitCodeKept) {
    CliRunner cli;
    const CliResult result = cli.Run({"convert", "桜サクラ"});
    EXPECT_EQ(result.code, 0);
    EXPECT_EQ(result.out, "39r\n");
    EXPECT_EQ(result.err, "q8xj-cli: 警告: 変換されない文字があります: 桜\n");
}

TEST(ConvertRandomCase, WithoutASeedIsSeededFromTheTimeLikeTheWindow) {
    CliRunner cli;
    const std::string phrase = "アイウエオカキクケコサシスセソタチツテト";
    const auto before = static_cast<std::uint32_t>(std::time(nullptr));
    const CliResult result = cli.Run({"convert", "--random-case", "--no-digits", phrase, phrase});
    const auto after = static_cast<std::uint32_t>(std::time(nullptr));
    ASSERT_EQ(result.code, 0) << result.err;

    // Each phrase is seeded with the time of its own conversion, some second of the run.
    std::vector<std::string> possible;
    for (std::uint32_t t = before; t <= after; ++t) {
        CrtRandom random;
        random.srand(t);
        possible.push_back(
            cp932::ToUtf8(ConvertKatakana(cp932::Text(phrase), DefaultTable(), {false, true, true}, random)));
    }
    std::istringstream lines(result.out);
    std::string line;
    int count = 0;
    while (std::getline(lines, line)) {
        ++count;
        EXPECT_NE(std::find(possible.begin(), possible.end(), line), possible.end()) << line;
    }
    EXPECT_EQ(count, 2);
}

// --- table file and text -----------------------------------------------------

TEST(TableRoundTrip, ExportedThenImportedGivesTheSameTableFileBytes) {
    CliRunner cli;
    for (const bool defaults : {true, false}) {
        ConversionTable table = DefaultTable();
        if (!defaults) {
            table.symbols.SetAt(cp932::Text("ヲ"), "~");
            table.letters.SetAt(cp932::Text("ヴァ"), "v");
            table.digits.RemoveAll();
        }
        ASSERT_FALSE(SaveConversionTable(table, cli.Folder() / "Q8.xj"));
        const std::string before = cli.ReadFile("Q8.xj");

        const CliResult exported = cli.Run({"table", "export", "out.tsv"});
        ASSERT_EQ(exported.code, 0) << exported.err;
        const CliResult imported = cli.Run({"table", "import", "out.tsv", "--table", "copy.xj"});
        ASSERT_EQ(imported.code, 0) << imported.err;
        EXPECT_EQ(cli.ReadFile("copy.xj"), before);
        // And again through standard output and standard input, over the file itself.
        const CliResult piped = cli.Run({"table", "import", "-"}, cli.Run({"table", "export"}).out);
        ASSERT_EQ(piped.code, 0) << piped.err;
        EXPECT_EQ(cli.ReadFile("Q8.xj"), before);
    }
}

TEST(TableRoundTrip, AnEditedTextConvertsAccordingly) {
    CliRunner cli;
    std::string text = cli.Run({"table", "export"}).out;
    // Without a table file the built-in table is exported; ラ gives r there.
    const std::string line = "letters\tラ\tr\n";
    const auto at = text.find(line);
    ASSERT_NE(at, std::string::npos);
    text.replace(at, line.size(), "letters\tラ\tz\nsymbols\tク\t@\n");
    cli.WriteFile("edited.tsv", text);
    ASSERT_EQ(cli.Run({"table", "import", "edited.tsv"}).code, 0);
    EXPECT_EQ(cli.Run({"convert", "サクラ"}).out, "3@z\n");
    EXPECT_EQ(cli.Run({"convert", "--no-symbols", "サクラ"}).out, "39z\n");
}

// Import and check refuse the same lines, each with its line number, and the
// table file stays as it was: the editor's checks, what the table file cannot
// hold, and a table too large for the reader.
TEST(TableImport, RefusesEachBadLineWithItsNumberAndWritesNothing) {
    const std::string header = "map\tkey\tvalue\n";
    // Keys of three katakana (six bytes, no warning), one a line, till past the cap.
    std::string tooLarge = header;
    for (std::uint32_t i = 0; i < 120000; ++i) {
        std::string key;
        for (std::uint32_t n = i, k = 0; k < 3; ++k, n /= 86) {
            const char32_t kana = U'ァ' + n % 86;
            key += {static_cast<char>(0xE3), static_cast<char>(0x80 | (kana >> 6 & 0x3F)),
                    static_cast<char>(0x80 | (kana & 0x3F))};
        }
        tooLarge += "letters\t" + key + "\ta\n";
    }
    struct Row {
        const char* name;
        std::string text;
    };
    const Row rows[] = {
        {"TheEditorsChecks", header + "letters\tカ\tk\nletters\tアイウエ\ta\nletters\tカ\tq\n"},
        {"NulInAKey", header + "letters\tア\\x00\ta\n"},
        {"FEInAKeyThatWouldBecomeAnother", header + "letters\tア\\xFE\tq\nletters\tア\tz\n"},
        {"NulValue", header + "letters\tア\t\\x00\n"},
        {"TooLargeForTheReader", tooLarge},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        CliRunner cli;
        const std::string before = SerializeConversionTable(SymbolsTable());
        cli.WriteFile("Q8.xj", before);
        cli.WriteFile("bad.tsv", row.text);
        std::string lines;
        for (const auto& problem : tableedit::ImportTableText(row.text).problems) {
            lines += "bad.tsv:" + std::to_string(problem.line) + ": " + problem.message + "\n";
        }
        ASSERT_FALSE(lines.empty());
        const CliResult imported = cli.Run({"table", "import", "bad.tsv"});
        EXPECT_EQ(imported.code, 5);
        EXPECT_EQ(imported.err.substr(0, lines.size()), lines);
        EXPECT_EQ(cli.ReadFile("Q8.xj"), before);
        const CliResult checked = cli.Run({"table", "check", "bad.tsv"});
        EXPECT_EQ(checked.code, 5);
        EXPECT_EQ(checked.out.substr(0, lines.size()), lines);
    }
}

TEST(TableCheck, ReportsProblemsAndWarningsOnStandardOutput) {
    CliRunner cli;
    cli.WriteFile("t.tsv", "map\tkey\tvalue\nletters\tab\ta\nletters\t「\tl\ndigits\tイ\t1\ndigits\tア\tx\n");
    const CliResult bad = cli.Run({"table", "check", "t.tsv"});
    EXPECT_EQ(bad.code, 5);
    EXPECT_EQ(bad.out,
              "t.tsv:5: 値「x」は digits の出力ではありません（0〜9）\n"
              "t.tsv:2: 警告: キー ab は入力した言葉には現れないので、この項目は使われません"
              "（言葉の半角文字は全角に、ひらがなはカタカナになります）\n"
              "t.tsv: 警告: l、1、I はラベル上で見分けにくい文字です: l ← 「（3 行目）、1 ← イ（4 行目）\n"
              "t.tsv: 3 項目を検査、問題 1 件、警告 2 件\n");
    // The built-in table passes, with its look-alikes named.
    const CliResult builtIn = cli.Run({"table", "check"});
    EXPECT_EQ(builtIn.code, 0);
    EXPECT_NE(builtIn.out.find("Q8.xj: 93 項目を検査、問題 0 件、警告 2 件\n"), std::string::npos);
}

// --- failures ----------------------------------------------------------------

struct FailureCase {
    const char* name;
    std::vector<std::string> args;
    std::string input;
    int code;
    std::string message;    // the whole of standard error
    std::string setup = {}; // a table file the case needs: "damaged", "unreadable"
    friend void PrintTo(const FailureCase& row, std::ostream* os) { *os << row.name; }
};

class Failure : public testing::TestWithParam<FailureCase> {};

TEST_P(Failure, OneLineOnStandardErrorTheCodeAndNoOutput) {
    const auto& c = GetParam();
    CliRunner cli;
    if (c.setup == "damaged") {
        cli.WriteFile("Q8.xj", std::string("\x03\x00\xFF\xFF", 4));
    } else if (c.setup == "unreadable") {
        cli.WriteFile("Q8.xj", SerializeConversionTable(DefaultTable()));
        ::chmod((cli.Folder() / "Q8.xj").c_str(), 0);
        if (::geteuid() == 0) {
            GTEST_SKIP() << "root reads any file";
        }
    }
    cli.WriteFile("good.tsv", "map\tkey\tvalue\nletters\tア\ta\n");
    const CliResult result = cli.Run(c.args, c.input);
    EXPECT_EQ(result.code, c.code);
    EXPECT_EQ(result.err, c.message + "\n");
    EXPECT_EQ(result.out, "");
    for (const auto& entry : std::filesystem::directory_iterator(cli.Folder())) {
        const auto name = entry.path().filename().string();
        EXPECT_TRUE(name == "good.tsv" || name == "Q8.xj") << name << " was written";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Errors, Failure,
    testing::Values(
        FailureCase{"NoCommand",
                    {},
                    "",
                    2,
                    "q8xj-cli: コマンドを指定してください: convert、table、label、print、printers（--help を参照）"},
        FailureCase{
            "UnknownCommand",
            {"make"},
            "",
            2,
            "q8xj-cli: 不明なコマンドです: 「make」（convert、table、label、print、printers のいずれか。--help を参照）"},
        FailureCase{"UnknownOption",
                    {"convert", "--digits", "サ"},
                    "",
                    2,
                    "q8xj-cli: 不明なオプションです: 「digits」（--help を参照）"},
        FailureCase{"MissingValue",
                    {"convert", "サ", "--table"},
                    "",
                    2,
                    "q8xj-cli: '--table' の後の値が欠けています。（--help を参照）"},
        FailureCase{"NoPhrase",
                    {"convert"},
                    "",
                    2,
                    "q8xj-cli: convert には言葉を指定してください（- で標準入力から読みます）"},
        FailureCase{"BadSeed",
                    {"convert", "--seed", "-1", "サ"},
                    "",
                    2,
                    "q8xj-cli: --seed には 0〜4294967295 の整数を指定してください: 「-1」"},
        FailureCase{"SeedTooLarge",
                    {"convert", "--seed", "4294967296", "サ"},
                    "",
                    2,
                    "q8xj-cli: --seed には 0〜4294967295 の整数を指定してください: 「4294967296」"},
        FailureCase{
            "StandardInputTwice", {"convert", "-", "-"}, "", 2, "q8xj-cli: - は 1 回しか指定できません"},
        FailureCase{"NotCodePage932",
                    {"convert", "サクラ", "ア😀"},
                    "",
                    4,
                    "q8xj-cli: 言葉「ア😀」に CP932 で表せない文字があります"},
        FailureCase{"NotCodePage932FromInput",
                    {"convert", "-"},
                    "\xFF\n",
                    4,
                    "q8xj-cli: 言葉「\\xff」に CP932 で表せない文字があります"},
        // A user's text in a message: escaped, and cut on a character boundary.
        FailureCase{"ControlCharactersEscaped",
                    {"convert", "ア\x1b[2J\n😀"},
                    "",
                    4,
                    "q8xj-cli: 言葉「ア\\x1b[2J\\n😀」に CP932 で表せない文字があります"},
        FailureCase{"ControlCharacterShownEscaped",
                    {"convert", "--explain", "-"},
                    std::string("サ\0クラ\n", 11),
                    4,
                    "q8xj-cli: 言葉「サ\\x00クラ」に CP932 で表せない文字があります"},
        FailureCase{"LongerThanTheField",
                    {"convert", std::string(36, 'a')},
                    "",
                    4,
                    "q8xj-cli: 言葉「" + std::string(36, 'a') +
                        "」は CP932 で 72 バイトあります（カタカナ欄は 70 バイトまで）"},
        FailureCase{"LongerCutOnACharacter",
                    {"convert", std::string(39, 'a') + "😀😀"},
                    "",
                    4,
                    "q8xj-cli: 言葉「" + std::string(39, 'a') + "😀…」に CP932 で表せない文字があります"},
        FailureCase{"DamagedTable",
                    {"convert", "サ"},
                    "",
                    3,
                    "q8xj-cli: 変換表ファイル Q8.xj が壊れています: Q8.xj の末尾以降にｱｸｾｽしようとしました。",
                    "damaged"},
        FailureCase{"UnreadableTable",
                    {"table", "export"},
                    "",
                    3,
                    "q8xj-cli: 変換表ファイル Q8.xj を読み込めません: アクセスが拒否されました",
                    "unreadable"},
        FailureCase{"TableIsADevice",
                    {"convert", "--table", "/dev/null", "サ"},
                    "",
                    3,
                    "q8xj-cli: 変換表ファイル /dev/null を読み込めません: 通常のファイルではありません"},
        FailureCase{"TableIsAFolder",
                    {"convert", "--table", ".", "サ"},
                    "",
                    3,
                    "q8xj-cli: 変換表ファイル . を読み込めません: フォルダーです"},
        FailureCase{
            "NoTableAction",
            {"table"},
            "",
            2,
            "q8xj-cli: table には export、import、check のいずれかを指定してください（--help を参照）"},
        FailureCase{"UnknownTableAction",
                    {"table", "dump"},
                    "",
                    2,
                    "q8xj-cli: 不明な table のコマンドです: 「dump」（export、import、check のいずれか）"},
        FailureCase{"ImportWithoutFile",
                    {"table", "import"},
                    "",
                    2,
                    "q8xj-cli: table import にはテキストファイルを 1 つ指定してください（- で標準入力）"},
        FailureCase{"ImportMissingFile",
                    {"table", "import", "none.tsv"},
                    "",
                    3,
                    "q8xj-cli: none.tsv を読み込めません: ファイルまたはフォルダーが見つかりません"},
        FailureCase{"ExportUnwritable",
                    {"table", "export", "good.tsv/out.tsv"},
                    "",
                    6,
                    "q8xj-cli: good.tsv/out.tsv に書き込めません: パスが正しくありません"},
        FailureCase{"ImportUnwritable",
                    {"table", "import", "good.tsv", "--table", "none/Q8.xj"},
                    "",
                    6,
                    "q8xj-cli: 変換表ファイル none/Q8.xj に書き込めません: ファイルまたはフォルダーが見つかりません"}),
    named_cases::CaseName());

TEST(Help, ListsTheExitCodes) {
    CliRunner cli;
    for (const std::vector<std::string>& args :
         std::vector<std::vector<std::string>>{{"--help"}, {"convert", "--help"}, {"table", "-h"}}) {
        const CliResult result = cli.Run(args);
        EXPECT_EQ(result.code, 0);
        EXPECT_NE(result.out.find("終了コード:\n  0  正常終了\n"), std::string::npos) << args.front();
        EXPECT_NE(result.out.find("  8  プリンターがラベルの受信を確認しなかった"), std::string::npos)
            << args.front();
    }
}

TEST(Table, AMissingNamedFileGivesTheBuiltInTableWithAWarning) {
    CliRunner cli;
    const CliResult result = cli.Run({"convert", "--table", "none.xj", "サクラ"});
    EXPECT_EQ(result.code, 0);
    EXPECT_EQ(result.out, "39r\n");
    EXPECT_EQ(result.err, "q8xj-cli: 警告: none.xj がありません。組み込みの変換表を使います\n");
}

} // namespace

namespace {

// The file layer's rules reach every command: one row per way in, each a
// refusal that changes no file and never waits.
TEST(FileLayer, CommandsRefuseWhatTheyMustNotTouchOrWaitOn) {
    const struct {
        const char* name;
        std::vector<std::string> args;
        std::string input;
        int code;
    } rows[] = {
        {"export over the table being read", {"table", "export", "Q8.xj"}, "", 6},
        {"import over a read-only table", {"table", "import", "good.tsv", "--table", "readonly.xj"}, "", 6},
        {"import with an empty table name", {"table", "import", "good.tsv", "--table", ""}, "", 6},
        {"a table that is a FIFO", {"convert", "--table", "fifo", "サ"}, "", 3},
        {"endless text to import", {"table", "import", "/dev/zero"}, "", 3},
        {"a line past the line limit", {"convert", "-"}, std::string(70000, 'a'), 3},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        CliRunner cli;
        cli.WriteFile("Q8.xj", SerializeConversionTable(DefaultTable()));
        cli.WriteFile("readonly.xj", "old");
        ::chmod((cli.Folder() / "readonly.xj").c_str(), 0444);
        cli.WriteFile("good.tsv", "map\tkey\tvalue\nletters\tア\ta\n");
        ::mkfifo((cli.Folder() / "fifo").c_str(), 0600);
        const auto before = cli.ReadFile("Q8.xj") + cli.ReadFile("readonly.xj");
        const CliResult result = cli.Run(row.args, row.input);
        EXPECT_EQ(result.code, row.code) << result.err;
        EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << result.err;
        EXPECT_EQ(cli.ReadFile("Q8.xj") + cli.ReadFile("readonly.xj"), before);
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(cli.Folder()), {}), 4);
    }
}

} // namespace
