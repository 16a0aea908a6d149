// Q8xj: turns a phrase typed in full-width katakana into a password.
#include "app/PasswordDialog.h"
#include "app/CommandLine.h"

#include "platform/FileErrorText.h"
#include "platform/QtTranslations.h"
#include "platform/Settings.h"

#include <QApplication>
#include <QIcon>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <csignal>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace {

// Whether all of `text` reached `stream`, which is flushed to know.
bool Print(std::FILE* stream, const QString& text) {
    const QByteArray bytes = text.toLocal8Bit();
    const std::size_t size = static_cast<std::size_t>(bytes.size());
    return std::fwrite(bytes.constData(), 1, size, stream) == size && std::fflush(stream) == 0;
}

// Qt's messages while the application object starts are held back: when no
// window system can be reached Qt ends the run with several English lines and
// an abort, which give way to one line of ours and exit code 1. Otherwise the
// held messages are passed on as they came.
class StartupMessages {
public:
    StartupMessages() {
        s_held = &m_held;
        m_previous = qInstallMessageHandler(&StartupMessages::Hold);
    }
    ~StartupMessages() {
        qInstallMessageHandler(m_previous);
        const std::lock_guard lock(s_mutex);
        s_held = nullptr;
        for (const Held& message : m_held) {
            const QMessageLogContext context(message.file.c_str(), message.line, message.function.c_str(),
                                             message.category.c_str());
            m_previous != nullptr ? m_previous(message.type, context, message.text)
                                  : qt_message_output(message.type, context, message.text);
        }
    }
    StartupMessages(const StartupMessages&) = delete;
    StartupMessages& operator=(const StartupMessages&) = delete;

private:
    struct Held {
        QtMsgType type;
        std::string file, function, category;
        int line;
        QString text;
    };

    static void Hold(QtMsgType type, const QMessageLogContext& context, const QString& text) {
        if (type == QtFatalMsg) {
            Print(stderr,
                  QString::fromUtf8("Q8xj: ディスプレイを使えないため、ウィンドウを開けません"
                                    "（DISPLAY、WAYLAND_DISPLAY、QT_QPA_PLATFORM を確かめてください）\n"));
            std::_Exit(1);
        }
        const auto text8 = [](const char* s) {
            return std::string(s != nullptr ? s : "");
        };
        // The window system's event thread may report too.
        const std::lock_guard lock(s_mutex);
        s_held->push_back({type, text8(context.file), text8(context.function), text8(context.category),
                           context.line, text});
    }

    static inline std::vector<Held>* s_held = nullptr;
    static inline std::mutex s_mutex;
    std::vector<Held> m_held;
    QtMessageHandler m_previous = nullptr;
};

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
        // Help or version that cannot be written is a failure, as any output
        // is: a closed pipe is an error to report, not a signal to die of.
        std::signal(SIGPIPE, SIG_IGN);
        errno = 0;
        if (!Print(stdout, commandLine.output)) {
            const std::error_code error(errno != 0 ? errno : EIO, std::generic_category());
            Print(stderr, QString::fromUtf8("Q8xj: 標準出力に書き込めません（%1）\n")
                              .arg(QString::fromStdString(FileErrorReason(error))));
            return 1;
        }
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

    std::unique_ptr<QApplication> application;
    {
        const StartupMessages held;
        application = std::make_unique<QApplication>(argc, argv);
    }
    InstallQtTranslations(*application);
    // Up to 128 pixels: the window system is handed every size, each decoded
    // at start; launchers and switchers take larger ones from the installed icons.
    QIcon icon;
    for (const int size : {16, 32, 48, 64, 128}) {
        icon.addFile(QStringLiteral(":/icons/q8xj-%1.png").arg(size));
    }
    QApplication::setWindowIcon(icon);
    QApplication::setDesktopFileName(QStringLiteral("org.q8xj.Q8xj"));
    {
        PasswordDialog dialog;
        dialog.exec();
    }
    return 0;
}
