// q8xj-cli label and print, run as a program: the PNG holds the label the
// print button's job reads from the print image for the same password, font
// and colour, and the virtual printer saves that same label. The label at its
// real size, in a PDF and through a private print scheduler, holds the same
// ink; the window's "PDF として保存..." writes the CLI's PDF.
#include "CliRunner.h"

#include "app/CPasswordDlg.h"
#include "app/PasswordDialogTemplate.h"
#include "platform/Cp932.h"
#include "platform/Fonts.h"
#include "platform/QtText.h"
#include "platform/SaveFileDialog.h"
#include "print/LabelSheet.h"
#include "print/PrintImage.h"
#include "print/PrintStyle.h"
#include "support/GuiTestHelpers.h"
#include "support/IsolatedSettings.h"

#include <QImage>
#include <QLineEdit>
#include <QMenu>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QtTest>

#include <memory>

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

constexpr double kDotsPerInch = LabelSheet::kDotsPerMm * 25.4;

// The smallest rectangle holding every pixel of `area` that is not white.
QRect Ink(const QImage& image, const QRect& area) {
    QRect ink;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if (image.pixelColor(x, y) != QColor(Qt::white)) {
                ink |= QRect(x, y, 1, 1);
            }
        }
    }
    return ink;
}

bool WithinOneDot(QPointF a, QPointF b) {
    return qAbs(a.x() - b.x()) <= 1 && qAbs(a.y() - b.y()) <= 1;
}

// A private print scheduler with one raw queue whose jobs land as files;
// the machine's own scheduler is left alone.
class CupsSandbox {
public:
    static constexpr const char* kQueue = "q8capture";

    CupsSandbox() {
        std::filesystem::permissions(m_dir.Path(), std::filesystem::perms::all &
                                                       ~std::filesystem::perms::group_write &
                                                       ~std::filesystem::perms::others_write);
        // A loaded machine can keep the scheduler from answering in time: once more then.
        for (int attempt = 0; attempt < 2 && !m_started; ++attempt) {
            QProcess::execute(Q8XJ_CUPS_SANDBOX, {"stop", Dir()});
            QProcess start;
            start.start(Q8XJ_CUPS_SANDBOX, {"start", Dir()});
            start.waitForFinished(60000);
            m_started = start.exitStatus() == QProcess::NormalExit && start.exitCode() == 0;
            m_why = QString::fromLocal8Bit(start.readAllStandardError()).trimmed() + start.errorString();
        }
        if (m_started) {
            qputenv("CUPS_SERVER", QFile::encodeName(Dir() + "/cups.sock"));
        }
    }
    ~CupsSandbox() { QProcess::execute(Q8XJ_CUPS_SANDBOX, {"stop", Dir()}); }
    CupsSandbox(const CupsSandbox&) = delete;
    CupsSandbox& operator=(const CupsSandbox&) = delete;

    bool Started() const { return m_started; }
    const QString& Why() const { return m_why; }
    QString Dir() const { return QString::fromStdString(m_dir.Path().string()); }
    // The files of the jobs that reached the queue.
    QStringList Jobs() const {
        return QDir(Dir() + "/out")
            .entryList(QDir::Files, QDir::Name)
            .replaceInStrings(QRegularExpression("^"), Dir() + "/out/");
    }

private:
    TempFolder m_dir{"q8xj-cups"};
    bool m_started = false;
    QString m_why;
};

// The PDF without its creation time, the one thing that differs between two runs.
QByteArray Timeless(QByteArray pdf) {
    static const QRegularExpression date(R"(/CreationDate \(D:[0-9Z+\-']*\))");
    return QString::fromLatin1(pdf).remove(date).toLatin1();
}

} // namespace

class CliLabelPrintTest : public QObject {
    Q_OBJECT

private slots:
    void labelIsWhatThePrintJobReads_data();
    void labelIsWhatThePrintJobReads();
    void virtualPrinterSavesTheSameLabel();
    void labelNeedsNoDisplay_data();
    void labelNeedsNoDisplay();
    void printerFailures_data();
    void printerFailures();
    void labelFailures_data();
    void labelFailures();
    void realSizeLabel_data();
    void realSizeLabel();
    void windowSavesTheCliPdf();
    void cleanupTestCase() { m_cups.reset(); }

private:
    std::unique_ptr<CupsSandbox> m_cups;
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

void CliLabelPrintTest::labelNeedsNoDisplay_data() {
    QTest::addColumn<QString>("platform");
    QTest::newRow("the X11 platform without a display") << "xcb";
    QTest::newRow("a platform that does not exist") << "bogus";
}

// Whatever platform the environment names, a label is drawn offscreen.
void CliLabelPrintTest::labelNeedsNoDisplay() {
    QFETCH(QString, platform);
    CliRunner cli;
    cli.SetEnv("QT_QPA_PLATFORM", platform.toStdString());
    const CliResult result = cli.Run({"label", "--output", "label.png", "39r"});
    QCOMPARE(result.code, 0);
    QCOMPARE(QString::fromStdString(result.err), QString());
    QCOMPARE(Picture(cli.ReadFile("label.png")).size(), QSize(384, 64));
}

void CliLabelPrintTest::printerFailures_data() {
    QTest::addColumn<QString>("folderFile");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("message");
    QTest::newRow("no printer") << "unplugged" << 7 << "q8xj-cli: ラベルプリンターが見つかりません";
    // The printer's own notice first, as the tool's.
    QTest::newRow("folder is a file")
        << "" << 7
        << "q8xj-cli: 仮想ラベルプリンターのフォルダー labels "
           "はフォルダーではありません。このユーザーが書き込めるフォルダーになるまで、"
           "プリンターは外されているものとして扱います。\n"
           "q8xj-cli: ラベルプリンターが見つかりません";
    // Never acknowledged: the job's waits run out, some fifteen seconds.
    QTest::newRow("silent printer") << "silent" << 8
                                    << "q8xj-cli: プリンターがラベルの受信を確認しません（ストリップ 0/3）";
}

void CliLabelPrintTest::printerFailures() {
    QFETCH(QString, folderFile);
    QFETCH(int, code);
    QFETCH(QString, message);
    CliRunner cli;
    if (folderFile.isEmpty()) {
        cli.WriteFile("labels", "");
    } else {
        QVERIFY(QDir(QString::fromStdString(cli.Folder().string())).mkdir("labels"));
        cli.WriteFile("labels/" + folderFile.toStdString(), "");
    }
    cli.SetEnv("TAVOPUS_VIRTUAL", "labels");
    const CliResult result = cli.Run({"print", "39r"});
    QCOMPARE(result.code, code);
    QVERIFY2(QString::fromStdString(result.err).endsWith(message + "\n"), result.err.c_str());
}

void CliLabelPrintTest::labelFailures_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("message");
    QTest::newRow("no output")
        << QStringList{"label", "39r"} << 2
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
    QTest::newRow("longer than the katakana field")
        << QStringList{"label", "--output", "l.png", QString(71, 'x')} << 4
        << "q8xj-cli: パスワード「" + QString(40, 'x') + "…」は CP932 で 71 バイトあります（70 バイトまで）";
    QTest::newRow("unwritable output") << QStringList{"label", "--output", "none/l.png", "x"} << 6
                                       << "q8xj-cli: none/l.png に書き込めません: ファイルまたはフォルダーが見つかりません";
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

void CliLabelPrintTest::realSizeLabel_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<bool>("throughCups");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("error");
    QTest::newRow("pdf") << QStringList{"label", "--output", "label.pdf"} << false << 0 << "";
    QTest::newRow("pdf without frame")
        << QStringList{"label", "--no-frame", "--output", "label.pdf"} << false << 0 << "";
    QTest::newRow("cups queue") << QStringList{"print", "--printer", CupsSandbox::kQueue} << true << 0 << "";
    QTest::newRow("missing queue")
        << QStringList{"print", "--printer", "nosuch"} << true << 9
        << "q8xj-cli: 印刷キュー「nosuch」がありません（q8xj-cli printers で一覧を表示します）\n";
    QTest::newRow("refusing queue") << QStringList{"print", "--printer", CupsSandbox::kQueue} << true << 9
                                    << "q8xj-cli: 印刷キュー「q8capture」が印刷を受け付けませんでした\n";
}

// The label on one page at 48 x 8 mm, at the top-left of the printable area,
// framed unless asked not to be, its ink where the label image's dots are, within a dot.
void CliLabelPrintTest::realSizeLabel() {
    QFETCH(QStringList, args);
    QFETCH(bool, throughCups);
    QFETCH(int, code);
    QFETCH(QString, error);
    const std::string password = "39r39r";
    if (throughCups && !m_cups) {
        m_cups = std::make_unique<CupsSandbox>();
    }
    if (throughCups && !m_cups->Started()) {
        QSKIP(qPrintable("cupsd does not start here: " + m_cups->Why()));
    }
    if (code != 0 && throughCups) {
        QCOMPARE(QProcess::execute("cupsreject", {CupsSandbox::kQueue}), 0);
    }
    const QStringList jobs = throughCups ? m_cups->Jobs() : QStringList();
    CliRunner cli;
    std::vector<std::string> arguments;
    for (const QString& arg : args) {
        arguments.push_back(arg.toStdString());
    }
    arguments.push_back(password);
    const CliResult result = cli.Run(arguments);
    QCOMPARE(result.code, code);
    if (code != 0) {
        QVERIFY2(QString::fromStdString(result.err).endsWith(error), result.err.c_str());
        QCOMPARE(m_cups->Jobs(), jobs);
        return;
    }

    // The scheduler hands a job to its backend in its own time.
    QTRY_COMPARE_WITH_TIMEOUT(throughCups ? m_cups->Jobs().size() : 0, throughCups ? jobs.size() + 1 : 0,
                              10000);
    const QString pdf =
        throughCups ? m_cups->Jobs().last() : QString::fromStdString((cli.Folder() / "label.pdf").string());
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(pdf).size() > 0, 10000);
    const QPageLayout layout =
        throughCups
            ? QPrinter(QPrinterInfo::printerInfo(CupsSandbox::kQueue), QPrinter::HighResolution).pageLayout()
            : QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                          QMarginsF(LabelSheet::kPdfMarginMm, LabelSheet::kPdfMarginMm,
                                    LabelSheet::kPdfMarginMm, LabelSheet::kPdfMarginMm),
                          QPageLayout::Millimeter);
    const QString out = QString::fromStdString(cli.Folder().string()) + "/page";
    QCOMPARE(QProcess::execute("pdftoppm", {"-r", QString::number(kDotsPerInch), "-gray", "-aa", "no",
                                            "-aaVector", "no", pdf, out}),
             0);
    QVERIFY2(QFile::exists(out + "-1.pgm") && !QFile::exists(out + "-2.pgm"), "one page");
    const QImage page(out + "-1.pgm");
    const double dotsPerPoint = kDotsPerInch / 72;
    QVERIFY(WithinOneDot(QPointF(page.width(), page.height()),
                         QPointF(layout.fullRect(QPageLayout::Point).width() * dotsPerPoint,
                                 layout.fullRect(QPageLayout::Point).height() * dotsPerPoint)));

    const QPointF corner = layout.paintRect(QPageLayout::Point).topLeft() * dotsPerPoint;
    QPoint origin = corner.toPoint();
    QRect text = Ink(page, page.rect());
    if (!args.contains("--no-frame")) {
        const QRect frame = text;
        QVERIFY(WithinOneDot(frame.topLeft(), corner));
        QVERIFY(WithinOneDot(QPointF(frame.width(), frame.height()),
                             QPointF(LabelImage::kWidth, LabelImage::kHeight)));
        text = Ink(page, frame.adjusted(1, 1, -1, -1));
        origin = frame.topLeft();
    }
    text.translate(-origin);
    const LabelImage label = PrintImage::Label(PrintImage::Render(password, PrintStyle()));
    QRect dots;
    for (int y = 0; y < LabelImage::kHeight; ++y) {
        for (int x = 0; x < LabelImage::kWidth; ++x) {
            dots |= label.Dot(x, y) ? QRect(x, y, 1, 1) : QRect();
        }
    }
    QVERIFY(!dots.isEmpty());
    QVERIFY2(
        WithinOneDot(text.topLeft(), dots.topLeft()) && WithinOneDot(text.bottomRight(), dots.bottomRight()),
        qPrintable(
            QString("ink %1,%2 %3x%4").arg(text.x()).arg(text.y()).arg(text.width()).arg(text.height())));
}

// The context menu offers the label elsewhere only with a password, and the
// PDF it saves is the one the CLI writes.
void CliLabelPrintTest::windowSavesTheCliPdf() {
    CliRunner cli;
    const IsolatedSettings settings;
    const QString home = QDir::currentPath();
    QVERIFY(QDir::setCurrent(QString::fromStdString(cli.Folder().string())));
    CPasswordDlg dialog;
    dialog.Create();
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    const QStringList entries{U("ほかのプリンターで印刷(&P)..."), U("PDF として保存(&S)...")};
    const auto enabled = [&] {
        std::unique_ptr<QMenu> menu(dialog.CreateSystemMenu(nullptr));
        QList<bool> states;
        for (const QString& entry : entries) {
            for (QAction* action : menu->actions()) {
                if (action->text() == entry) {
                    states.append(action->isEnabled());
                }
            }
        }
        return states;
    };
    QCOMPARE(enabled(), QList<bool>({false, false}));
    QTest::keyClicks(dialog.Item<QLineEdit>(app::IDC_KATAKANA), "sakura");
    QTest::keyClick(dialog.Item<QLineEdit>(app::IDC_KATAKANA), Qt::Key_Return);
    QCOMPARE(dialog.Password(), std::string("39r"));
    QCOMPARE(enabled(), QList<bool>({true, true}));

    platform::SetSaveFileNameHandler([](const platform::SaveFileRequest&) { return QString("window.pdf"); });
    std::unique_ptr<QMenu> menu(dialog.CreateSystemMenu(nullptr));
    for (QAction* action : menu->actions()) {
        if (action->text() == entries[1]) {
            action->trigger();
        }
    }
    platform::SetSaveFileNameHandler({});
    QCOMPARE(cli.Run({"label", "--output", "cli.pdf", "39r"}).code, 0);
    const QByteArray saved = QByteArray::fromStdString(cli.ReadFile("window.pdf"));
    QVERIFY(saved.startsWith("%PDF"));
    QCOMPARE(Timeless(saved), Timeless(QByteArray::fromStdString(cli.ReadFile("cli.pdf"))));
    dialog.EndDialog(IDCANCEL);
    QVERIFY(QDir::setCurrent(home));
}

QTEST_MAIN(CliLabelPrintTest)
#include "CliLabelPrintTest.moc"
