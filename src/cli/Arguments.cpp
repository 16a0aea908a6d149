#include "cli/Arguments.h"

#include "cli/CliError.h"
#include "cli/HelpText.h"
#include "cli/Terminal.h"
#include "platform/UserText.h"

namespace cli {

Arguments::Arguments(std::string_view help)
    : m_help(help) {
    m_parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    m_parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsOptions);
    m_parser.addOption(QCommandLineOption({"h", "help"}, "ヘルプを表示します。"));
}

bool Arguments::Parse(const QStringList& arguments) {
    // The parser skips the first element, the program's name.
    if (!m_parser.parse(QStringList{"q8xj-cli"} + arguments)) {
        // Qt's words would carry the unknown option as typed, line ends and all.
        const QStringList unknown = m_parser.unknownOptionNames();
        const std::string error = unknown.isEmpty()
                                      ? ShownUserText(Utf8(m_parser.errorText()), kShownPathChars)
                                      : "不明なオプションです: " + QuotedUserText(Utf8(unknown.first()));
        throw CliError(kUsage, error + "（--help を参照）");
    }
    if (m_parser.isSet("help")) {
        Out(m_help + std::string(kExitCodesHelp));
        return false;
    }
    return true;
}

std::string Arguments::Value(const QString& name) const {
    return Utf8(m_parser.value(name));
}

std::int64_t Arguments::Number(const QString& name, std::int64_t min, std::int64_t max) const {
    bool ok = false;
    const qlonglong value = m_parser.value(name).toLongLong(&ok, 10);
    if (!ok || value < min || value > max) {
        throw CliError(kUsage, "--" + Utf8(name) + " には " + std::to_string(min) + "〜" +
                                   std::to_string(max) +
                                   " の整数を指定してください: " + QuotedUserText(Value(name)));
    }
    return value;
}

std::string Arguments::Utf8(const QString& text) {
    return text.toStdString();
}

} // namespace cli
