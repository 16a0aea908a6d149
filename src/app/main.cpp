// Q8xj: turns a phrase typed in full-width katakana into a password.
#include "app/CPasswordApp.h"
#include "app/CommandLine.h"

#include "platform/QtTranslations.h"
#include "platform/Settings.h"

#include <QApplication>
#include <QIcon>

#include <cstdio>

namespace {

void Print(std::FILE* stream, const QString& text) {
    const QByteArray bytes = text.toLocal8Bit();
    std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stream);
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication::setOrganizationName(QString::fromLatin1(platform::kSettingsOrganisation));
    QCoreApplication::setApplicationVersion(QString::fromLatin1(Q8XJ_VERSION));

    // The command line is read before any window system is reached, so --help
    // and --version work without a display.
    CommandLine commandLine;
    {
        QCoreApplication core(argc, argv);
        InstallQtTranslations(core);
        commandLine = CommandLine::Parse(QCoreApplication::arguments());
    }
    if (commandLine.action == CommandLine::Action::Exit) {
        Print(stdout, commandLine.output);
        Print(stderr, commandLine.error);
        return commandLine.exitCode;
    }
    if (commandLine.useDataFolder) {
        QString error;
        if (!CommandLine::EnterDataFolder(error)) {
            Print(stderr, error);
            return 1;
        }
    }

    QApplication application(argc, argv);
    InstallQtTranslations(application);
    QIcon icon;
    for (const int size : {16, 32, 48, 64, 128, 256}) {
        icon.addFile(QStringLiteral(":/icons/q8xj-%1.png").arg(size));
    }
    QApplication::setWindowIcon(icon);
    QApplication::setDesktopFileName(QStringLiteral("org.q8xj.Q8xj"));
    theApp.InitInstance();
    return 0;
}
