#include "app/CommandLine.h"

#include "files/FileWriter.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStandardPaths>

CommandLine CommandLine::Parse(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QString::fromUtf8(
        "全角カタカナの言葉をパスワードに変換します。変換表は作業フォルダのファイル Q8.xj です。"));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption dataFolder(
        QString::fromLatin1(kDataFolderOption),
        QString::fromUtf8("プログラム専用のデータフォルダ（%1）で起動します。なければ作ります。")
            .arg(QDir::toNativeSeparators(DataFolder())));
    parser.addOption(dataFolder);

    CommandLine result;
    if (!parser.parse(arguments)) {
        result.action = Action::Exit;
        result.exitCode = 2;
        result.error = parser.errorText() + QLatin1Char('\n');
        return result;
    }
    if (!parser.positionalArguments().isEmpty()) {
        result.action = Action::Exit;
        result.exitCode = 2;
        result.error = QString::fromUtf8("不明な引数です: %1\n").arg(parser.positionalArguments().join(' '));
        return result;
    }
    if (parser.isSet(help)) {
        result.action = Action::Exit;
        result.output = parser.helpText();
        return result;
    }
    if (parser.isSet(version)) {
        result.action = Action::Exit;
        result.output = QCoreApplication::applicationName() + QLatin1Char(' ') +
                        QCoreApplication::applicationVersion() + QLatin1Char('\n');
        return result;
    }
    result.useDataFolder = parser.isSet(dataFolder);
    return result;
}

QString CommandLine::DataFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/q8xj");
}

bool CommandLine::EnterDataFolder(QString& error) {
    const QString folder = DataFolder();
    if (files::CreateFolder(QFile::encodeName(folder).toStdString())) {
        error = QString::fromUtf8("データフォルダを作れません: %1\n").arg(QDir::toNativeSeparators(folder));
        return false;
    }
    if (!QDir::setCurrent(folder)) {
        error = QString::fromUtf8("データフォルダに移れません: %1\n").arg(QDir::toNativeSeparators(folder));
        return false;
    }
    return true;
}
