#include "cli/ConvertCommand.h"

#include "cli/CliError.h"
#include "cli/Files.h"
#include "cli/FieldText.h"
#include "cli/Arguments.h"
#include "cli/HelpText.h"
#include "cli/Options.h"
#include "cli/RomajiInput.h"
#include "cli/TableSource.h"
#include "cli/Terminal.h"
#include "convert/Conversion.h"
#include "files/FileReader.h"
#include "kana/KatakanaMode.h"
#include "model/PasswordModel.h"
#include "platform/UserText.h"
#include "strength/PasswordStrength.h"
#include "table/TableFile.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace cli {
namespace {

// A table's text with every control character written out (\n, \x1b), so
// that what a table holds cannot drive the terminal; never cut.
std::string Visible(std::string_view utf8) {
    return ShownUserText(utf8, std::string_view::npos);
}

// One line per step: the characters, the map used (or "スキップ"), the entry's
// value, and the output when a capital changed it.
std::string Explain(std::string_view phrase, const std::vector<ConversionStep>& steps,
                    const ConversionTable& table, bool randomCase) {
    std::string text;
    for (const ConversionStep& step : steps) {
        const std::string_view chars = phrase.substr(step.position, step.length);
        text += "  " + Visible(chars) + "\t" + std::string(step.map ? TableMapName(*step.map) : "スキップ");
        if (!step.map) {
            if (chars == "\u3000" && !randomCase) {
                text += "\t（全角スペース: 次の文字を大文字にします）";
            }
        } else {
            const std::string* value = table.Map(*step.map).find(chars);
            const std::string entry = value != nullptr ? *value : step.output;
            text += "\t" + Visible(entry);
            if (entry != step.output) {
                text += " → " + Visible(step.output) + "（大文字）";
            }
        }
        text += '\n';
    }
    return text;
}

} // namespace

int RunConvert(const QStringList& arguments) {
    Arguments line(ConvertHelp(), {opt::kTable, opt::kNoDigits, opt::kNoSymbols, opt::kRandomCase, opt::kSeed,
                                   opt::kRomaji, opt::kExplain, opt::kStrength});
    if (!line.Parse(arguments)) {
        return kDone;
    }

    const QStringList positional = line.Positional();
    if (positional.isEmpty()) {
        throw CliError(kUsage, "convert には言葉を指定してください（- で標準入力から読みます）");
    }
    const bool named = line.IsSet(opt::kTable);
    PasswordModel model(named ? line.Value(opt::kTable) : kTableFileName);
    if (line.IsSet(opt::kSeed)) {
        // Without random case a seed changes nothing, which a script would not notice.
        if (!line.IsSet(opt::kRandomCase)) {
            throw CliError(kUsage, Flag(opt::kSeed) + " は " + Flag(opt::kRandomCase) + " と一緒に指定してください");
        }
        model.SetSeed(static_cast<std::uint32_t>(line.Number(opt::kSeed, 0, UINT32_MAX)));
    }
    LoadTable(model, named);

    if (positional.count("-") > 1) {
        throw CliError(kUsage, "- は 1 回しか指定できません");
    }
    // A phrase enters as text pasted into the katakana field does, so it holds
    // no single-byte character: a half-width space marks a capital as the
    // full-width one does.
    const bool romaji = line.IsSet(opt::kRomaji);
    const auto katakanaOf = [romaji](const std::string& phrase, const std::string& what = "言葉") {
        return FieldText(what, phrase, romaji ? ComposeRomaji : KatakanaModeUtf8, "カタカナ欄は ");
    };
    // The phrases given as arguments are checked before anything is printed.
    std::vector<std::string> katakana;
    for (const QString& argument : positional) {
        if (argument != "-") {
            katakana.push_back(katakanaOf(Arguments::Utf8(argument)));
        }
    }

    model.SetOptions({.useDigits = !line.IsSet(opt::kNoDigits),
                      .useSymbols = !line.IsSet(opt::kNoSymbols),
                      .randomCase = line.IsSet(opt::kRandomCase)});
    const bool explain = line.IsSet(opt::kExplain);
    const bool showStrength = line.IsSet(opt::kStrength);
    const auto passwordOf = [&](const std::string& phrase) {
        // FieldText has held the phrase to the field's limit already.
        model.SetPhrase(phrase);
        std::string out = model.Convert();
        // A table that converts none of the phrase gives nothing, which a script would take for a password.
        if (out.empty() && !phrase.empty()) {
            Warning("パスワードが空です（変換表に言葉の文字を変換する項目がありません）");
        }
        // The band is the unrounded figure's; an empty password has no estimate.
        const auto estimate = showStrength || explain ? model.Strength() : std::nullopt;
        if (showStrength) {
            out += estimate ? "\t" + OneDecimal(estimate->bits) + "\t" + strength::BandName(estimate->band)
                            : "\t\t";
        }
        out += '\n';
        if (explain) {
            out += Explain(phrase, model.Steps(), model.Table(), model.Options().randomCase);
            if (estimate) {
                out += "  強度\t" + OneDecimal(estimate->bits) + " ビット\t" +
                       strength::BandName(estimate->band) + "\n";
            }
        }
        // As the window says at the password; the exit code stays.
        if (const std::string notice = model.SkippedNotice(); !notice.empty()) {
            Warning(notice);
        }
        return out;
    };
    std::size_t next = 0;
    for (const QString& argument : positional) {
        if (argument != "-") {
            Out(passwordOf(katakana[next++]));
            continue;
        }
        // Standard input line by line as it comes, so memory stays the same however long it is.
        InputLines input;
        std::string phrase;
        std::string out;
        for (std::size_t number = 1; input.Next(phrase); ++number) {
            try {
                out += passwordOf(katakanaOf(phrase, "標準入力 " + std::to_string(number) + " 行目の言葉"));
            } catch (const CliError&) {
                Out(out); // the lines before the bad one keep their passwords
                throw;
            }
            // Written whenever the input would make us wait, so each password shows as its line comes.
            if (!input.HasLine() || out.size() >= files::kMaxLineBytes) {
                Out(out);
                out.clear();
            }
        }
        Out(out);
        input.Check();
    }
    return kDone;
}

} // namespace cli
