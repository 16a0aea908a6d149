// The print button of the main dialog against the link library's virtual
// printer: the two questions, the bytes on the link, the label the printer
// saves, the busy cursor, and the status poll on timer 1. The library's calls
// pass through a recorder; pauses and timer ticks are the test's own.
#include "app/CPasswordDlg.h"

#include "app/PasswordDialogTemplate.h"
#include "platform/QtText.h"
#include "platform/TickCount.h"
#include "print/FontChooser.h"
#include "print/LabelImage.h"
#include "print/PrintImage.h"
#include "print/PrinterLibrary.h"
#include "support/GuiTestHelpers.h"
#include "support/MessageBoxRecorder.h"
#include "tavopus/TavopusTesting.h"

#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QtTest>

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

using namespace app;

namespace {

using Bytes = std::vector<std::uint8_t>;

// Every write and read the dialog made, with the handle it used.
struct LinkRecord {
    std::vector<Bytes> writes;
    QList<quint32> readCounts; // bytes asked for
    std::vector<std::uint32_t> handles;
};
LinkRecord g_link;

const PrinterLibraryCalls kRecording{
    [](std::uint32_t window) { return LinkLibraryCalls().registHandle(window); },
    [] { return LinkLibraryCalls().unregistHandle(); },
    [](std::int32_t number, char* name) { return LinkLibraryCalls().checkActiveDevice(number, name); },
    [](std::uint32_t* handle, std::int32_t number) { return LinkLibraryCalls().startDevice(handle, number); },
    [](std::uint32_t handle) { return LinkLibraryCalls().endDevice(handle); },
    [](std::uint32_t handle, std::uint32_t word) { return LinkLibraryCalls().checkMyDevice(handle, word); },
    [](std::uint32_t handle, const void* bytes, std::uint32_t count) {
        const auto* first = static_cast<const std::uint8_t*>(bytes);
        g_link.writes.emplace_back(first, first + count);
        g_link.handles.push_back(handle);
        return LinkLibraryCalls().usbWrite(handle, bytes, count);
    },
    [](std::uint32_t handle, void* buffer, std::uint32_t* count) {
        g_link.readCounts.push_back(*count);
        g_link.handles.push_back(handle);
        return LinkLibraryCalls().usbRead(handle, buffer, count);
    },
};

// The pauses the job asked for, and whether the busy cursor showed in each.
struct PauseRecord {
    std::uint32_t totalMs = 0;
    int count = 0;
    int withoutBusyCursor = 0;
};
PauseRecord g_pauses;

// A dialog that can print a label its print image could never show.
class PrintingDialog : public CPasswordDlg {
public:
    std::optional<LabelImage> prepared;
    mutable int captures = 0;

protected:
    LabelImage CaptureLabelImage() const override {
        ++captures;
        return prepared ? *prepared : CPasswordDlg::CaptureLabelImage();
    }
};

const Bytes kEscB{0x1B, 0x42};

// The writes of one label, as the printer is to receive them, with the first
// byte of the first strip's data given.
std::vector<Bytes> LabelWrites(std::uint8_t firstDataByte) {
    std::vector<Bytes> writes{
        {0x1B, 0x49},
        {0x05},
        {0x06},
        {0x1B, 0x50},
        {0x02, 0x80, 0x0C, 0x00, 0x00, 0x00, 0x00, 0x04, 0x40, 0x00, 0x20, 0x00, 0x00, 0x0C, 0x00, 0x00},
        {0x1B, 0x47},
    };
    for (int strip = 0; strip < 3; ++strip) {
        Bytes frame(1088, 0x00);
        frame[0] = 0x02;
        frame[1] = strip == 2 ? 0x80 : 0x00;
        frame[3] = 0x04;
        if (strip == 0) {
            frame[4] = firstDataByte;
        }
        for (std::size_t piece = 0; piece < 17; ++piece) {
            writes.emplace_back(frame.begin() + static_cast<std::ptrdiff_t>(64 * piece),
                                frame.begin() + static_cast<std::ptrdiff_t>(64 * (piece + 1)));
        }
    }
    writes.push_back({0x1B, 0x4E});
    return writes;
}

Bytes Joined(const std::vector<Bytes>& writes) {
    Bytes all;
    for (const Bytes& w : writes) {
        all.insert(all.end(), w.begin(), w.end());
    }
    return all;
}

QString Hex(const Bytes& bytes) {
    return QString::fromLatin1(
        QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()))
            .toHex(' '));
}

// The writes as text, a run of equal writes folded: "1b 42 x3".
QStringList WritesText(const std::vector<Bytes>& writes) {
    QStringList text;
    for (std::size_t k = 0; k < writes.size();) {
        std::size_t run = 1;
        while (k + run < writes.size() && writes[k + run] == writes[k]) {
            ++run;
        }
        text << Hex(writes[k]) + (run > 1 ? QStringLiteral(" x%1").arg(run) : QString());
        k += run;
    }
    return text;
}

// A box as the test expects it: its text, then its buttons and icon.
QString BoxText(const QString& text, unsigned type) {
    return text + QStringLiteral(" [%1]").arg(type, 2, 16, QLatin1Char('0'));
}

QStringList Shown(const MessageBoxRecorder& boxes) {
    QStringList shown;
    for (const MessageBoxRequest& box : boxes.shown) {
        shown << BoxText(box.text, box.type);
    }
    return shown;
}

const QString kNothingToPrint = QString::fromUtf8("プリントするデータがありません");
const QString kPrint = QString::fromUtf8("プリントしますか？");
const QString kFinished = QString::fromUtf8("プリント終了しました。");

} // namespace

class PrintLabelTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        QVERIFY(m_tableDir.isValid());
        QVERIFY(QDir::setCurrent(m_tableDir.path())); // no table file: the built-in table
    }
    void init() {
        m_labels = std::make_unique<QTemporaryDir>();
        QVERIFY(m_labels->isValid());
        qputenv("TAVOPUS_VIRTUAL", m_labels->path().toUtf8());
        tavopus::testing::Reset();
        SetPrinterLibrary(&kRecording);
        g_link = {};
        g_pauses = {};
        SetSleepFunction([](std::uint32_t ms) {
            g_pauses.totalMs += ms;
            ++g_pauses.count;
            const QCursor* cursor = QApplication::overrideCursor();
            if (cursor == nullptr || cursor->shape() != Qt::WaitCursor) {
                ++g_pauses.withoutBusyCursor;
            }
        });
    }
    void cleanup() {
        m_dialog.reset();
        SetSleepFunction({});
        SetFontChooserHandler({});
        SetPrinterLibrary(nullptr);
        qunsetenv("TAVOPUS_VIRTUAL");
        tavopus::testing::Reset();
        m_labels.reset();
        QCOMPARE(QApplication::overrideCursor(), nullptr);
        QCOMPARE(VisibleTopLevelWindows(), 0);
    }

    void beforeTheJob_data();
    void beforeTheJob();
    void byteStream_data();
    void byteStream();
    void labelIsWhatThePrintImageShows_data();
    void labelIsWhatThePrintImageShows();
    void silentPrinter();
    void finishedJob();
    void secondJob_data();
    void secondJob();

private:
    PrintingDialog& StartDialog(const QString& password) {
        m_dialog = std::make_unique<PrintingDialog>();
        m_dialog->Create();
        m_dialog->Item<QLineEdit>(IDC_PASSWORD)->setText(password);
        g_link = {};
        return *m_dialog;
    }
    void TouchControlFile(const char* name) {
        QFile file(m_labels->filePath(QString::fromLatin1(name)));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    QString LabelFile(int number, const char* extension) const {
        return m_labels->filePath(QStringLiteral("label-%1.%2")
                                      .arg(number, 4, 10, QLatin1Char('0'))
                                      .arg(QString::fromLatin1(extension)));
    }
    // Ticks until the poll stops; the number of ticks it took, or -1 when it
    // still runs after `most`.
    int TicksUntilStopped(int most) {
        for (int tick = 1; tick <= most; ++tick) {
            m_dialog->OnTimer(1);
            if (!m_dialog->IsTimerRunning(1)) {
                return tick;
            }
        }
        return -1;
    }

    QTemporaryDir m_tableDir;
    std::unique_ptr<QTemporaryDir> m_labels;
    std::unique_ptr<PrintingDialog> m_dialog;
};

void PrintLabelTest::beforeTheJob_data() {
    QTest::addColumn<QString>("password");
    QTest::addColumn<bool>("linked");
    QTest::addColumn<int>("answer"); // to the question
    QTest::addColumn<QStringList>("boxes");
    QTest::addColumn<int>("captures");
    QTest::addColumn<bool>("printed");

    const QString excl = BoxText(kNothingToPrint, MB_OK | MB_ICONEXCLAMATION);
    const QString ask = BoxText(kPrint, MB_OKCANCEL | MB_ICONQUESTION);
    QTest::newRow("empty password") << "" << true << int(IDOK) << QStringList{excl} << 0 << false;
    QTest::newRow("empty password without a link")
        << "" << false << int(IDOK) << QStringList{excl} << 0 << false;
    QTest::newRow("cancelled") << "Q8xj" << true << int(IDCANCEL) << QStringList{ask} << 0 << false;
    QTest::newRow("cancelled without a link")
        << "Q8xj" << false << int(IDCANCEL) << QStringList{ask} << 0 << false;
    QTest::newRow("no link: read, then dropped")
        << "Q8xj" << false << int(IDOK) << QStringList{ask} << 1 << false;
    QTest::newRow("confirmed") << "Q8xj" << true << int(IDOK) << QStringList{ask} << 1 << true;
}

void PrintLabelTest::beforeTheJob() {
    QFETCH(QString, password);
    QFETCH(bool, linked);
    QFETCH(int, answer);
    QFETCH(bool, printed);
    if (!linked) {
        TouchControlFile("unplugged");
    }
    PrintingDialog& dialog = StartDialog(password);
    QCOMPARE(dialog.PrinterLinkHandle() != 0, linked);
    MessageBoxRecorder boxes;
    boxes.Answer(answer);

    dialog.PrintLabel();

    QTEST(Shown(boxes), "boxes");
    for (const MessageBoxRequest& box : boxes.shown) {
        QCOMPARE(box.caption, QCoreApplication::applicationName());
    }
    QTEST(dialog.captures, "captures");
    QCOMPARE(!g_link.writes.empty(), printed);
    QCOMPARE(!g_link.readCounts.empty(), printed);
    QCOMPARE(dialog.IsTimerRunning(1), printed);
    QCOMPARE(QFile::exists(LabelFile(1, "png")), printed);
    if (printed) {
        QCOMPARE(g_pauses.withoutBusyCursor, 0);
        QVERIFY(g_pauses.count > 0);
    } else {
        QCOMPARE(g_pauses.count, 0);
    }
}

void PrintLabelTest::byteStream_data() {
    QTest::addColumn<bool>("whiteText");
    QTest::addColumn<bool>("topLeftDotOnly");
    QTest::addColumn<int>("firstDataByte");

    QTest::newRow("password in white: no dots") << true << false << 0x00;
    QTest::newRow("only the top-left dot") << false << true << 0x01;
}

void PrintLabelTest::byteStream() {
    QFETCH(bool, whiteText);
    QFETCH(bool, topLeftDotOnly);
    QFETCH(int, firstDataByte);
    PrintingDialog& dialog = StartDialog(QStringLiteral("WWW Q8xj"));
    if (whiteText) {
        SetFontChooserHandler([](QWidget*, const FontChoice& start) {
            return FontChoice{start.font, QColor(Qt::white)};
        });
        dialog.ChangePrintFont();
    }
    if (topLeftDotOnly) {
        LabelImage label;
        label.SetDot(0, 0, true);
        dialog.prepared = label;
    }
    MessageBoxRecorder boxes;

    dialog.PrintLabel();

    const std::vector<Bytes> expected = LabelWrites(static_cast<std::uint8_t>(firstDataByte));
    QCOMPARE(WritesText(g_link.writes), WritesText(expected));
    // The printer acknowledges at once: each wait ends at its first read.
    QCOMPARE(g_link.readCounts, (QList<quint32>{1, 8, 1, 1, 1, 1, 1, 1, 1, 1}));
    QCOMPARE(g_pauses.totalMs, 470u);
    for (std::uint32_t handle : g_link.handles) {
        QCOMPARE(handle, dialog.PrinterLinkHandle());
    }

    // The printer received exactly that and printed the dots it carried.
    QFile raw(LabelFile(1, "bin"));
    QVERIFY(raw.open(QIODevice::ReadOnly));
    const QByteArray received = raw.readAll();
    QCOMPARE(Hex(Bytes(received.begin(), received.end())), Hex(Joined(expected)));
    const QImage printed(LabelFile(1, "png"));
    QCOMPARE(printed.size(), QSize(384, 64));
    int black = 0;
    for (int y = 0; y < printed.height(); ++y) {
        for (int x = 0; x < printed.width(); ++x) {
            black += qGray(printed.pixel(x, y)) < 128 ? 1 : 0;
        }
    }
    QCOMPARE(black, topLeftDotOnly ? 1 : 0);
    QCOMPARE(qGray(printed.pixel(0, 0)) < 128, topLeftDotOnly);

    // Then the poll asks with ESC B.
    g_link = {};
    dialog.OnTimer(1);
    QCOMPARE(WritesText(g_link.writes), WritesText({kEscB}));
    QCOMPARE(g_link.readCounts, QList<quint32>{1});
}

void PrintLabelTest::labelIsWhatThePrintImageShows_data() {
    QTest::addColumn<QString>("password");
    QTest::addColumn<QColor>("colour");

    QTest::newRow("black text") << "Q8xj-Label" << QColor(Qt::black);
    QTest::newRow("red text") << "Abc123!" << QColor(200, 0, 0);
    QTest::newRow("light grey text prints too") << "Q8xj" << QColor(250, 250, 250);
    QTest::newRow("too wide: cut at both edges") << QString(35, QLatin1Char('W')) << QColor(Qt::black);
}

void PrintLabelTest::labelIsWhatThePrintImageShows() {
    QFETCH(QString, password);
    QFETCH(QColor, colour);
    PrintingDialog& dialog = StartDialog(password);
    SetFontChooserHandler([colour](QWidget*, const FontChoice& start) {
        return FontChoice{start.font, colour};
    });
    dialog.ChangePrintFont();
    MessageBoxRecorder boxes;

    dialog.PrintLabel();

    // What the control shows on screen, read as the label is.
    const QImage shown = dialog.GetDlgItem(IDC_PRINT_IMAGE)->grab().toImage();
    QCOMPARE(shown.size(), QSize(387, 67));
    const LabelImage label = PrintImage::Label(shown);
    QVERIFY(label.DotCount() > 100);

    const QImage printed(LabelFile(1, "png"));
    QCOMPARE(printed.size(), QSize(384, 64));
    int differ = 0;
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 384; ++x) {
            const QRgb pixel = printed.pixel(x, y);
            QVERIFY(pixel == qRgb(0, 0, 0) || pixel == qRgb(255, 255, 255));
            differ += (pixel == qRgb(0, 0, 0)) != label.Dot(x, y) ? 1 : 0;
        }
    }
    QCOMPARE(differ, 0);
}

void PrintLabelTest::silentPrinter() {
    TouchControlFile("silent");
    PrintingDialog& dialog = StartDialog(QStringLiteral("Q8xj"));
    dialog.prepared = LabelImage{};
    MessageBoxRecorder boxes;

    dialog.PrintLabel();

    // Every wait for an acknowledgement runs out and the sequence goes on.
    QCOMPARE(WritesText(g_link.writes), WritesText(LabelWrites(0x00)));
    QCOMPARE(g_link.readCounts.size(), qsizetype{5 + 100 + 3 * 100 + 1});
    QCOMPARE(g_pauses.totalMs, 70u + 3 * 100 * 50 + 100 + 150);
    QCOMPARE(g_pauses.withoutBusyCursor, 0);
    QVERIFY(QFile::exists(LabelFile(1, "png")));

    g_link = {};
    QCOMPARE(TicksUntilStopped(30), 21);
    QCOMPARE(WritesText(g_link.writes), QStringList{Hex(kEscB) + QStringLiteral(" x21")});
    QCOMPARE(Shown(boxes), QStringList{BoxText(kPrint, MB_OKCANCEL | MB_ICONQUESTION)});
}

void PrintLabelTest::finishedJob() {
    PrintingDialog& dialog = StartDialog(QStringLiteral("Q8xj"));
    MessageBoxRecorder boxes;
    dialog.PrintLabel();
    QVERIFY(dialog.IsTimerRunning(1));

    std::optional<bool> runningWhileShown;
    SetMessageBoxHandler([&](const MessageBoxRequest& box) {
        runningWhileShown = dialog.IsTimerRunning(1);
        boxes.shown.push_back(box);
        return static_cast<int>(IDOK);
    });
    dialog.OnTimer(1);

    QCOMPARE(Shown(boxes),
             (QStringList{BoxText(kPrint, MB_OKCANCEL | MB_ICONQUESTION), BoxText(kFinished, MB_OK)}));
    QCOMPARE(boxes.shown.back().caption, QCoreApplication::applicationName());
    QCOMPARE(runningWhileShown, std::optional<bool>(false));
    QVERIFY(!dialog.IsTimerRunning(1));
}

void PrintLabelTest::secondJob_data() {
    QTest::addColumn<bool>("firstAnswered"); // the printer finishes the first job
    QTest::addColumn<int>("ticksBefore");
    QTest::addColumn<int>("ticksAfter"); // until the poll stops

    QTest::newRow("after 5 unanswered polls") << false << 5 << 16;
    QTest::newRow("after 20 unanswered polls") << false << 20 << 1;
    QTest::newRow("after the poll gave up") << false << 21 << 21;
    QTest::newRow("after the printer finished") << true << 1 << 21;
}

void PrintLabelTest::secondJob() {
    QFETCH(bool, firstAnswered);
    QFETCH(int, ticksBefore);
    if (!firstAnswered) {
        TouchControlFile("silent");
    }
    PrintingDialog& dialog = StartDialog(QStringLiteral("Q8xj"));
    MessageBoxRecorder boxes;
    dialog.PrintLabel();
    for (int tick = 0; tick < ticksBefore; ++tick) {
        dialog.OnTimer(1);
    }
    QCOMPARE(dialog.IsTimerRunning(1), ticksBefore < 21 && !firstAnswered);
    if (firstAnswered) {
        TouchControlFile("silent");
    }

    dialog.PrintLabel();
    QVERIFY(dialog.IsTimerRunning(1));
    QTEST(TicksUntilStopped(30), "ticksAfter");
    QCOMPARE(boxes.shown.size(), firstAnswered ? 3u : 2u); // two questions, and the finished message
}

QTEST_MAIN(PrintLabelTest)
#include "PrintLabelTest.moc"
