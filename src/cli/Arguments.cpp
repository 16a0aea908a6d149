#include "cli/Arguments.h"

#include "cli/CliError.h"
#include "cli/HelpText.h"
#include "cli/Options.h"
#include "cli/Terminal.h"
#include "platform/UserText.h"

#include <QRegularExpression>

namespace cli {

Arguments::Arguments(std::string head, const std::vector<QCommandLineOption>& options) {
    std::vector<QCommandLineOption> all = options;
    all.push_back(opt::kHelp);
    m_help = std::move(head) + "オプション:\n" + OptionsHelp(all) + "\n" + std::string(kExitCodesHelp);
    m_parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    m_parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsOptions);
    for (const QCommandLineOption& option : all) {
        m_parser.addOption(option);
    }
}

bool Arguments::Parse(const QStringList& arguments) {
    // The parser skips the first element, the program's name.
    if (!m_parser.parse(QStringList{"q8xj-cli"} + arguments)) {
        // Qt's words would carry the unknown option as typed, line ends and all.
        // An unknown option is named only when typed as one of ours would be: "-3xQ" may be a password.
        const QStringList unknown = m_parser.unknownOptionNames();
        static const QRegularExpression optionName("^[a-z][a-z-]*$");
        const bool named = !unknown.isEmpty() && optionName.match(unknown.first()).hasMatch() &&
                           arguments.contains("--" + unknown.first());
        const std::string error =
            unknown.isEmpty() ? ShownUserText(Utf8(m_parser.errorText()), kShownPathChars)
            : named           ? "不明なオプションです: " + QuotedUserText(Utf8(unknown.first()))
                              : std::string("不明なオプションです。- で始まる言葉やパスワードは -- の後に指定します");
        throw CliError(kUsage, error + SeeHelp());
    }
    if (m_parser.isSet(opt::kHelp)) {
        Out(m_help);
        return false;
    }
    return true;
}

std::int64_t Arguments::Number(const QCommandLineOption& option, std::int64_t min, std::int64_t max) const {
    bool ok = false;
    const qlonglong value = Text(option).toLongLong(&ok, 10);
    if (!ok || value < min || value > max) {
        throw CliError(kUsage, Flag(option) + " には " + std::to_string(min) + "〜" + std::to_string(max) +
                                   " の整数を指定してください: " + QuotedUserText(Value(option)));
    }
    return value;
}

std::string Arguments::Utf8(const QString& text) {
    return text.toStdString();
}

} // namespace cli
