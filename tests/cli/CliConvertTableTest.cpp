// q8xj-cli convert and table, run as a program without a display: one row
// per path against the core, the table text's round trip through the table
// file, and each failure as one line on standard error, with its exit code and
// nothing written.
#include "CliRunner.h"
#include "support/TableHelpers.h"

#include "cli/HelpText.h"
#include "convert/Conversion.h"
#include "files/FileReader.h"
#include "strength/PasswordStrength.h"
#include "table/TableFile.h"
#include "tableedit/TableText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <iomanip>
#include <regex>
#include <set>
#include <sstream>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

const std::string kHeader = "map\tkey\tvalue\n";

// Text of the user's holding ESC and BEL, longer than a message shows.
const std::string kHostile = "\x1b]0;owned\a" + std::string(300, 'x');

// Lines that cannot steer the terminal, with the user's text cut.
bool Tame(const std::string& shown) {
    static const std::regex lines("([^\\x00-\\x08\\x0b-\\x1f\\x7f]*\n)+");
    return std::regex_match(shown, lines) && shown.find(std::string(300, 'x')) == std::string::npos;
}

TEST(Convert, PrintsWhatTheCoreConversionGives) {
    const struct {
        const char* name;
        std::vector<std::string> args;
        std::vector<std::string> katakana; // UTF-8, what the conversion reads, one a line
        ConversionOptions options;
        std::string input = {};
    } rows[] = {
        {"plain, half-width as pasted", {"ｻ ｸﾗ"}, {"サ　クラ"}, {true, true, false}},
        {"seeded", {"--random-case", "--seed", "7", "ニホンノハナ"}, {"ニホンノハナ"}, {true, true, true}},
        {"romaji", {"--romaji", "--no-digits", "KITTE sakura"}, {"キッテ　サクラ"}, {false, true, false}},
        {"no symbols", {"--no-symbols", "サクラク"}, {"サクラク"}, {true, false, false}},
        // One line of standard input per phrase, after the arguments; a leading byte-order mark is dropped.
        {"standard input",
         {"サクラ", "-"},
         {"サクラ", "サ", "", "サ"},
         {true, true, false},
         "\xEF\xBB\xBFｻ\r\n\nｻ"},
    };
    // The built-in table with symbols, so that --no-symbols has something to take away.
    ConversionTable table = Defaults();
    table.symbols.insert_or_assign(std::string("サクラ"), "*");
    table.symbols.insert_or_assign(std::string("ク"), "#");
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        CliRunner cli;
        WriteWhole(cli / "Q8.xj", SerializeConversionTable(table));
        std::vector<std::string> args{"convert"};
        args.insert(args.end(), row.args.begin(), row.args.end());
        CrtRandom random;
        random.srand(7);
        const CliResult result = cli.Run(args, row.input);
        EXPECT_EQ(result.code, 0) << result.err;
        std::string out;
        for (const auto& katakana : row.katakana) {
            out += ConvertKatakana(std::string(katakana), table, row.options, random) + "\n";
        }
        EXPECT_EQ(result.out, out);
        EXPECT_EQ(result.err, "");
    }
}

// --strength: each password, its bits with one decimal and its band, from the
// core's estimate, none for an empty password; --explain: one line per step
// (the character, the map or a skip, a note on the capital), then the estimate.
TEST(Convert, StrengthExplainAndRandomCaseAsTheWindowGivesThem) {
    CliRunner cli;
    const auto estimate = strength::EstimatePassword("S");
    std::ostringstream digits;
    digits << std::fixed << std::setprecision(1) << estimate->bits;
    const std::string figure = digits.str();
    const std::string band = strength::BandName(estimate->band);
    EXPECT_EQ(cli.Run({"convert", "--strength", "--no-digits", "　サャ", ""}).out,
              "S\t" + figure + "\t" + band + "\n\t\t\n");
    const std::string explained = cli.Run({"convert", "--explain", "--no-digits", "　サャ"}).out;
    const std::regex steps("^S\n  　\tスキップ\t[^\n]+\n  サ\tletters\ts → S[^\n]*\n  ャ\tスキップ\n");
    EXPECT_TRUE(std::regex_search(explained, steps)) << explained;
    EXPECT_TRUE(explained.ends_with(figure + " ビット\t" + band + "\n")) << explained;
    // Without a seed each phrase is seeded from the system's random source: one phrase given twice
    // comes out twice with other capitals.
    const std::string phrase = "アイウエオカキクケコサシスセソタチツテト";
    std::string out = cli.Run({"convert", "--random-case", "--no-digits", phrase, phrase}).out;
    const std::size_t cut = out.find('\n') + 1;
    EXPECT_NE(out.substr(0, cut), out.substr(cut)) << out;
    std::transform(out.begin(), out.end(), out.begin(), [](unsigned char c) { return std::tolower(c); });
    CrtRandom unused;
    const std::string lower = ConvertKatakana(phrase, Defaults(), {false, true, false}, unused) + "\n";
    EXPECT_EQ(out, lower + lower);
}

// Suggestions of the default length carry their figure (4 words of 13.03 bits
// under the built-in table) and convert without a word of warning.
TEST(Suggest, PhrasesCarryTheirFigureAndConvert) {
    CliRunner cli;
    const std::string out = cli.Run({"suggest", "--count", "50", "--strength"}).out;
    EXPECT_EQ(std::regex_replace(out, std::regex("[^\t\n]+\t52\\.1\n"), "#"), std::string(50, '#'));
    // Three spaces between the 4 words of each phrase.
    EXPECT_EQ(std::ranges::count(std::regex_replace(out, std::regex("　"), "_"), '_'), 150);
    const auto converted = cli.Run({"convert", "-"}, std::regex_replace(out, std::regex("\t52\\.1"), ""));
    EXPECT_EQ(converted.code, 0);
    EXPECT_EQ(converted.err, "");
    EXPECT_EQ(std::ranges::count(converted.out, '\n'), 50);
}

// --- table file and text -----------------------------------------------------

// Without a table file the built-in table is exported; its text goes into the
// table file through standard input and comes back the same on standard output.
TEST(Table, ExportImportAndCheck) {
    CliRunner cli;
    ASSERT_EQ(cli.Run({"table", "export", "out.tsv"}).code, 0);
    EXPECT_EQ(ReadWhole(cli / "out.tsv"), tableedit::ExportTableText(Defaults()));
    ASSERT_EQ(cli.Run({"table", "import", "-"}, ReadWhole(cli / "out.tsv")).code, 0);
    EXPECT_EQ(cli.Run({"table", "export"}).out, ReadWhole(cli / "out.tsv"));
    // Import and check refuse a line the core refuses, with its number, and write
    // nothing; check adds the warnings and a summary, also for the table file.
    std::filesystem::remove(cli.Path("Q8.xj"));
    WriteWhole(cli / "bad.tsv", kHeader + "letters\tカ\tk\nletters\tカ\tq\nletters\tア\t\\x00\n");
    std::string lines;
    for (const auto& problem : tableedit::ImportTableText(ReadWhole(cli / "bad.tsv")).problems) {
        lines += "bad.tsv:" + std::to_string(problem.line) + ": " + problem.message + "\n";
    }
    for (const std::string action : {"import", "check"}) {
        const CliResult result = cli.Run({"table", action, "bad.tsv"});
        EXPECT_EQ(result.code, 5);
        EXPECT_TRUE((action == "import" ? result.err : result.out).starts_with(lines)) << action;
        // Every entry line counts as checked, refused or not.
        EXPECT_TRUE(action == "import" || result.out.ends_with(": 3 項目を検査、問題 2 件、警告 0 件\n"))
            << result.out;
    }
    EXPECT_FALSE(std::filesystem::exists(cli.Path("Q8.xj")));
    WriteWhole(cli / "keys.tsv", kHeader + "letters\t\x1b\a\ta\nletters\t" + kHostile + "\ta\n");
    EXPECT_TRUE(Tame(cli.Run({"table", "check", "keys.tsv"}).out));
    WriteWhole(cli / "t.tsv", kHeader + "letters\tab\ta\nletters\t「\tl\ndigits\tイ\t1\n");
    const CliResult imported = cli.Run({"table", "import", "t.tsv"});
    ASSERT_EQ(imported.code, 0);
    // A warning about the whole table names the file without a line.
    EXPECT_TRUE(
        std::regex_match(imported.err, std::regex("t\\.tsv:2: 警告: [^\n]+\nt\\.tsv: 警告: [^\n]+\n")))
        << imported.err;
    const std::string warned = cli.Run({"table", "check", "t.tsv"}).out;
    const std::regex summary(
        "t\\.tsv:2: 警告: [^\n]+\nt\\.tsv: 警告: [^\n]+\nt\\.tsv: 3 項目を検査、問題 0 件、警告 2 件\n");
    EXPECT_TRUE(std::regex_match(warned, summary)) << warned;
    EXPECT_EQ(cli.Run({"table", "check"}).out.find("Q8.xj: letters ab a: 警告: "), 0u);
}

// Each help ends with the exit codes; the options all helps list are those
// the manual page describes, no more and no fewer.
TEST(Help, ListsTheOptionsTheManualPageDescribes) {
    const auto names = [](const std::string& text, const char* pattern) {
        std::set<std::string> found;
        const std::regex name(pattern);
        for (std::sregex_iterator at(text.begin(), text.end(), name), end; at != end; ++at) {
            found.insert((*at)[1]);
        }
        return found;
    };
    CliRunner cli;
    std::string helps;
    for (const std::string command : {"", "convert", "suggest", "table", "label", "print", "printers"}) {
        SCOPED_TRACE(command);
        const CliResult help = cli.Run(command.empty() ? std::vector<std::string>{"-h"}
                                                       : std::vector<std::string>{command, "--help"});
        EXPECT_TRUE(help.code == 0 && help.out.ends_with(cli::kExitCodesHelp)) << help.out;
        helps += help.out;
    }
    const std::string manual = std::regex_replace(ReadWhole(Q8XJ_MANUAL), std::regex("\\\\-"), "-");
    EXPECT_EQ(names(helps, "\n  (?:-h, )?--([a-z-]+)"), names(manual, "--([a-z-]*[a-z])"));
}

// A warning (what no entry converts, a missing named table file) keeps exit
// code 0 and the password. Every failure: its exit code, one line on standard
// error (the user's text in it escaped) after the print command's stage lines,
// nothing on standard output, no file written or changed, never a wait.
TEST(Failure, OneLineOnStandardErrorTheCodeAndNothingWritten) {
    const struct { // clang-format off
        const char* name;
        std::vector<std::string> args;
        int code;
        std::string input = {};
        std::string shown = {};    // how the user's text shows in the message
        std::string redirect = {}; // of the shell, after the standard ones
        std::string secret = {};   // a phrase's or password's part that must not show
        bool silentService = false; // a printing service that takes the connection and never answers
    } rows[] = {
        {"unconverted character", {"convert", "桜サクラ"}, 0, "", "桜"},
        {"missing named table", {"convert", "--table", "none.xj", "サクラ"}, 0, "", "none.xj"},
        {"a phrase that gives no password", {"convert", "サクラ", "ャ"}, 0, "", "パスワードが空です"},
        {"no command", {}, 2},
        {"unknown command", {"make"}, 2},
        {"unknown option", {"convert", "--digits", "サ"}, 2, "", "「digits」"},
        {"password like an option", {"label", "--output", "l.png", "-3xQ"}, 2, "", "-- の後", "", "3xQ"},
        {"no phrase", {"convert"}, 2},
        {"seed too large", {"convert", "--random-case", "--seed", "4294967296", "サ"}, 2},
        {"seed without random case", {"convert", "--seed", "7", "サ"}, 2, "", "--random-case"},
        {"standard input twice", {"convert", "-", "-"}, 2},
        {"no table action", {"table"}, 2},
        {"unknown table action", {"table", "dump"}, 2},
        {"two files to export", {"table", "export", "a.tsv", "b.tsv"}, 2},
        {"two files to check", {"table", "check", "good.tsv", "good.tsv"}, 2},
        {"import without a file", {"table", "import"}, 2},
        {"label without an output", {"label", "39r"}, 2},
        {"empty password", {"print", ""}, 2},
        {"label of another format", {"label", "--output", kHostile + ".jpg", "39r"}, 2, "", "]0;owned"},
        {"bad colour", {"label", "--colour", "#12345", "--output", "l.png", "x"}, 2},
        {"size zero", {"print", "--size", "0", "x"}, 2},
        {"font name too long", {"label", "--font", std::string(32, 'F'), "--output", "l.png", "x"}, 2},
        // Where the phrase or password goes wrong, never what it is.
        {"not code page 932 from input", {"convert", "-"}, 4, "ア€イ\n", "1 行目の言葉の 2 文字目 U+20AC は", "", "€"},
        {"password from input not UTF-8, after a byte-order mark", {"print", "-"}, 4, "\xEF\xBB\xBFZq\xFF\n", "パスワードの 3 文字目 0xFF は", "", "Zq"},
        {"password not code page 932", {"label", "--output", "l.png", "x😀"}, 4, "", "の 2 文字目 U+1F600 は", "", "😀"},
        {"password too long", {"label", "--output", "l.png", std::string(71, 'x')}, 4, "", " 71 バイト", "", "xx"},
        {"phrase with control characters", {"convert", kHostile}, 4, "", "の 1 文字目 U+001B は制御文字", "", "owned"},
        {"damaged table", {"convert", "--table", "good.tsv", "サ"}, 3, "", "good.tsv"},
        {"table is a folder", {"convert", "--table", ".", "サ"}, 3},
        {"table on a drive not mounted", {"convert", "--table", "dangling", "サ"}, 3, "", "dangling"},
        {"table giving an escape", {"convert", "--table", "escape.xj", "サ"}, 3, "", "escape.xj"},
        {"suggestion past the field", {"suggest", "--words", "7"}, 2},
        {"no suggestion", {"suggest", "--count", "0"}, 2},
        {"suggestion of a phrase", {"suggest", "サクラ"}, 2},
        {"import of a missing file", {"table", "import", kHostile}, 3, "", "]0;owned"},
        {"a line at the line limit", {"convert", "-"}, 4, std::string(files::kMaxLineBytes, 'a'), " " + std::to_string(2 * files::kMaxLineBytes) + " バイト", "", "aa"},
        {"a line past the line limit", {"convert", "-"}, 3, std::string(files::kMaxLineBytes + 1, 'a')},
        {"export over the table being read", {"table", "export", "Q8.xj"}, 6},
        {"export appended to the table", {"table", "export"}, 6, "", "", ">>Q8.xj"},
        {"label over the table through a link", {"label", "--output", "link.png", "39r"}, 6, "", "link.png"},
        {"label over the table", {"label", "--output", "Q8.xj", "39r"}, 2, "", "Q8.xj"},
        // Closed input: no file the program opens takes its place.
        {"phrases with input closed", {"convert", "-"}, 3, "", "", "<&-"},
        {"import with input closed", {"table", "import", "-"}, 3, "", "", "<&-"},
        // Every way out to a full disk, and a loop of links, in the tool's words.
        {"password to a full disk", {"convert", "サクラ"}, 6, "", "", ">/dev/full"},
        {"export to a full disk", {"table", "export"}, 6, "", "", ">/dev/full"},
        {"export into a loop of links", {"table", "export", "loop"}, 6, "", "loop"},
        {"import into a missing folder", {"table", "import", "good.tsv", "--table", "none/Q8.xj"}, 6},
        {"import into its own text", {"table", "import", "good.tsv", "--table", "good.tsv"}, 6, "", "good.tsv"},
        {"virtual printer unplugged", {"print", "39r"}, 7},
        {"print queue of a service not running", {"print", "--printer", kHostile, "39r"}, 9, "", "に接続できない"},
        {"print queue of a silent service", {"print", "--printer", "q", "39r"}, 9, "", "応答しません", "", "", true},
        {"printers of a silent service", {"printers"}, 9, "", "応答しません", "", "", true},
    }; // clang-format on
    const int silent = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{
        .sin_family = AF_INET, .sin_port = 0, .sin_addr = {htonl(INADDR_LOOPBACK)}, .sin_zero = {}};
    socklen_t size = sizeof address;
    ASSERT_TRUE(::bind(silent, reinterpret_cast<sockaddr*>(&address), size) == 0 &&
                ::listen(silent, 64) == 0 &&
                ::getsockname(silent, reinterpret_cast<sockaddr*>(&address), &size) == 0);
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        CliRunner cli;
        WriteWhole(cli / "Q8.xj", SerializeConversionTable(Defaults()));
        WriteWhole(cli / "good.tsv", kHeader + "letters\tア\ta\n");
        WriteWhole(cli / "unplugged", "");
        std::filesystem::create_symlink("Q8.xj", cli / "link.png");
        std::filesystem::create_symlink("loop", cli / "loop");
        std::filesystem::create_symlink("none/Q8.xj", cli / "dangling");
        ConversionTable escape;
        escape.letters.insert_or_assign(std::string("サ"), "\x1b");
        WriteWhole(cli / "escape.xj", SerializeConversionTable(escape));
        cli.env["TAVOPUS_VIRTUAL"] = cli.Path();
        cli.env["CUPS_SERVER"] = row.silentService ? "127.0.0.1:" + std::to_string(ntohs(address.sin_port))
                                                   : cli.Path("no-scheduler");
        cli.env["Q8XJ_SERVICE_DEADLINE_MS"] = row.silentService ? "100" : "";
        const auto before = ReadWhole(cli / "Q8.xj");
        const CliResult result = cli.Run(row.args, row.input, row.redirect);
        // Only the search for a label printer tells its stages first.
        const std::string err =
            row.code == 7 ? std::regex_replace(result.err, std::regex("q8xj-cli: print: [^\n]*\n"), "")
                          : result.err;
        EXPECT_EQ(result.code, row.code) << result.err;
        EXPECT_TRUE(err.starts_with("q8xj-cli: ") && Tame(err) && std::ranges::count(err, '\n') == 1)
            << result.err;
        EXPECT_NE(err.find(row.shown), std::string::npos) << result.err;
        EXPECT_TRUE(row.secret.empty() || err.find(row.secret) == std::string::npos) << result.err;
        for (int code = 1; code < 134; ++code) { // never the system's English words
            EXPECT_EQ(err.find(std::strerror(code)), std::string::npos) << result.err;
        }
        EXPECT_TRUE(row.code == 0 ? result.out.starts_with("39r\n") : result.out.empty());
        EXPECT_EQ(ReadWhole(cli / "Q8.xj"), before);
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(cli.Path()), {}), 7);
    }
    ::close(silent);
}

} // namespace
