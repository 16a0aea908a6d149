#include "cli/SuggestCommand.h"

#include "cli/Arguments.h"
#include "cli/CliError.h"
#include "cli/HelpText.h"
#include "cli/Options.h"
#include "cli/TableSource.h"
#include "cli/Terminal.h"
#include "model/PasswordModel.h"
#include "suggest/Suggestion.h"

#include <string>

namespace cli {

// Far more than anyone reads, and little enough to print at once.
constexpr std::int64_t kMaxCount = 1'000'000;

int RunSuggest(const QStringList& arguments) {
    Arguments line(SuggestHelp(), {opt::kWords, opt::kCount, opt::kChoiceStrength, opt::kTable,
                                   opt::kNoDigits, opt::kNoSymbols, opt::kRandomCase});
    if (!line.Parse(arguments)) {
        return kDone;
    }
    if (!line.Positional().isEmpty()) {
        throw CliError(kUsage, "suggest は引数をとりません" + SeeHelp());
    }
    const bool named = line.IsSet(opt::kTable);
    PasswordModel model(named ? line.Value(opt::kTable) : kTableFileName);
    LoadTable(model, named);
    model.SetOptions({.useDigits = !line.IsSet(opt::kNoDigits),
                      .useSymbols = !line.IsSet(opt::kNoSymbols),
                      .randomCase = line.IsSet(opt::kRandomCase)});
    const int words = line.IsSet(opt::kWords)
                          ? static_cast<int>(line.Number(opt::kWords, 1, suggest::MaxWords()))
                          : model.DefaultSuggestionWords();
    const std::int64_t count = line.IsSet(opt::kCount) ? line.Number(opt::kCount, 1, kMaxCount) : 1;
    const std::string bits = "\t" + OneDecimal(words * model.SuggestionBitsPerWord());
    const bool showStrength = line.IsSet(opt::kChoiceStrength);
    std::string out;
    for (std::int64_t i = 0; i < count; ++i) {
        out += model.Suggest(words) + (showStrength ? bits : std::string()) + "\n";
        if (out.size() >= 64 * 1024) {
            Out(out);
            out.clear();
        }
    }
    Out(out);
    return kDone;
}

} // namespace cli
