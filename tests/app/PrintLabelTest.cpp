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

// What the printer is to receive for one label, given strip 1's first data byte.
QByteArray LabelBytes(char firstDataByte) {
    QByteArray bytes = QByteArray::fromHex("1b49 05 06 1b50 02800c00 00000004 40002000 000c0000 1b47");
    for (const char flag : {'\x00', '\x00', '\x80'}) {
        QByteArray frame(1088, '\0');
        frame[0] = 0x02;
        frame[1] = flag;
        frame[3] = 0x04;
        frame[4] = bytes.size() == 24 ? firstDataByte : '\0';
        bytes += frame;
    }
    return bytes + QByteArray::fromHex("1b4e");
}

using platform::Buttons;
using platform::Icon;

QString Box(const QString& text, Buttons buttons, Icon icon) {
    return QString("%1 [%2 %3]").arg(text).arg(int(buttons)).arg(int(icon));
}
const QString kAsk = Box(QString::fromUtf8("プリントしますか？"), Buttons::OkCancel, Icon::Question);
// A password the label would cut is said before the question.
const QString kAskCut = Box(QString::fromUtf8("パスワードがラベルに収まりません。\nプリントしますか？"),
                            Buttons::OkCancel, Icon::Question);
const QString kFinished = Box(QString::fromUtf8("プリント終了しました。"), Buttons::Ok, Icon::None);

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
            m_shown << Box(box.text, box.buttons, box.icon) + (app ? "" : " wrong caption") +
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

    void nothingSent_data();
    void nothingSent();
    void labelIsWhatThePrintImageShows();
    void polling_data();
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
    void ChooseColour(QColor colour) {
        SetFontChooserHandler([colour](QWidget*, const FontChoice& start) {
            return FontChoice{start.font, colour};
        });
        m_dialog->ChangePrintFont();
    }

    QTemporaryDir m_tableDir;
    std::unique_ptr<IsolatedSettings> m_settings;
    std::unique_ptr<QTemporaryDir> m_labels;
    std::unique_ptr<PrintingDialog> m_dialog;
    QStringList m_shown;
    int m_answer = IDOK;
};

void PrintLabelTest::nothingSent_data() {
    QTest::addColumn<QString>("password");
    QTest::addColumn<bool>("linked");
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("box");

    const QString nothing =
        Box(QString::fromUtf8("プリントするデータがありません"), Buttons::Ok, Icon::Exclamation);
    QTest::newRow("empty password") << "" << true << int(IDOK) << nothing;
    QTest::newRow("cancelled") << "Q8xj" << true << int(IDCANCEL) << kAsk;
    QTest::newRow("too wide for the label, cancelled")
        << QString(35, 'W') << true << int(IDCANCEL) << kAskCut;
    QTest::newRow("no link: read, then dropped") << "Q8xj" << false << int(IDOK) << kAsk;
}

void PrintLabelTest::nothingSent() {
    QFETCH(bool, linked);
    QFETCH(int, answer);
    if (!linked) {
        Touch("unplugged");
    }
    QFETCH(QString, password);
    PrintingDialog& dialog = StartDialog(password);
    m_answer = answer;
    dialog.PrintLabel();
    QTEST(m_shown.join(""), "box");
    QCOMPARE(g_pausedMs, 0u);
    QCOMPARE(Received(), QByteArray());
    QVERIFY(!dialog.Printer().IsPolling());
}

void PrintLabelTest::labelIsWhatThePrintImageShows() {
    // Too wide, so cut at both edges, and a light grey that still prints.
    PrintingDialog& dialog = StartDialog(QString(35, 'W'));
    ChooseColour(QColor(250, 250, 250));
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

void PrintLabelTest::polling_data() {
    QTest::addColumn<bool>("silent");
    QTest::addColumn<bool>("topLeftDot"); // the label's only dot; else a password in white
    QTest::addColumn<int>("ticksBefore"); // then a second, silent job; -1: none
    QTest::addColumn<int>("ticksAfter");  // until the poll stops
    QTest::addColumn<QStringList>("boxes");
    QTest::newRow("finished") << false << true << -1 << 1 << QStringList{kAsk, kFinished};
    QTest::newRow("silent printer") << true << false << -1 << 21 << QStringList{kAsk};
    QTest::newRow("second job after 5 unanswered polls")
        << true << false << 5 << 16 << QStringList{kAsk, kAsk + " polling"};
}

void PrintLabelTest::polling() {
    QFETCH(bool, silent);
    QFETCH(bool, topLeftDot);
    QFETCH(int, ticksBefore);
    if (silent) {
        Touch("silent");
    }
    PrintingDialog& dialog = StartDialog("WWW Q8xj");
    if (topLeftDot) {
        dialog.prepared.emplace().SetDot(0, 0, true);
    } else {
        ChooseColour(Qt::white);
    }
    dialog.PrintLabel();
    // The whole sequence, answered or not; each wait ends at the first answer.
    QCOMPARE(Received().toHex(' '), LabelBytes(topLeftDot ? 1 : 0).toHex(' '));
    QCOMPARE(g_pausedMs == 470u, !silent);
    if (ticksBefore >= 0) {
        for (int tick = 0; tick < ticksBefore; ++tick) {
            dialog.Printer().PollStatus();
        }
        dialog.PrintLabel();
    }
    int ticks = 0;
    do {
        dialog.Printer().PollStatus();
    } while (++ticks < 30 && dialog.Printer().IsPolling());
    QTEST(ticks, "ticksAfter");
    QTEST(m_shown, "boxes");
}

QTEST_MAIN(PrintLabelTest)
#include "PrintLabelTest.moc"
