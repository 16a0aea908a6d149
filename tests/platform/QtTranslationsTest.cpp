// Qt's own texts come out in Japanese once the program has loaded Qt's
// translation, as it does at start-up.
#include "platform/QtTranslations.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QFontDialog>
#include <QLabel>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QtTest>

#include <memory>

class QtTranslationsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        const QString file = QLibraryInfo::path(QLibraryInfo::TranslationsPath) + "/qtbase_ja.qm";
        if (!QFile::exists(file)) {
            QVERIFY(!InstallQtTranslations(*qApp)); // said, not pretended
            QSKIP("Qt's Japanese translation is not installed");
        }
        QVERIFY(InstallQtTranslations(*qApp));
    }

    void qtTextsAreJapanese_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("japanese");
        QDialogButtonBox buttons(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
        QTest::newRow("cancel button")
            << buttons.button(QDialogButtonBox::Cancel)->text() << QString::fromUtf8("キャンセル");
        QLineEdit edit;
        const std::unique_ptr<QMenu> menu(edit.createStandardContextMenu());
        QStringList entries;
        for (const QAction* action : menu->actions()) {
            entries << action->text();
        }
        QTest::newRow("edit menu") << entries.join('|') << QString::fromUtf8("貼り付け");
        // The print font chooser is built around Qt's font picker.
        QFontDialog fonts;
        QStringList texts;
        for (const QLabel* label : fonts.findChildren<QLabel*>()) {
            texts << label->text();
        }
        for (const QCheckBox* box : fonts.findChildren<QCheckBox*>()) {
            texts << box->text();
        }
        QTest::newRow("font picker style label")
            << texts.join('|') << QString::fromUtf8("フォントスタイル(&Y)");
        QTest::newRow("font picker underline") << texts.join('|') << QString::fromUtf8("下線(&U)");
    }
    void qtTextsAreJapanese() {
        QFETCH(QString, text);
        QFETCH(QString, japanese);
        QVERIFY2(text.contains(japanese), qPrintable(text));
    }
};

QTEST_MAIN(QtTranslationsTest)
#include "QtTranslationsTest.moc"
