// Q8xj: turns a phrase typed in full-width katakana into a password.
#include "app/CPasswordApp.h"

#include "platform/QtTranslations.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    InstallQtTranslations(application);
    QIcon icon(QStringLiteral(":/icons/q8xj-32.png"));
    icon.addFile(QStringLiteral(":/icons/q8xj-16.png"));
    QApplication::setWindowIcon(icon);
    QApplication::setDesktopFileName(QStringLiteral("q8xj"));
    theApp.InitInstance();
    return 0;
}
