#include "app/HelpPage.h"

#include "platform/MessageBox.h"
#include "platform/QtText.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>

#include <string>

#ifndef Q8XJ_HELP_DIR
#define Q8XJ_HELP_DIR ""
#endif

namespace {

constexpr auto kHelpFolder = "help";
constexpr auto kHelpFile = "index.html";

HelpViewer* g_replacement = nullptr;

// A path for a box: as it is when code page 932 holds it, else the bare file name.
QString PathForBox(const QString& path) {
    const QString native = QDir::toNativeSeparators(path);
    return FromQString(native) ? native : QString::fromUtf8(kHelpFile);
}

} // namespace

bool HelpViewer::Open(const QUrl& url) {
    return QDesktopServices::openUrl(url);
}

HelpViewer& HelpViewer::Current() {
    static HelpViewer* const real = new HelpViewer;
    return g_replacement != nullptr ? *g_replacement : *real;
}

void HelpViewer::Replace(HelpViewer* replacement) {
    g_replacement = replacement;
}

QStringList HelpViewer::Candidates() const {
    const QString exeDir = QCoreApplication::applicationDirPath();
    QStringList candidates;
    // Beside the executable: the build tree copies the page there.
    candidates << QDir(exeDir).filePath(QStringLiteral("%1/%2").arg(kHelpFolder, kHelpFile));
    // The installed data folder, found from bin/ so that a moved prefix still works.
    candidates << QDir::cleanPath(exeDir +
                                  QStringLiteral("/../share/q8xj/%1/%2").arg(kHelpFolder, kHelpFile));
    // The prefix the program was built for.
    const QString configured = QString::fromUtf8(Q8XJ_HELP_DIR);
    if (!configured.isEmpty()) {
        candidates << QDir(configured).filePath(QString::fromLatin1(kHelpFile));
    }
    candidates.removeDuplicates();
    return candidates;
}

QString FindHelpPage() {
    for (const QString& candidate : HelpViewer::Current().Candidates()) {
        if (QFileInfo(candidate).isFile()) {
            return candidate;
        }
    }
    return {};
}

void ShowHelpPage() {
    const QString page = FindHelpPage();
    if (page.isEmpty()) {
        platform::ShowMessage(QStringLiteral("ヘルプファイルが見つかりません。\n探した場所:\n") +
                                    PathForBox(HelpViewer::Current().Candidates().join(QLatin1Char('\n'))),
                                platform::Buttons::Ok, platform::Icon::Stop);
        return;
    }
    if (!HelpViewer::Current().Open(QUrl::fromLocalFile(page))) {
        platform::ShowMessage(QStringLiteral("ヘルプを表示するプログラムを起動できませんでした。\n") +
                                    PathForBox(page),
                                platform::Buttons::Ok, platform::Icon::Stop);
    }
}
