// q8xj-cli label and print, run as a program: the PNG holds the label the
// print button's job reads from the print image for the same password, font
// and colour, and the virtual printer saves that same label. The label at its
// real size, in a PDF and through a private print scheduler, holds the same
// ink; the window's "PDF として保存..." writes the CLI's PDF.
#include "CliRunner.h"

#include "app/PasswordDialog.h"
#include "cli/CliError.h"
#include "cli/LabelStyle.h"
#include "cli/PrintCommand.h"
#include "app/PasswordDialogTemplate.h"
#include "platform/Fonts.h"
#include "platform/SaveFileDialog.h"
#include "platform/Clock.h"
#include "print/LabelSheet.h"
#include "print/PrintImage.h"
#include "support/GuiTestHelpers.h"
#include "support/IsolatedSettings.h"
#include "support/TavopusEnvironment.h"
#include "tavopus/TavopusTesting.h"

#include <QLineEdit>
#include <QMenu>
#include <QPrinterInfo>
#include <QProcess>
#include <QtTest>

namespace {

constexpr double kDotsPerInch = LabelSheet::kDotsPerMm * 25.4;

bool WithinOneDot(QPointF a, QPointF b) {
    return qAbs(a.x() - b.x()) <= 1 && qAbs(a.y() - b.y()) <= 1;
}

// A private print scheduler with one raw queue whose jobs land as files in
// dir/out; the machine's own scheduler is left alone. Its script tells why it
// does not start.
struct CupsSandbox {
    static constexpr const char* kQueue = "q8capture";
    TempFolder folder{"q8xj-cups"};
    const QString dir = QString::fromStdString(folder.Path().string());
    bool started = false;

    CupsSandbox() {
        // A loaded machine can keep the scheduler from answering in time: once more then.
        for (int attempt = 0; attempt < 2 && !started; ++attempt) {
            QProcess::execute(Q8XJ_CUPS_SANDBOX, {"stop", dir});
            started = QProcess::execute(Q8XJ_CUPS_SANDBOX, {"start", dir}) == 0;
        }
        qputenv("CUPS_SERVER", QFile::encodeName(dir + "/cups.sock"));
    }
    ~CupsSandbox() { QProcess::execute(Q8XJ_CUPS_SANDBOX, {"stop", dir}); }
    QStringList Jobs() const { return QDir(dir + "/out").entryList(QDir::Files, QDir::Name); }
};

// One error or warning line with the program's name, after the print command's stage lines.
bool OneError(const std::string& err) {
    static const QRegularExpression line("^(q8xj-cli: print: [^\n]*\n)*q8xj-cli: (?!print: )[^\n]*\n\\z");
    return line.match(QString::fromStdString(err)).hasMatch();
}

// The PDF without its creation time, the one thing that differs between two runs.
QByteArray Timeless(const std::string& pdf) {
    static const QRegularExpression date(R"(/CreationDate \(D:[0-9Z+\-']*\))");
    return QString::fromLatin1(pdf).remove(date).toLatin1();
}

} // namespace

class CliLabelPrintTest : public QObject {
    Q_OBJECT

    CupsSandbox m_cups;

private slots:

    // Whatever platform the environment names, a label is drawn offscreen; a
    // label that cuts the password's ink, at any edge, is told in one warning.
    // The virtual printer saves the same picture, after a stage line for each
    // step and strip.
    void labelIsWhatThePrintJobReads_data() {
        QTest::addColumn<QString>("password");
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<bool>("cut");
        QTest::newRow("small, navy") << "Skr39"
                                     << QStringList{"--size", "12", "--colour", "navy", "--font", "IPAGothic"}
                                     << false;
        QTest::newRow("wider than the label")
            << "39rSkr39rSkr39rSkr39rSkr" << QStringList{"--size", "48"} << true;
        QTest::newRow("narrow, taller than the label") << "l" << QStringList{"--size", "120"} << true;
    }
    void labelIsWhatThePrintJobReads() {
        QFETCH(QString, password);
        QFETCH(QStringList, options);
        QFETCH(bool, cut);
        CliRunner cli;
        const auto ownerOnly = [&](const char* name) {
            using std::filesystem::perms;
            return std::filesystem::status(cli / name).permissions() ==
                   (perms::owner_read | perms::owner_write);
        };
        cli.env["QT_QPA_PLATFORM"] = "bogus";
        cli.env["TAVOPUS_VIRTUAL"] = cli.Path("labels");
        std::vector<std::string> args{"print"};
        for (const QString& word : options + QStringList{password}) {
            args.push_back(word.toStdString());
        }
        const CliResult printed = cli.Run(args);
        QCOMPARE(printed.code, 0);
        const QStringList stages = QString::fromStdString(printed.err).split('\n', Qt::SkipEmptyParts);
        QCOMPARE(stages.filter(QRegularExpression("^q8xj-cli: print: ")).size(), 11);
        QVERIFY(QRegularExpression(" 1/3 .*\n.* 2/3 .*\n.* 3/3 ").match(stages.join('\n')).hasMatch());
        QCOMPARE(stages.size(), cut ? 12 : 11);
        // The label takes the password from standard input too, and is its owner's alone.
        args.front() = "label";
        args.insert(args.end() - 1, {"--output", "label.png"});
        if (cut) {
            args.back() = "-";
        }
        const CliResult result = cli.Run(args, cut ? password.toStdString() + "\n" : "");
        QCOMPARE(result.code, 0);
        QVERIFY(ownerOnly("label.png"));
        QVERIFY2(cut ? OneError(result.err) : result.err.empty(), result.err.c_str());
        // The style a user would have set in the window: a face, a point size, a colour.
        const auto value = [&](const char* name, const QString& otherwise) {
            return options.contains(name) ? options[options.indexOf(name) + 1] : otherwise;
        };
        const QString face = value("--font", PrintStyle::kStartFace);
        PrintStyle style;
        QFont font = style.Font();
        font.setFamily(MapFaceName(face));
        font.setPixelSize(PointFont(face, value("--size", {}).toInt() * 10).pixelSize());
        style.Set(font, QColor(value("--colour", "black")));
        const LabelImage dots = PrintImage::Label(PrintImage::Render(password.toStdString(), style));
        QImage expected(LabelImage::kWidth, LabelImage::kHeight, QImage::Format_Grayscale8);
        for (int at = 0; at < LabelImage::kWidth * LabelImage::kHeight; ++at) {
            expected.scanLine(at / LabelImage::kWidth)[at % LabelImage::kWidth] =
                dots.Data()[static_cast<std::size_t>(at)] ? 0 : 255;
        }
        const QImage label(QString::fromStdString(cli.Path("label.png")));
        QCOMPARE(label.convertToFormat(QImage::Format_Grayscale8), expected);
        // The printer's picture of the job's strips is the same file, byte for byte; both its files hold
        // the password, so they are their owner's alone.
        QCOMPARE(ReadWhole(cli / "labels/label-0001.png"), ReadWhole(cli / "label.png"));
        QVERIFY(ownerOnly("labels/label-0001.png") && ownerOnly("labels/label-0001.bin"));
    }

    // In-process, through the link library's virtual printer and the pause seam:
    // a printer that never acknowledges fails the job with the strips it took.
    void silentPrinter() {
        TempFolder folder;
        WriteWhole(folder / "silent", "");
        qputenv("TAVOPUS_VIRTUAL", folder.Path().c_str());
        tavopus::testing::Reset();
        TavopusEnvironment waits;
        waits.replyWindowMs = 0;
        struct : platform::Clock {
            void Pause(std::chrono::milliseconds) override {}
        } noPauses;
        platform::Clock::Replace(&noPauses);
        int code = 0;
        std::string message;
        try {
            cli::RunPrint({"39r"});
        } catch (const cli::CliError& error) {
            code = error.Code();
            message = error.what();
        }
        platform::Clock::Replace(nullptr);
        qunsetenv("TAVOPUS_VIRTUAL");
        tavopus::testing::Reset();
        QCOMPARE(code, int(cli::kNoAcknowledge));
        QVERIFY2(message.find("0/3") != std::string::npos, message.c_str());
        QVERIFY(std::filesystem::exists(folder / "label-0001.png"));
    }

    // The label on one page at 48 x 8 mm, at the top-left of the printable area,
    // framed unless asked not to be, its ink where the label's dots are, within a dot.
    void realSizeLabel() {
        CliRunner cli;
        QCOMPARE(cli.Run({"label", "--output", "dots.png", "39r39r"}).code, 0);
        const QImage png(QString::fromStdString(cli.Path("dots.png")));
        const QRect dots = Ink(png, png.rect());
        for (const std::vector<std::string>& args :
             std::vector<std::vector<std::string>>{{"label", "--output", "label.pdf", "39r39r"},
                                                   {"label", "--no-frame", "--output", "label.pdf", "39r39r"},
                                                   {"print", "--printer", CupsSandbox::kQueue, "39r39r"}}) {
            const bool throughCups = args[0] == "print";
            if (throughCups && !m_cups.started) {
                QSKIP("cupsd does not start here");
            }
            // A send through the printing service makes no file, which a signal could leave behind with
            // the password in it: it needs no temporary folder.
            cli.env["TMPDIR"] = throughCups ? cli.Path("no-temporary-folder") : "";
            QCOMPARE(cli.Run(args).code, 0);
            // The scheduler hands the one job to its backend in its own time.
            if (throughCups) {
                QTRY_COMPARE_WITH_TIMEOUT(m_cups.Jobs().size(), 1, 10000);
            }
            const QString pdf = throughCups ? m_cups.dir + "/out/" + m_cups.Jobs().last()
                                            : QString::fromStdString(cli.Path("label.pdf"));
            QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(pdf).size() > 0, 10000);
            const QPageLayout layout =
                throughCups
                    ? QPrinter(QPrinterInfo::printerInfo(CupsSandbox::kQueue), QPrinter::HighResolution)
                          .pageLayout()
                    : QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                  QMarginsF(1, 1, 1, 1) * LabelSheet::kPdfMarginMm, QPageLayout::Millimeter);
            const QString out = QString::fromStdString(cli.Path("page"));
            QCOMPARE(QProcess::execute("pdftoppm", {"-r", QString::number(kDotsPerInch), "-gray", "-aa", "no",
                                                    "-aaVector", "no", pdf, out}),
                     0);
            QVERIFY2(QFile::exists(out + "-1.pgm") && !QFile::exists(out + "-2.pgm"), "one page");
            const QImage page(out + "-1.pgm");
            const double dotsPerPoint = kDotsPerInch / 72;
            const QRectF full = layout.fullRect(QPageLayout::Point);
            QVERIFY(WithinOneDot(QPointF(page.width(), page.height()),
                                 QPointF(full.width(), full.height()) * dotsPerPoint));
            const QPointF corner = layout.paintRect(QPageLayout::Point).topLeft() * dotsPerPoint;
            QRect text = Ink(page, page.rect());
            QPoint origin = corner.toPoint();
            if (args[1] != "--no-frame") {
                QVERIFY(WithinOneDot(text.topLeft(), corner));
                QCOMPARE(text.size(), QSize(LabelImage::kWidth, LabelImage::kHeight));
                origin = text.topLeft();
                text = Ink(page, text.adjusted(1, 1, -1, -1));
            }
            text.translate(-origin);
            QVERIFY(WithinOneDot(text.topLeft(), dots.topLeft()) &&
                    WithinOneDot(text.bottomRight(), dots.bottomRight()));
        }
        // A queue that refuses the job: one error line, no job.
        QCOMPARE(QProcess::execute("cupsreject", {CupsSandbox::kQueue}), 0);
        const CliResult refused = cli.Run({"print", "--printer", CupsSandbox::kQueue, "39r39r"});
        QCOMPARE(refused.code, 9);
        QVERIFY2(OneError(refused.err) && refused.err.find("print: ") == std::string::npos,
                 refused.err.c_str());
        QCOMPARE(m_cups.Jobs().size(), 1);
        // A queue the running service lacks is called missing, not the service out of reach.
        const CliResult missing = cli.Run({"print", "--printer", "nosuch", "39r39r"});
        QVERIFY2(missing.code == 9 && missing.err.find("「nosuch」がありません") != std::string::npos,
                 missing.err.c_str());
    }

    // The context menu offers the label elsewhere only with a password, and the
    // PDF it saves is the one the CLI writes.
    void windowSavesTheCliPdf() {
        CliRunner cli;
        const IsolatedSettings settings;
        PasswordDialog dialog;
        dialog.show();
        const auto entry = [&](const char* text) {
            const QList<QAction*> actions = dialog.CreateSystemMenu(&dialog)->actions();
            return *std::find_if(actions.begin(), actions.end(),
                                 [&](QAction* a) { return a->text() == U(text); });
        };
        QVERIFY(!entry("ほかのプリンターで印刷(&P)...")->isEnabled() &&
                !entry("PDF として保存(&S)...")->isEnabled());
        QTest::keyClicks(dialog.Control<QLineEdit>(app::kKatakanaId), "sakura");
        QTest::keyClick(dialog.Control<QLineEdit>(app::kKatakanaId), Qt::Key_Return);
        // A disabled entry would ignore the trigger and save nothing.
        // A name chosen with another extension gets .pdf, and the file of that name stays.
        WriteWhole(cli / "window", "kept");
        struct SaveAs : platform::SaveFileDialogs {
            QString path;
            QString Ask(QWidget*, const platform::SaveFileRequest&) override { return path; }
        } window;
        window.path = QString::fromStdString(cli.Path("window"));
        platform::SaveFileDialogs::Replace(&window);
        entry("PDF として保存(&S)...")->trigger();
        platform::SaveFileDialogs::Replace(nullptr);
        QCOMPARE(ReadWhole(cli / "window"), std::string("kept"));
        QCOMPARE(cli.Run({"label", "--output", "cli.pdf", "39r"}).code, 0);
        QCOMPARE(Timeless(ReadWhole(cli / "window.pdf")), Timeless(ReadWhole(cli / "cli.pdf")));
    }
};

QTEST_MAIN(CliLabelPrintTest)
#include "CliLabelPrintTest.moc"
