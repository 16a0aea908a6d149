#include "cli/TableCommand.h"

#include "cli/CliError.h"
#include "cli/Arguments.h"
#include "cli/Files.h"
#include "cli/HelpText.h"
#include "cli/Options.h"
#include "cli/TableSource.h"
#include "model/PasswordModel.h"
#include "cli/Terminal.h"
#include "files/FileReader.h"
#include "platform/UserText.h"
#include "table/TableFile.h"
#include "tableedit/TableText.h"
#include "tableedit/TableWarnings.h"

#include <string>
#include <vector>

namespace cli {
namespace {

std::string Count(std::string_view what, std::size_t n) {
    return std::string(what) + " " + std::to_string(n) + " 件";
}

// The line `number` of `text`, for naming an entry of the table file.
std::string LineOf(const std::string& text, std::size_t number) {
    std::size_t start = 0;
    for (std::size_t n = 1; n < number && start != std::string::npos; ++n) {
        start = text.find('\n', start);
        start = start == std::string::npos ? start : start + 1;
    }
    if (start == std::string::npos) {
        return {};
    }
    const std::size_t end = text.find('\n', start);
    std::string line = text.substr(start, end == std::string::npos ? end : end - start);
    for (char& c : line) {
        c = c == '\t' ? ' ' : c;
    }
    return line;
}

int Export(const Arguments& line, PasswordModel& model, bool named) {
    const QStringList positional = line.Positional();
    if (positional.size() > 2) {
        throw CliError(kUsage, "table export に指定できる出力ファイルは 1 つまでです");
    }
    LoadTable(model, named);
    const std::string text = tableedit::ExportTableText(model.Table());
    WriteFile(positional.size() == 2 ? Arguments::Utf8(positional[1]) : "-", text,
              model.TableFile().string());
    return kDone;
}

int Import(const Arguments& line, PasswordModel& model) {
    const QStringList positional = line.Positional();
    if (positional.size() != 2) {
        throw CliError(kUsage, "table import にはテキストファイルを 1 つ指定してください（- で標準入力）");
    }
    const std::string name = Arguments::Utf8(positional[1]);
    const std::string shown = ShownUserText(name, kShownPathChars);
    // Saving would replace the very text being imported.
    if (files::SameFile(name == "-" ? "/dev/stdin" : name, model.TableFile().string())) {
        throw CliError(
            kUnwritable,
            (name == "-" ? "標準入力" : shown + " ") +
                "は変換表ファイルそのものです。取り込むテキストには別のファイルを指定してください");
    }
    const tableedit::ImportedTableText imported = tableedit::ImportTableText(ReadFile(name));
    if (!imported.problems.empty()) {
        for (const tableedit::TextProblem& problem : imported.problems) {
            Note(shown + ":" + std::to_string(problem.line) + ": " + problem.message);
        }
        throw CliError(kRefused, "何も取り込みませんでした: " + Count("問題", imported.problems.size()));
    }
    model.Table() = imported.table;
    SaveTable(model);
    // Imported all the same, as the editor saves them.
    for (const tableedit::TextProblem& warning : tableedit::TableWarnings(imported.entries)) {
        // A warning about the whole table has no line.
        Note(shown + (warning.line != 0 ? ":" + std::to_string(warning.line) : "") +
             ": 警告: " + warning.message);
    }
    return kDone;
}

// Problems and warnings on standard output, a summary last; problems make the exit code.
int Check(const Arguments& line, PasswordModel& model, bool named) {
    const QStringList positional = line.Positional();
    if (positional.size() > 2) {
        throw CliError(kUsage, "table check に指定できるテキストファイルは 1 つまでです");
    }
    const bool fromText = positional.size() == 2;
    const std::string name = fromText ? Arguments::Utf8(positional[1]) : model.TableFile().string();
    // The table file is checked through its exported text, so both meet the same checks.
    if (!fromText) {
        LoadTable(model, named);
    }
    const std::string text = fromText ? ReadFile(name) : tableedit::ExportTableText(model.Table());
    const tableedit::ImportedTableText imported = tableedit::ImportTableText(text);
    const std::string shown = ShownUserText(name, kShownPathChars);
    const auto where = [&](std::size_t number) {
        if (number == 0) {
            return shown + ": ";
        }
        return fromText ? shown + ":" + std::to_string(number) + ": "
                        : shown + ": " + ShownUserText(LineOf(text, number), kShownPathChars) + ": ";
    };
    std::string report;
    for (const tableedit::TextProblem& problem : imported.problems) {
        report += where(problem.line) + problem.message + "\n";
    }
    const std::vector<tableedit::TextProblem> warnings = tableedit::TableWarnings(imported.entries);
    for (const tableedit::TextProblem& warning : warnings) {
        report += where(warning.line) + "警告: " + warning.message + "\n";
    }
    report += shown + ": " + std::to_string(imported.entryLines) + " 項目を検査、" +
              Count("問題", imported.problems.size()) + "、" + Count("警告", warnings.size()) + "\n";
    Out(report);
    return imported.problems.empty() ? kDone : kRefused;
}

} // namespace

int RunTable(const QStringList& arguments) {
    Arguments line(TableHelp(), {opt::kTable});
    if (!line.Parse(arguments)) {
        return kDone;
    }
    const QStringList positional = line.Positional();
    if (positional.isEmpty()) {
        throw CliError(kUsage, "table には export、import、check のいずれかを指定してください" + SeeHelp());
    }
    const bool named = line.IsSet(opt::kTable);
    PasswordModel model(named ? line.Value(opt::kTable) : kTableFileName);
    const QString action = positional[0];
    if (action == "export") {
        return Export(line, model, named);
    }
    if (action == "import") {
        return Import(line, model);
    }
    if (action == "check") {
        return Check(line, model, named);
    }
    throw CliError(kUsage, "不明な table のコマンドです: " + QuotedUserText(Arguments::Utf8(action)) +
                               "（export、import、check のいずれか）");
}

} // namespace cli
