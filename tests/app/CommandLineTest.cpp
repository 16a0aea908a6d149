// The program's command line as it is parsed, before any window exists.
#include "app/CommandLine.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

class CommandLineTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QCoreApplication::setApplicationVersion(QStringLiteral("9.8.7")); }

    void parses_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("exits");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("output"); // a part of standard output
        QTest::addColumn<bool>("complains"); // something on standard error
        QTest::addColumn<bool>("dataFolder");
        QTest::newRow("nothing: the window") << QStringList{} << false << 0 << "" << false << false;
        QTest::newRow("data folder") << QStringList{"--in-data-folder"} << false << 0 << "" << false << true;
        QTest::newRow("help") << QStringList{"--help"} << true << 0 << "--in-data-folder" << false << false;
        QTest::newRow("short help") << QStringList{"-h"} << true << 0 << "--version" << false << false;
        QTest::newRow("help wins over the data folder")
            << QStringList{"--in-data-folder", "--help"} << true << 0 << "Q8.xj" << false << false;
        QTest::newRow("version") << QStringList{"--version"} << true << 0 << " 9.8.7\n" << false << false;
        QTest::newRow("unknown option") << QStringList{"--colour"} << true << 2 << "" << true << false;
        QTest::newRow("stray argument") << QStringList{"Q8.xj"} << true << 2 << "" << true << false;
        QTest::newRow("value given to a flag")
            << QStringList{"--in-data-folder=/tmp"} << true << 2 << "" << true << false;
    }
    void parses() {
        QFETCH(QStringList, arguments);
        QFETCH(bool, exits);
        QFETCH(int, exitCode);
        QFETCH(QString, output);
        QFETCH(bool, complains);
        QFETCH(bool, dataFolder);
        arguments.prepend(QStringLiteral("Q8xj"));
        const CommandLine line = CommandLine::Parse(arguments);
        QCOMPARE(line.action == CommandLine::Action::Exit, exits);
        QCOMPARE(line.exitCode, exitCode);
        QVERIFY2(line.output.contains(output), qPrintable(line.output));
        QCOMPARE(exits && exitCode == 0, !line.output.isEmpty());
        QCOMPARE(!line.error.isEmpty(), complains);
        QCOMPARE(line.useDataFolder, dataFolder);
    }

    // The folder follows XDG_DATA_HOME, is created on first use and becomes the
    // working folder, where the table file is read and written. A file in its
    // place is said, and the working folder stays.
    void dataFolderIsCreatedAndEntered_data() {
        QTest::addColumn<bool>("blocked");
        QTest::newRow("created and entered") << false;
        QTest::newRow("a file in its place") << true;
    }
    void dataFolderIsCreatedAndEntered() {
        QFETCH(bool, blocked);
        QTemporaryDir home;
        QVERIFY(home.isValid());
        const QString expected = home.path() + QStringLiteral("/q8xj");
        QVERIFY(!blocked || QFile(expected).open(QIODevice::WriteOnly));
        const QString previous = QDir::currentPath();
        const QByteArray previousData = qgetenv("XDG_DATA_HOME");
        qputenv("XDG_DATA_HOME", home.path().toUtf8());
        const QString folder = CommandLine::DataFolder();
        QString error;
        const bool entered = CommandLine::EnterDataFolder(error);
        const QString now = QDir::currentPath();
        QDir::setCurrent(previous);
        previousData.isNull() ? qunsetenv("XDG_DATA_HOME") : qputenv("XDG_DATA_HOME", previousData);
        QCOMPARE(folder, expected);
        QCOMPARE(entered, !blocked);
        QCOMPARE(QDir(now).canonicalPath(), QDir(blocked ? previous : expected).canonicalPath());
        QVERIFY2(blocked ? error.contains(QStringLiteral("q8xj")) : error.isEmpty(), qPrintable(error));
    }
};

QTEST_GUILESS_MAIN(CommandLineTest)
#include "CommandLineTest.moc"
