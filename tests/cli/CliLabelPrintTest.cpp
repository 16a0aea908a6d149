// q8xj-cli label and print, run as a program: the PNG holds the label the
// print button's job reads from the print image for the same password, font
// and colour, and the virtual printer saves that same label.
#include "CliRunner.h"

#include "platform/Cp932.h"
#include "platform/Fonts.h"
#include "platform/QtText.h"
#include "print/PrintImage.h"
#include "print/PrintStyle.h"

#include <QImage>
#include <QtTest>

namespace {

// The style a user would have set in the window: a face, a point size, a colour.
PrintStyle WindowStyle(const QString& face, int points, const QColor& colour) {
    PrintStyle style;
    FontDescription description = style.Description();
    if (!face.isEmpty()) {
        description.faceName = cp932::Text(face.toStdString());
    }
    description.height = -PointFont(ToQString(description.faceName), points * 10).pixelSize();
    style.Set(description, colour);
    return style;
}

// The dots of a label picture: anything but white is a dot.
LabelImage DotsOf(const QImage& picture) {
    LabelImage label;
    for (int y = 0; y < LabelImage::kHeight; ++y) {
        for (int x = 0; x < LabelImage::kWidth; ++x) {
            label.SetDot(x, y, picture.pixelColor(x, y) != QColor(Qt::white));
        }
    }
    return label;
}

QImage Picture(const std::string& bytes) {
    return QImage::fromData(QByteArray::fromStdString(bytes), "PNG");
}

} // namespace

class CliLabelPrintTest : public QObject {
    Q_OBJECT

private slots:
    void labelIsWhatThePrintJobReads_data();
    void labelIsWhatThePrintJobReads();
    void virtualPrinterSavesTheSameLabel();
    void printerFailures_data();
    void printerFailures();
    void labelFailures_data();
    void labelFailures();
};

void CliLabelPrintTest::labelIsWhatThePrintJobReads_data() {
    QTest::addColumn<QString>("password");
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QString>("face");
    QTest::addColumn<int>("points");
    QTest::addColumn<QColor>("colour");
    QTest::addColumn<bool>("warns");

    QTest::newRow("default font") << "39r" << QStringList{} << "" << 36 << QColor(Qt::black) << false;
    QTest::newRow("small and red") << "Skr39" << QStringList{"--size", "12", "--colour", "red"} << "" << 12
                                   << QColor(Qt::red) << false;
    QTest::newRow("hex colour and face")
        << "wndu" << QStringList{"--colour", "#336699", "--font", "IPAGothic"} << "IPAGothic" << 36
        << QColor("#336699") << false;
    QTest::newRow("wider than the label")
        << "39rSkr39rSkr39rSkr39rSkr" << QStringList{"--size", "48"} << "" << 48 << QColor(Qt::black) << true;
    QTest::newRow("white prints nothing")
        << "39r" << QStringList{"--colour", "white"} << "" << 36 << QColor(Qt::white) << false;
}

void CliLabelPrintTest::labelIsWhatThePrintJobReads() {
    QFETCH(QString, password);
    QFETCH(QStringList, options);
    QFETCH(QString, face);
    QFETCH(int, points);
    QFETCH(QColor, colour);
    QFETCH(bool, warns);

    CliRunner cli;
    std::vector<std::string> args{"label", "--output", "label.png"};
    for (const QString& option : options) {
        args.push_back(option.toStdString());
    }
    args.push_back(password.toStdString());
    const CliResult result = cli.Run(args);
    QCOMPARE(result.code, 0);
    QCOMPARE(QString::fromStdString(result.err).contains("両端が切れます"), warns);

    const QImage picture = Picture(cli.ReadFile("label.png"));
    QCOMPARE(picture.size(), QSize(384, 64));
    const LabelImage expected = PrintImage::Label(
        PrintImage::Render(cp932::Text(password.toStdString()), WindowStyle(face, points, colour)));
    QCOMPARE(expected.DotCount() > 0, colour != QColor(Qt::white));
    QVERIFY(DotsOf(picture) == expected);
}

void CliLabelPrintTest::virtualPrinterSavesTheSameLabel() {
    CliRunner cli;
    QVERIFY(QDir(QString::fromStdString(cli.Folder().string())).mkdir("labels"));
    cli.SetEnv("TAVOPUS_VIRTUAL", (cli.Folder() / "labels").string());
    const CliResult printed = cli.Run({"print", "--size", "30", "39r"});
    QCOMPARE(printed.code, 0);
    QCOMPARE(
        QString::fromStdString(printed.err).split('\n').filter("q8xj-cli: print: ").join('|'),
        QString(
            "q8xj-cli: print: ラベルを読み取っています|q8xj-cli: print: プリンターを探しています|"
            "q8xj-cli: print: プリンター 0: ORBEK virtual label printer|"
            "q8xj-cli: print: プリンターを初期化しています|q8xj-cli: print: ラベルを設定しています|"
            "q8xj-cli: print: ストリップ 1/3 を送っています|q8xj-cli: print: ストリップ 2/3 を送っています|"
            "q8xj-cli: print: ストリップ 3/3 を送っています|q8xj-cli: print: ジョブを終えています|"
            "q8xj-cli: print: プリンターの完了を待っています|q8xj-cli: print: 完了しました"));

    QCOMPARE(cli.Run({"label", "--size", "30", "--output", "label.png", "39r"}).code, 0);
    const LabelImage saved = DotsOf(Picture(cli.ReadFile("labels/label-0001.png")));
    QVERIFY(saved.DotCount() > 0);
    QVERIFY(saved == DotsOf(Picture(cli.ReadFile("label.png"))));
}

void CliLabelPrintTest::printerFailures_data() {
    QTest::addColumn<QString>("folderFile");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("message");
    QTest::newRow("no printer") << "unplugged" << 7 << "q8xj-cli: ラベルプリンターが見つかりません";
    // Never acknowledged: the job's waits run out, some fifteen seconds.
    QTest::newRow("silent printer") << "silent" << 8
                                    << "q8xj-cli: プリンターがラベルの受信を確認しません（ストリップ 0/3）";
}

void CliLabelPrintTest::printerFailures() {
    QFETCH(QString, folderFile);
    QFETCH(int, code);
    QFETCH(QString, message);
    CliRunner cli;
    QVERIFY(QDir(QString::fromStdString(cli.Folder().string())).mkdir("labels"));
    cli.WriteFile("labels/" + folderFile.toStdString(), "");
    cli.SetEnv("TAVOPUS_VIRTUAL", (cli.Folder() / "labels").string());
    const CliResult result = cli.Run({"print", "39r"});
    QCOMPARE(result.code, code);
    QVERIFY2(QString::fromStdString(result.err).endsWith(message + "\n"), result.err.c_str());
}

void CliLabelPrintTest::labelFailures_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("message");
    QTest::newRow("no output") << QStringList{"label", "39r"} << 2
                               << "q8xj-cli: label には --output FILE.png か --output FILE.pdf を指定してください";
    QTest::newRow("no password") << QStringList{"label", "--output", "l.png"} << 2
                                 << "q8xj-cli: パスワードを 1 つ指定してください（--help を参照）";
    QTest::newRow("empty password") << QStringList{"print", ""} << 2
                                    << "q8xj-cli: パスワードが空です。印刷するものがありません";
    QTest::newRow("bad colour") << QStringList{"label", "--colour", "#12345", "--output", "l.png", "x"} << 2
                                << "q8xj-cli: --colour には色の名前か #rrggbb を指定してください: 「#12345」";
    QTest::newRow("bad size") << QStringList{"print", "--size", "0", "x"} << 2
                              << "q8xj-cli: --size には 1〜500 の整数を指定してください: 「0」";
    QTest::newRow("face too long")
        << QStringList{"label", "--font", QString(32, 'F'), "--output", "l.png", "x"} << 2
        << "q8xj-cli: --font には CP932 で 1〜31 バイトのフォント名を指定してください";
    QTest::newRow("not code page 932") << QStringList{"label", "--output", "l.png", "x😀"} << 4
                                       << "q8xj-cli: パスワード「x😀」に CP932 で表せない文字があります";
    QTest::newRow("unwritable output") << QStringList{"label", "--output", "none/l.png", "x"} << 6
                                       << "q8xj-cli: none/l.png に書き込めません: No such file or directory";
}

void CliLabelPrintTest::labelFailures() {
    QFETCH(QStringList, args);
    QFETCH(int, code);
    QFETCH(QString, message);
    CliRunner cli;
    std::vector<std::string> arguments;
    for (const QString& arg : args) {
        arguments.push_back(arg.toStdString());
    }
    const CliResult result = cli.Run(arguments);
    QCOMPARE(result.code, code);
    QCOMPARE(QString::fromStdString(result.err), message + "\n");
    QCOMPARE(QString::fromStdString(result.out), QString());
    QVERIFY(std::filesystem::is_empty(cli.Folder()));
}

QTEST_MAIN(CliLabelPrintTest)
#include "CliLabelPrintTest.moc"
