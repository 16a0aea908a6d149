// One command's options: parsing with Qt's command-line parser, its own help
// text, and the conversions of option values that every command needs.
#pragma once

#include <QCommandLineParser>
#include <QStringList>

#include <cstdint>
#include <string>
#include <string_view>

namespace cli {

class Arguments {
public:
    // `help`: the command's whole help text, shown for -h or --help.
    explicit Arguments(std::string_view help);

    QCommandLineParser& Parser() { return m_parser; }

    // Parses `arguments` (the command's own, without the program and command
    // names). False when help was asked for and shown. Throws a usage error.
    bool Parse(const QStringList& arguments);

    std::string Value(const QString& name) const;
    bool IsSet(const QString& name) const { return m_parser.isSet(name); }
    // The value as a number from `min` to `max`; a usage error otherwise.
    std::int64_t Number(const QString& name, std::int64_t min, std::int64_t max) const;
    QStringList Positional() const { return m_parser.positionalArguments(); }

    static std::string Utf8(const QString& text);

private:
    QCommandLineParser m_parser;
    std::string m_help;
};

} // namespace cli
