#include "cli/Options.h"

#include <QStringList>

#include <algorithm>

namespace cli {
namespace {

QString Dashed(const QString& name) {
    return (name.size() == 1 ? "-" : "--") + name;
}

} // namespace

std::string Flag(const QCommandLineOption& option) {
    return Dashed(option.names().last()).toStdString();
}

std::string Synopsis(const QCommandLineOption& option) {
    QStringList names;
    for (const QString& name : option.names()) {
        names << Dashed(name);
    }
    const QString value = option.valueName().isEmpty() ? QString() : " " + option.valueName();
    return (names.join(", ") + value).toStdString();
}

bool Spells(const QCommandLineOption& option, const QString& argument) {
    return std::ranges::any_of(option.names(), [&](const QString& name) { return Dashed(name) == argument; });
}

std::string OptionsHelp(const std::vector<QCommandLineOption>& options) {
    std::size_t width = 0;
    for (const QCommandLineOption& option : options) {
        width = std::max(width, Synopsis(option).size());
    }
    const std::string indent(2 + width + 2, ' ');
    std::string text;
    for (const QCommandLineOption& option : options) {
        const std::string synopsis = Synopsis(option);
        text += "  " + synopsis + std::string(width + 2 - synopsis.size(), ' ') +
                option.description().replace("\n", QString::fromStdString("\n" + indent)).toStdString() +
                "\n";
    }
    return text;
}

std::string SeeHelp() {
    return "（" + Flag(opt::kHelp) + " を参照）";
}

} // namespace cli
