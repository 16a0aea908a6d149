// The print button against the link library's virtual printer: the two
// questions, the bytes the printer receives, the label it saves, the busy
// cursor and the status poll. Pauses and poll ticks are the test's.
#include "app/CPasswordDlg.h"

#include "app/PasswordDialogTemplate.h"
#include "platform/TickCount.h"
#include "print/PrinterPresence.h"
#include "print/FontChooser.h"
#include "print/PrintImage.h"
#include "support/IsolatedSettings.h"
#include "tavopus/TavopusTesting.h"

#include <QFile>
#include <QLineEdit>
#include <QPainter>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>
#include <optional>

using namespace app;

namespace {

std::uint32_t g_pausedMs = 0;
int g_pausesWithoutBusyCursor = 0;

// A dialog that can print a label its print image could never show.
class PrintingDialog : public CPasswordDlg {
public:
    std::optional<LabelImage> prepared;

protected:
    LabelImage CaptureLabelImage() const override {
        return prepared ? *prepared : CPasswordDlg::CaptureLabelImage();
    }
};

// A message box by its buttons, its icon and its number of lines.
QString Box(platform::Buttons buttons, platform::Icon icon, int lines = 1) {
    return QString("%1 %2 %3").arg(int(buttons)).arg(int(icon)).arg(lines);
}
const QString kAsk = Box(platform::Buttons::OkCancel, platform::Icon::Question);
const QString kAskCut =
    Box(platform::Buttons::OkCancel, platform::Icon::Question, 2); // cut, then the question
const QString kNothing = Box(platform::Buttons::Ok, platform::Icon::Exclamation);
const QString kFinished = Box(platform::Buttons::Ok, platform::Icon::None);

} // namespace

class PrintLabelTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        QVERIFY(m_tableDir.isValid());
        QVERIFY(QDir::setCurrent(m_tableDir.path())); // no table file: the built-in table
    }
    void init() {
        m_settings = std::make_unique<IsolatedSettings>();
        m_labels = std::make_unique<QTemporaryDir>();
        qputenv("TAVOPUS_VIRTUAL", m_labels->path().toUtf8());
        tavopus::testing::Reset();
        g_pausedMs = 0;
        platform::SetSleepFunction([](std::uint32_t ms) {
            g_pausedMs += ms;
            const QCursor* cursor = QApplication::overrideCursor();
            g_pausesWithoutBusyCursor += cursor == nullptr || cursor->shape() != Qt::WaitCursor ? 1 : 0;
        });
        m_shown.clear();
        m_answer = IDOK;
        platform::SetMessageBoxHandler([this](const platform::MessageBoxRequest& box) {
            const bool app = box.caption == QCoreApplication::applicationName();
            m_shown << Box(box.buttons, box.icon, int(box.text.count('\n')) + 1) +
                           (app ? "" : " wrong caption") +
                           (m_dialog->Printer().IsPolling() ? " polling" : "");
            return m_answer;
        });
    }
    void cleanup() {
        m_dialog.reset();
        m_settings.reset();
        platform::SetSleepFunction({});
        platform::SetMessageBoxHandler({});
        SetFontChooserHandler({});
        qunsetenv("TAVOPUS_VIRTUAL");
        tavopus::testing::Reset();
        QCOMPARE(g_pausesWithoutBusyCursor, 0);
        QCOMPARE(QApplication::overrideCursor(), nullptr);
    }

    void nothingSent();
    void labelIsWhatThePrintImageShows();
    void polling();

    // The print button follows the virtual printer through the device notices.
    void printButtonFollowsThePrinter() {
        PrintingDialog& dialog = StartDialog(QString());
        QVERIFY(dialog.IsDlgItemEnabled(IDC_PRINT));
        Touch("unplugged");
        QTRY_VERIFY(!dialog.IsDlgItemEnabled(IDC_PRINT));
        QVERIFY(QFile::remove(m_labels->filePath("unplugged")));
        QTRY_VERIFY(dialog.IsDlgItemEnabled(IDC_PRINT));
    }

private:
    PrintingDialog& StartDialog(const QString& password) {
        m_dialog = std::make_unique<PrintingDialog>();
        m_dialog->Create();
        m_dialog->Item<QLineEdit>(IDC_PASSWORD)->setText(password);
        return *m_dialog;
    }
    void Touch(const char* name) { QVERIFY(QFile(m_labels->filePath(name)).open(QIODevice::WriteOnly)); }
    QByteArray Received() const {
        QFile raw(m_labels->filePath("label-0001.bin"));
        return raw.open(QIODevice::ReadOnly) ? raw.readAll() : QByteArray();
    }
    QTemporaryDir m_tableDir;
    std::unique_ptr<IsolatedSettings> m_settings;
    std::unique_ptr<QTemporaryDir> m_labels;
    std::unique_ptr<PrintingDialog> m_dialog;
    QStringList m_shown;
    int m_answer = IDOK;
};

void PrintLabelTest::nothingSent() {
    const struct {
        QString password;
        bool linked;
        int answer;
        QString box;
    } rows[] = {
        {"", true, IDOK, kNothing},
        {"Q8xj", true, IDCANCEL, kAsk},
        {QString(35, 'W'), true, IDCANCEL, kAskCut}, // too wide for the label
        {"Q8xj", false, IDOK, kAsk},                 // no link: read, then dropped
    };
    for (const auto& row : rows) {
        cleanup();
        init();
        if (!row.linked) {
            Touch("unplugged");
        }
        PrintingDialog& dialog = StartDialog(row.password);
        m_answer = row.answer;
        dialog.PrintLabel();
        QCOMPARE(m_shown.join(""), row.box);
        QCOMPARE(g_pausedMs, 0u);
        QCOMPARE(Received(), QByteArray());
        QVERIFY(!dialog.Printer().IsPolling());
    }
}

void PrintLabelTest::labelIsWhatThePrintImageShows() {
    // Too wide, so cut at both edges, and a light grey that still prints.
    PrintingDialog& dialog = StartDialog(QString(35, 'W'));
    SetFontChooserHandler([](QWidget*, const FontChoice& start) {
        return FontChoice{start.font, QColor(250, 250, 250)};
    });
    dialog.ChangePrintFont();
    dialog.PrintLabel();
    const LabelImage shown = PrintImage::Label(dialog.GetDlgItem(IDC_PRINT_IMAGE)->grab().toImage());
    QVERIFY(shown.DotCount() > 100);
    const QImage printed(m_labels->filePath("label-0001.png"));
    QCOMPARE(printed.size(), QSize(384, 64));
    QImage framed(387, 67, QImage::Format_RGB32);
    framed.fill(Qt::white);
    QPainter(&framed).drawImage(1, 1, printed);
    QVERIFY(PrintImage::Label(framed).Data() == shown.Data());
}

// The whole sequence, answered or not (the kept job's bytes for a label of
// one dot); each wait ends at the first answer. Then the poll: a second job
// while polling keeps its count.
void PrintLabelTest::polling() {
    QFile kept(Q8XJ_LABEL_JOB);
    const QByteArray job = kept.open(QIODevice::ReadOnly) ? kept.readAll() : QByteArray();
    const struct {
        bool silent;
        int ticksBefore; // then a second, silent job; -1: none
        int ticksAfter;  // until the poll stops
        QStringList boxes;
    } rows[] = {
        {false, -1, 1, {kAsk, kFinished}},
        {true, 5, 16, {kAsk, kAsk + " polling"}},
    };
    for (const auto& row : rows) {
        cleanup();
        init();
        if (row.silent) {
            Touch("silent");
        }
        PrintingDialog& dialog = StartDialog("WWW Q8xj");
        dialog.prepared.emplace().SetDot(0, 0, true);
        dialog.PrintLabel();
        QCOMPARE(Received().toHex(' '), job.toHex(' '));
        QCOMPARE(g_pausedMs == 470u, !row.silent);
        if (row.ticksBefore >= 0) {
            for (int tick = 0; tick < row.ticksBefore; ++tick) {
                dialog.Printer().PollStatus();
            }
            dialog.PrintLabel();
        }
        int ticks = 0;
        do {
            dialog.Printer().PollStatus();
        } while (++ticks < 30 && dialog.Printer().IsPolling());
        QCOMPARE(ticks, row.ticksAfter);
        QCOMPARE(m_shown, row.boxes);
    }
}

QTEST_MAIN(PrintLabelTest)
#include "PrintLabelTest.moc"
