// q8xj-cli label and print, run as a program: the PNG holds the label the
// print button's job reads from the print image for the same password, font
// and colour, and the virtual printer saves that same label. The label at its
// real size, in a PDF and through a private print scheduler, holds the same
// ink; the window's "PDF として保存..." writes the CLI's PDF.
#include "CliRunner.h"

#include "app/CPasswordDlg.h"
#include "cli/CliError.h"
#include "cli/PrintCommand.h"
#include "app/PasswordDialogTemplate.h"
#include "platform/Cp932.h"
#include "platform/Fonts.h"
#include "platform/QtText.h"
#include "platform/SaveFileDialog.h"
#include "platform/TickCount.h"
#include "print/LabelSheet.h"
#include "print/PrintImage.h"
#include "print/PrintStyle.h"
#include "support/GuiTestHelpers.h"
#include "support/IsolatedSettings.h"
#include "tavopus/TavopusTesting.h"

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

// A private print scheduler with one raw queue whose jobs land as files in
// Dir()/out; the machine's own scheduler is left alone.
class CupsSandbox {
public:
    static constexpr const char* kQueue = "q8capture";

    CupsSandbox() {
        std::filesystem::permissions(
            m_dir.Path(), std::filesystem::perms::owner_all | std::filesystem::perms::group_read |
                              std::filesystem::perms::group_exec | std::filesystem::perms::others_read |
                              std::filesystem::perms::others_exec);
        // A loaded machine can keep the scheduler from answering in time: once more then.
        for (int attempt = 0; attempt < 2 && !started; ++attempt) {
            QProcess::execute(Q8XJ_CUPS_SANDBOX, {"stop", Dir()});
            QProcess start;
            start.start(Q8XJ_CUPS_SANDBOX, {"start", Dir()});
            started = start.waitForFinished(60000) && start.exitCode() == 0;
            why = QString::fromLocal8Bit(start.readAllStandardError()).trimmed() + start.errorString();
        }
        qputenv("CUPS_SERVER", QFile::encodeName(Dir() + "/cups.sock"));
    }
    ~CupsSandbox() { QProcess::execute(Q8XJ_CUPS_SANDBOX, {"stop", Dir()}); }

    QString Dir() const { return QString::fromStdString(m_dir.Path().string()); }
    QStringList Jobs() const { return QDir(Dir() + "/out").entryList(QDir::Files, QDir::Name); }

    bool started = false;
    QString why;

private:
    TempFolder m_dir{"q8xj-cups"};
};

// One error or warning line with the program's name, after the print command's stage lines.
bool OneError(const std::string& err) {
    const QStringList lines = QString::fromStdString(err).split('\n');
    return lines.size() >= 2 && lines.last().isEmpty() && lines[lines.size() - 2].startsWith("q8xj-cli: ") &&
           lines.filter(QRegularExpression("^(?!q8xj-cli: print: )")).size() == 2;
}

// The PDF without its creation time, the one thing that differs between two runs.
QByteArray Timeless(QByteArray pdf) {
    static const QRegularExpression date(R"(/CreationDate \(D:[0-9Z+\-']*\))");
    return QString::fromLatin1(pdf).remove(date).toLatin1();
}

} // namespace

class CliLabelPrintTest : public QObject {
    Q_OBJECT

private slots:
    void labelIsWhatThePrintJobReads();
    void virtualPrinterSavesTheSameLabel();
    void silentPrinter();
    void failures();
    void realSizeLabel();
    void windowSavesTheCliPdf();
    void cleanupTestCase() { m_cups.reset(); }

private:
    std::unique_ptr<CupsSandbox> m_cups;
};

// Whatever platform the environment names, a label is drawn offscreen; a cut
// label is told in one warning.
void CliLabelPrintTest::labelIsWhatThePrintJobReads() {
    const struct {
        const char* password;
        std::vector<std::string> options;
        const char* face;
        int points;
        QColor colour;
    } rows[] = {
        {"Skr39", {"--size", "12", "--colour", "#336699", "--font", "IPAGothic"}, "IPAGothic", 12, "#336699"},
        {"39rSkr39rSkr39rSkr39rSkr", {"--size", "48"}, "", 48, Qt::black}, // wider than the label
    };
    for (const auto& row : rows) {
        CliRunner cli;
        cli.SetEnv("QT_QPA_PLATFORM", "bogus");
        std::vector<std::string> args{"label", "--output", "label.png", row.password};
        args.insert(args.begin() + 1, row.options.begin(), row.options.end());
        const CliResult result = cli.Run(args);
        QCOMPARE(result.code, 0);
        QVERIFY(row.points == 48 ? OneError(result.err) : result.err.empty());
        const QImage picture = Picture(cli.ReadFile("label.png"));
        QCOMPARE(picture.size(), QSize(384, 64));
        QVERIFY(DotsOf(picture) == PrintImage::Label(PrintImage::Render(
                                       row.password, WindowStyle(row.face, row.points, row.colour))));
    }
}

// A stage line for each step, the strips counted; the virtual printer saves the label.
void CliLabelPrintTest::virtualPrinterSavesTheSameLabel() {
    CliRunner cli;
    cli.SetEnv("TAVOPUS_VIRTUAL", (cli.Folder() / "labels").string());
    const CliResult printed = cli.Run({"print", "--size", "30", "39r"});
    QCOMPARE(printed.code, 0);
    const QStringList stages = QString::fromStdString(printed.err).split('\n', Qt::SkipEmptyParts);
    QCOMPARE(stages.filter(QRegularExpression("^q8xj-cli: print: ")).size(), 11);
    QString strips;
    for (const QString& line : stages) {
        strips += QRegularExpression(" (\\d)/3 ").match(line).captured(1);
    }
    QCOMPARE(strips, "123");
    QCOMPARE(cli.Run({"label", "--size", "30", "--output", "label.png", "39r"}).code, 0);
    const LabelImage saved = DotsOf(Picture(cli.ReadFile("labels/label-0001.png")));
    QVERIFY(saved.DotCount() > 0 && saved == DotsOf(Picture(cli.ReadFile("label.png"))));
}

// In-process, through the link library's virtual printer and the pause seam:
// a printer that never acknowledges fails the job with the strips it took.
void CliLabelPrintTest::silentPrinter() {
    CliRunner folder;
    folder.WriteFile("silent", "");
    qputenv("TAVOPUS_VIRTUAL", folder.Folder().c_str());
    tavopus::testing::Reset();
    tavopus::testing::SetTimeouts(0, 2000);
    platform::SetSleepFunction([](std::uint32_t) {});
    int code = 0;
    std::string message;
    try {
        cli::RunPrint({"39r"});
    } catch (const cli::CliError& error) {
        code = error.Code();
        message = error.what();
    }
    platform::SetSleepFunction({});
    qunsetenv("TAVOPUS_VIRTUAL");
    tavopus::testing::Reset();
    QCOMPARE(code, int(cli::kNoAcknowledge));
    QVERIFY2(message.find("0/3") != std::string::npos, message.c_str());
    QVERIFY(std::filesystem::exists(folder.Folder() / "label-0001.png"));
}

// Per error its exit code and one line with the program's name; nothing written.
void CliLabelPrintTest::failures() {
    const struct {
        std::vector<std::string> args;
        int code;
    } rows[] = {
        {{"label", "39r"}, 2},
        {{"print", ""}, 2},
        {{"label", "--colour", "#12345", "--output", "l.png", "x"}, 2},
        {{"print", "--size", "0", "x"}, 2},
        {{"label", "--font", std::string(32, 'F'), "--output", "l.png", "x"}, 2},
        {{"label", "--output", "l.png", "x😀"}, 4},
        {{"label", "--output", "l.png", std::string(71, 'x')}, 4},
        {{"label", "--output", "none/l.png", "x"}, 6},
        {{"print", "39r"}, 7}, // the virtual printer unplugged
    };
    for (const auto& row : rows) {
        CliRunner cli;
        cli.SetEnv("TAVOPUS_VIRTUAL", cli.Folder().string());
        cli.WriteFile("unplugged", "");
        const CliResult result = cli.Run(row.args);
        QCOMPARE(result.code, row.code);
        QVERIFY2(OneError(result.err) && result.out.empty(), result.err.c_str());
        QCOMPARE(std::distance(std::filesystem::directory_iterator(cli.Folder()), {}), 1);
    }
}

// The label on one page at 48 x 8 mm, at the top-left of the printable area,
// framed unless asked not to be, its ink where the label image's dots are, within a dot.
void CliLabelPrintTest::realSizeLabel() {
    const struct {
        QStringList args;
        bool throughCups;
        int code;
    } rows[] = {
        {{"label", "--output", "label.pdf"}, false, 0},
        {{"label", "--no-frame", "--output", "label.pdf"}, false, 0},
        {{"print", "--printer", CupsSandbox::kQueue}, true, 0},
        {{"print", "--printer", "nosuch"}, true, 9},
        {{"print", "--printer", CupsSandbox::kQueue}, true, 9}, // refusing
    };
    const LabelImage label = PrintImage::Label(PrintImage::Render("39r39r", PrintStyle()));
    QImage dotsImage(LabelImage::kWidth, LabelImage::kHeight, QImage::Format_RGB32);
    for (int y = 0; y < LabelImage::kHeight; ++y) {
        for (int x = 0; x < LabelImage::kWidth; ++x) {
            dotsImage.setPixelColor(x, y, label.Dot(x, y) ? Qt::black : Qt::white);
        }
    }
    const QRect dots = Ink(dotsImage, dotsImage.rect());
    QVERIFY(!dots.isEmpty());
    for (const auto& [args, throughCups, code] : rows) {
        if (throughCups && !m_cups) {
            m_cups = std::make_unique<CupsSandbox>();
        }
        if (throughCups && !m_cups->started) {
            QSKIP(qPrintable("cupsd does not start here: " + m_cups->why));
        }
        if (code != 0 && throughCups) {
            QCOMPARE(QProcess::execute("cupsreject", {CupsSandbox::kQueue}), 0);
        }
        const QStringList jobs = throughCups ? m_cups->Jobs() : QStringList();
        CliRunner cli;
        std::vector<std::string> arguments{"39r39r"};
        for (const QString& arg : args) {
            arguments.insert(arguments.end() - 1, arg.toStdString());
        }
        const CliResult result = cli.Run(arguments);
        QCOMPARE(result.code, code);
        if (code != 0) {
            QVERIFY2(OneError(result.err), result.err.c_str());
            QCOMPARE(m_cups->Jobs(), jobs);
            continue;
        }
        // The scheduler hands a job to its backend in its own time.
        QTRY_COMPARE_WITH_TIMEOUT(throughCups ? m_cups->Jobs().size() : 0, throughCups ? jobs.size() + 1 : 0,
                                  10000);
        const QString pdf = throughCups ? m_cups->Dir() + "/out/" + m_cups->Jobs().last()
                                        : QString::fromStdString((cli.Folder() / "label.pdf").string());
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(pdf).size() > 0, 10000);
        const QPageLayout layout =
            throughCups
                ? QPrinter(QPrinterInfo::printerInfo(CupsSandbox::kQueue), QPrinter::HighResolution)
                      .pageLayout()
                : QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                              QMarginsF(1, 1, 1, 1) * LabelSheet::kPdfMarginMm, QPageLayout::Millimeter);
        const QString out = QString::fromStdString(cli.Folder().string()) + "/page";
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
        if (!args.contains("--no-frame")) {
            QVERIFY(WithinOneDot(text.topLeft(), corner));
            QCOMPARE(text.size(), QSize(LabelImage::kWidth, LabelImage::kHeight));
            origin = text.topLeft();
            text = Ink(page, text.adjusted(1, 1, -1, -1));
        }
        text.translate(-origin);
        QVERIFY2(
            WithinOneDot(text.topLeft(), dots.topLeft()) &&
                WithinOneDot(text.bottomRight(), dots.bottomRight()),
            qPrintable(
                QString("ink %1,%2 %3x%4").arg(text.x()).arg(text.y()).arg(text.width()).arg(text.height())));
    }
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
    const auto entry = [&](QMenu* menu, const QString& text) {
        const QList<QAction*> actions = menu->actions();
        return *std::find_if(actions.begin(), actions.end(),
                             [&](QAction* action) { return action->text() == text; });
    };
    for (const bool typed : {false, true}) {
        if (typed) {
            QTest::keyClicks(dialog.Item<QLineEdit>(app::IDC_KATAKANA), "sakura");
            QTest::keyClick(dialog.Item<QLineEdit>(app::IDC_KATAKANA), Qt::Key_Return);
        }
        std::unique_ptr<QMenu> menu(dialog.CreateSystemMenu(nullptr));
        for (const QString& text : entries) {
            QCOMPARE(entry(menu.get(), text)->isEnabled(), typed);
        }
    }
    platform::SetSaveFileNameHandler([](const platform::SaveFileRequest&) { return QString("window.pdf"); });
    std::unique_ptr<QMenu> menu(dialog.CreateSystemMenu(nullptr));
    entry(menu.get(), entries[1])->trigger();
    platform::SetSaveFileNameHandler({});
    QCOMPARE(cli.Run({"label", "--output", "cli.pdf", "39r"}).code, 0);
    const QByteArray saved = QByteArray::fromStdString(cli.ReadFile("window.pdf"));
    QVERIFY(saved.startsWith("%PDF"));
    QCOMPARE(Timeless(saved), Timeless(QByteArray::fromStdString(cli.ReadFile("cli.pdf"))));
    QVERIFY(QDir::setCurrent(home));
}

QTEST_MAIN(CliLabelPrintTest)
#include "CliLabelPrintTest.moc"
