// q8xj-cli: the conversion, the conversion table and the label from a
// terminal. Commands that draw (label, print) get a Qt GUI application on the
// offscreen platform; the others only a core application, so none needs a display.
#include "cli/CliError.h"
#include "cli/Arguments.h"
#include "cli/ConvertCommand.h"
#include "cli/HelpText.h"
#include "cli/LabelCommand.h"
#include "cli/Options.h"
#include "cli/PrintCommand.h"
#include "cli/SuggestCommand.h"
#include "cli/TableCommand.h"
#include "cli/Terminal.h"
#include "files/FileWriter.h"
#include "files/System.h"
#include "platform/QtTranslations.h"
#include "platform/UserText.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QStringList>

#include <csignal>
#include <exception>
#include <memory>
#include <string>

namespace {

int RunCommand(const QStringList& arguments) {
    using namespace cli;
    if (arguments.isEmpty()) {
        throw CliError(kUsage,
                       "コマンドを指定してください: convert、table、label、print、printers" + SeeHelp());
    }
    const QString command = arguments.first();
    const QStringList rest = arguments.mid(1);
    // "help" as a command word is the option's long name.
    if (Spells(opt::kHelp, command) || command == opt::kHelp.names().last()) {
        Out(OverviewHelp() + std::string(kExitCodesHelp));
        return kDone;
    }
    if (Spells(opt::kVersion, command)) {
        Out("q8xj-cli " + Arguments::Utf8(QCoreApplication::applicationVersion()) + "\n");
        return kDone;
    }
    if (command == "convert") {
        return RunConvert(rest);
    }
    if (command == "suggest") {
        return RunSuggest(rest);
    }
    if (command == "table") {
        return RunTable(rest);
    }
    if (command == "label") {
        return RunLabel(rest);
    }
    if (command == "print") {
        return RunPrint(rest);
    }
    if (command == "printers") {
        return ListPrinters(rest);
    }
    throw CliError(kUsage, "不明なコマンドです: " + QuotedUserText(Arguments::Utf8(command)) +
                               "（convert、table、label、print、printers のいずれか。" + Flag(opt::kHelp) +
                               " を参照）");
}

// Qt's own notes (a missing runtime folder, font fallbacks) are not the
// tool's messages: standard error carries one line per failure.
void DropQtNotes(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtCriticalMsg || type == QtFatalMsg) {
        cli::Note(ShownUserText(message.toStdString(), kShownPathChars));
    }
}

// Only the commands that draw or ask for printers need Qt's GUI; a label needs
// no display, so they draw offscreen whatever platform the environment names.
bool Draws(int argc, char* argv[]) {
    const std::string command = argc > 1 ? argv[1] : "";
    return command == "label" || command == "print" || command == "printers";
}

} // namespace

int main(int argc, char* argv[]) {
    // First, before anything opens a file that could take a closed one's number.
    files::HoldClosedStandardDescriptors();
    files::RemoveTempFilesOnSignal();
    // A reader that leaves early (| head) makes a write fail, which ends the command with its exit code.
    std::signal(SIGPIPE, SIG_IGN);
    qInstallMessageHandler(DropQtNotes);
    std::unique_ptr<QCoreApplication> app;
    if (Draws(argc, argv)) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        app = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    // Qt's parser errors (an unknown option, a missing value) in Japanese, as the tool's own.
    InstallQtTranslations(*app);
    QCoreApplication::setApplicationName("q8xj-cli");
    QCoreApplication::setApplicationVersion(Q8XJ_VERSION);
    try {
        return RunCommand(QCoreApplication::arguments().mid(1));
    } catch (const cli::CliError& error) {
        cli::Error(error.what());
        return error.Code();
    } catch (const std::exception& error) {
        cli::Error("予期しないエラーです: " + ShownUserText(error.what(), kShownPathChars));
        return cli::kInternal;
    }
}
