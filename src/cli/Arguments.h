// One command's options: parsing with Qt's command-line parser, its help made
// from the options it takes, and the conversions of option values that every
// command needs.
#pragma once

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QStringList>

#include <cstdint>
#include <string>
#include <vector>

namespace cli {

class Arguments {
public:
    // `head`: the command's help before its options; `options`: those it
    // takes (from cli/Options.h), in the order its help lists them.
    Arguments(std::string head, const std::vector<QCommandLineOption>& options);

    // Parses `arguments` (the command's own, without the program and command
    // names). False when help was asked for and shown. Throws a usage error.
    bool Parse(const QStringList& arguments);

    bool IsSet(const QCommandLineOption& option) const { return m_parser.isSet(option); }
    QString Text(const QCommandLineOption& option) const { return m_parser.value(option); }
    std::string Value(const QCommandLineOption& option) const { return Utf8(Text(option)); }
    // The value as a number from `min` to `max`; a usage error otherwise.
    std::int64_t Number(const QCommandLineOption& option, std::int64_t min, std::int64_t max) const;
    QStringList Positional() const { return m_parser.positionalArguments(); }

    static std::string Utf8(const QString& text);

private:
    QCommandLineParser m_parser;
    std::string m_help;
};

} // namespace cli
