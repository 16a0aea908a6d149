#include "cli/ConvertCommand.h"

#include "cli/CliError.h"
#include "cli/CommandLine.h"
#include "cli/HelpText.h"
#include "cli/RomajiInput.h"
#include "cli/TableSource.h"
#include "cli/Terminal.h"
#include "convert/Conversion.h"
#include "kana/KatakanaMode.h"
#include "platform/CalendarTime.h"
#include "platform/Cp932.h"
#include "table/TableFile.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace cli {
namespace {

// The katakana field's limit: 35 full-width characters.
constexpr std::size_t kPhraseLimit = 70;

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            end = text.size();
        }
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        lines.push_back(std::move(line));
        start = end + 1;
    }
    return lines;
}

std::string MapName(ConversionStep::Map map) {
    switch (map) {
    case ConversionStep::Map::Symbols:
        return "symbols";
    case ConversionStep::Map::Digits:
        return "digits";
    case ConversionStep::Map::Letters:
        return "letters";
    case ConversionStep::Map::None:
        break;
    }
    return "スキップ";
}

const CMapStringToString& MapOf(const ConversionTable& table, ConversionStep::Map map) {
    return map == ConversionStep::Map::Symbols  ? table.symbols
           : map == ConversionStep::Map::Digits ? table.digits
                                                : table.letters;
}

// UTF-8 with every control character written out (\n, \x1b), so that what
// a table holds cannot drive the terminal.
std::string Visible(std::string_view utf8) {
    std::string out;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto b = static_cast<unsigned char>(utf8[i]);
        // C1 controls are U+0080 to U+009F, C2 80 to C2 9F in UTF-8.
        const bool c1 =
            b == 0xC2 && i + 1 < utf8.size() && (static_cast<unsigned char>(utf8[i + 1]) & 0xE0) == 0x80;
        if (b >= 0x20 && b != 0x7F && !c1) {
            out += utf8[i];
            continue;
        }
        const unsigned code = c1 ? static_cast<unsigned char>(utf8[++i]) : b;
        if (code == '\n') {
            out += "\\n";
        } else if (code == '\t') {
            out += "\\t";
        } else if (code == '\r') {
            out += "\\r";
        } else {
            constexpr char kHex[] = "0123456789abcdef";
            out += c1 ? "\\u00" : "\\x";
            out += kHex[code >> 4];
            out += kHex[code & 0xF];
        }
    }
    return out;
}

// One line per step: the characters, the map used (or "スキップ"), the entry's
// value, and the output when a capital changed it.
std::string Explain(std::string_view phrase, const std::vector<ConversionStep>& steps,
                    const ConversionTable& table, bool randomCase) {
    std::string text;
    for (const ConversionStep& step : steps) {
        const std::string_view chars = phrase.substr(step.position, step.length);
        text += "  " + Visible(cp932::ToUtf8(chars)) + "\t" + MapName(step.map);
        if (step.map == ConversionStep::Map::None) {
            if (chars == "\x81\x40" && !randomCase) {
                text += "\t（全角スペース: 次の文字を大文字にします）";
            }
        } else {
            const std::string* value = MapOf(table, step.map).Lookup(chars);
            const std::string entry = value != nullptr ? *value : step.output;
            text += "\t" + Visible(cp932::ToUtf8(entry));
            if (entry != step.output) {
                text += " → " + Visible(cp932::ToUtf8(step.output)) + "（大文字）";
            }
        }
        text += '\n';
    }
    return text;
}

// A phrase for the error message, kept short.
std::string Quote(const std::string& utf8) {
    constexpr std::size_t kShown = 40;
    return "「" + Visible(utf8.size() > kShown ? utf8.substr(0, kShown) + "…" : utf8) + "」";
}

} // namespace

int ConvertCommand::Run(const QStringList& arguments) {
    CommandLine line(kConvertHelp);
    QCommandLineParser& parser = line.Parser();
    parser.addOption(QCommandLineOption("table", "", "FILE"));
    parser.addOption(QCommandLineOption("no-digits"));
    parser.addOption(QCommandLineOption("no-symbols"));
    parser.addOption(QCommandLineOption("random-case"));
    parser.addOption(QCommandLineOption("seed", "", "N"));
    parser.addOption(QCommandLineOption("romaji"));
    parser.addOption(QCommandLineOption("explain"));
    if (!line.Parse(arguments)) {
        return kDone;
    }

    const QStringList positional = line.Positional();
    if (positional.isEmpty()) {
        throw CliError(kUsage, "convert には言葉を指定してください（- で標準入力から読みます）");
    }
    std::optional<std::uint32_t> seed;
    if (line.IsSet("seed")) {
        seed = static_cast<std::uint32_t>(line.Number("seed", 0, UINT32_MAX));
    }
    const bool named = line.IsSet("table");
    const ConversionTable table = TableSource(named ? line.Value("table") : kTableFileName, named).Load();

    std::vector<std::string> phrases;
    bool readInput = false;
    for (const QString& argument : positional) {
        if (argument != "-") {
            phrases.push_back(CommandLine::Utf8(argument));
        } else if (!readInput) {
            readInput = true;
            for (std::string& phrase : Lines(Terminal::ReadInput())) {
                phrases.push_back(std::move(phrase));
            }
        } else {
            throw CliError(kUsage, "- は 1 回しか指定できません");
        }
    }

    // Every phrase is checked before anything is printed. A phrase enters as
    // text pasted into the katakana field does, so it holds no single-byte
    // character: a half-width space marks a capital as the full-width one does.
    const bool romaji = line.IsSet("romaji");
    std::vector<std::string> katakana;
    for (const std::string& phrase : phrases) {
        auto text = romaji ? RomajiInput::Compose(phrase) : KatakanaModeUtf8(phrase);
        if (!text) {
            throw CliError(kBadText, "言葉" + Quote(phrase) + "に CP932 で表せない文字があります");
        }
        if (text->size() > kPhraseLimit) {
            throw CliError(kBadText, "言葉" + Quote(phrase) + "は CP932 で " + std::to_string(text->size()) +
                                         " バイトあります（カタカナ欄は 70 バイトまで）");
        }
        katakana.push_back(*std::move(text));
    }

    ConversionOptions options;
    options.useDigits = !line.IsSet("no-digits");
    options.useSymbols = !line.IsSet("no-symbols");
    options.randomCase = line.IsSet("random-case");
    const bool explain = line.IsSet("explain");
    std::string out;
    CrtRandom random;
    for (const std::string& phrase : katakana) {
        // The window seeds at every conversion in random mode.
        if (options.randomCase) {
            random.srand(seed ? *seed : static_cast<std::uint32_t>(platform::CalendarTime()));
        }
        std::vector<ConversionStep> steps;
        out += cp932::ToUtf8(ConvertKatakana(phrase, table, options, random, &steps));
        out += '\n';
        if (explain) {
            out += Explain(phrase, steps, table, options.randomCase);
        }
        // As the window says at the password; the exit code stays.
        if (const std::string notice = SkippedNotice(phrase, steps); !notice.empty()) {
            Terminal::Warning(cp932::ToUtf8(notice));
        }
    }
    Terminal::Out(out);
    return kDone;
}

} // namespace cli
