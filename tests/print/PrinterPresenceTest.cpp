// Printer presence in the main dialog: the start-up scan, the device-change
// notices, the print button and the shut-down, against the link library's
// kernel backend on a fake device tree and against its virtual printer. The
// library's calls pass through a recorder on their way.
#include "app/CPasswordDlg.h"

#include "app/PasswordDialogTemplate.h"
#include "print/PrinterLibrary.h"
#include "tavopus/TavopusTesting.h"
#include "tavopus/tavopus.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

using namespace app;

namespace {

// What the dialog asked of the library, one entry a call: R (register), U
// (unregister), C<n> (is a printer at n?), S<n> (start a link to n), E<h>
// (end), M<h>:<n> (is the removed node n mine?), W, Rd. A link handle shows
// as h, no link as 0.
struct Recorder {
    std::vector<std::string> calls;
    bool startFails = false;
};
Recorder g_record;

std::string HandleText(std::uint32_t handle) {
    return handle == 0 ? "0" : "h";
}

std::string WordText(std::uint32_t word) {
    if ((word & 0xFFFF0000u) == TAVOP_NODE_WORD(0)) {
        return std::to_string(word & 0xFFFFu);
    }
    return "?" + std::to_string(word);
}

const PrinterLibraryCalls kRecording{
    [](std::uint32_t window) {
        g_record.calls.push_back(window != 0 ? "R" : "R0");
        return LinkLibraryCalls().registHandle(window);
    },
    [] {
        g_record.calls.push_back("U");
        return LinkLibraryCalls().unregistHandle();
    },
    [](std::int32_t number, char* name) {
        g_record.calls.push_back("C" + std::to_string(number));
        return LinkLibraryCalls().checkActiveDevice(number, name);
    },
    [](std::uint32_t* handle, std::int32_t number) -> std::uint32_t {
        g_record.calls.push_back("S" + std::to_string(number));
        return g_record.startFails ? 1 : LinkLibraryCalls().startDevice(handle, number);
    },
    [](std::uint32_t handle) {
        g_record.calls.push_back("E" + HandleText(handle));
        return LinkLibraryCalls().endDevice(handle);
    },
    [](std::uint32_t handle, std::uint32_t word) {
        g_record.calls.push_back("M" + HandleText(handle) + ":" + WordText(word));
        return LinkLibraryCalls().checkMyDevice(handle, word);
    },
    [](std::uint32_t handle, const void* bytes, std::uint32_t count) {
        g_record.calls.push_back("W");
        return LinkLibraryCalls().usbWrite(handle, bytes, count);
    },
    [](std::uint32_t handle, void* buffer, std::uint32_t* count) {
        g_record.calls.push_back("Rd");
        return LinkLibraryCalls().usbRead(handle, buffer, count);
    },
};

// The record as text, a run of scan calls at ascending numbers folded into
// one entry: "R C0..126 C0".
QString Trace() {
    QStringList parts;
    const auto& calls = g_record.calls;
    for (std::size_t k = 0; k < calls.size();) {
        std::size_t run = 1;
        if (calls[k][0] == 'C') {
            const int first = std::stoi(calls[k].substr(1));
            while (k + run < calls.size() &&
                   calls[k + run] == "C" + std::to_string(first + static_cast<int>(run))) {
                ++run;
            }
        }
        QString part = QString::fromStdString(calls[k]);
        if (run > 1) {
            part += QStringLiteral("..") + QString::fromStdString(calls[k + run - 1].substr(1));
        }
        parts << part;
        k += run;
    }
    return parts.join(QLatin1Char(' '));
}

QString NameOf(int number) {
    return number < 0 ? QString() : QStringLiteral("ORBEK M%1").arg(number);
}

} // namespace

class PrinterPresenceTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        QVERIFY(m_tableDir.isValid());
        QVERIFY(QDir::setCurrent(m_tableDir.path())); // no table file: the built-in table
    }
    void init() {
        qunsetenv("TAVOPUS_VIRTUAL");
        m_root = std::make_unique<QTemporaryDir>();
        QVERIFY(m_root->isValid());
        QVERIFY(QDir().mkpath(m_root->filePath(QStringLiteral("sys/class/usbmisc"))));
        QVERIFY(QDir().mkpath(m_root->filePath(QStringLiteral("dev/usb"))));
        tavopus::testing::Reset();
        tavopus::testing::SetRoots(m_root->filePath(QStringLiteral("sys")).toStdString(),
                                   m_root->filePath(QStringLiteral("dev")).toStdString());
        g_record = {};
        SetPrinterLibrary(&kRecording);
    }
    void cleanup() {
        m_dialog.reset();
        SetPrinterLibrary(nullptr);
        qunsetenv("TAVOPUS_VIRTUAL");
        tavopus::testing::Reset();
        m_root.reset();
    }

    void startUp_data();
    void startUp();
    void notices_data();
    void notices();
    void shutDownUnregistersLastAndLeavesTheLinkOpen();
    void virtualPrinterUnpluggedAndBack();

private:
    void Plug(int number) {
        const QString device = m_root->filePath(QStringLiteral("sys/class/usbmisc/lp%1/device").arg(number));
        QVERIFY(QDir().mkpath(device));
        QFile id(device + QStringLiteral("/ieee1284_id"));
        QVERIFY(id.open(QIODevice::WriteOnly));
        id.write(QStringLiteral("MFG:ORBEK;MDL:M%1;CMD:ESC;").arg(number).toLatin1());
        QFile node(m_root->filePath(QStringLiteral("dev/usb/lp%1").arg(number)));
        QVERIFY(node.open(QIODevice::WriteOnly));
    }
    void Unplug(int number) {
        QVERIFY(
            QDir(m_root->filePath(QStringLiteral("sys/class/usbmisc/lp%1").arg(number))).removeRecursively());
        QVERIFY(QFile::remove(m_root->filePath(QStringLiteral("dev/usb/lp%1").arg(number))));
    }
    CPasswordDlg& StartDialog() {
        m_dialog = std::make_unique<CPasswordDlg>();
        m_dialog->Create();
        return *m_dialog;
    }
    // The two states the dialog may be in: no link and the button disabled,
    // or a link and the button enabled.
    void VerifyButtonFollowsLink() const {
        QCOMPARE(m_dialog->IsDlgItemEnabled(IDC_PRINT), m_dialog->PrinterLinkHandle() != 0);
    }

    QTemporaryDir m_tableDir;
    std::unique_ptr<QTemporaryDir> m_root;
    std::unique_ptr<CPasswordDlg> m_dialog;
};

void PrinterPresenceTest::startUp_data() {
    QTest::addColumn<QList<int>>("printers");
    QTest::addColumn<bool>("startFails");
    QTest::addColumn<QString>("trace");
    QTest::addColumn<bool>("linked");
    QTest::addColumn<int>("number"); // remembered device number
    QTest::addColumn<int>("named");  // whose name is remembered; -1: none

    // The open after an empty scan tries the starting number 0.
    QTest::newRow("no printer") << QList<int>{} << false << "R C0..126 C0" << false << 0 << -1;
    QTest::newRow("printer at 0") << QList<int>{0} << false << "R C0 C0 S0" << true << 0 << 0;
    QTest::newRow("printer at 4") << QList<int>{4} << false << "R C0..4 C4 S4" << true << 4 << 4;
    QTest::newRow("last number") << QList<int>{126} << false << "R C0..126 C126 S126" << true << 126 << 126;
    QTest::newRow("two printers: the lower number wins")
        << QList<int>{7, 3} << false << "R C0..3 C3 S3" << true << 3 << 3;
    QTest::newRow("open fails") << QList<int>{2} << true << "R C0..2 C2 S2" << false << 2 << 2;
}

void PrinterPresenceTest::startUp() {
    QFETCH(QList<int>, printers);
    QFETCH(bool, startFails);
    for (int number : printers) {
        Plug(number);
    }
    g_record.startFails = startFails;

    CPasswordDlg& dialog = StartDialog();
    QTEST(Trace(), "trace");
    QTEST(dialog.PrinterLinkHandle() != 0, "linked");
    QTEST(dialog.IsDlgItemEnabled(IDC_PRINT), "linked");
    QTEST(static_cast<int>(dialog.PrinterDeviceNumber()), "number");
    QFETCH(int, named);
    QCOMPARE(QString::fromLatin1(dialog.PrinterDeviceName()), NameOf(named));
}

void PrinterPresenceTest::notices_data() {
    QTest::addColumn<QList<int>>("before");
    QTest::addColumn<bool>("startFailsBefore");
    QTest::addColumn<QList<int>>("after");
    QTest::addColumn<quint32>("event");
    QTest::addColumn<quint32>("word");
    QTest::addColumn<QString>("trace");
    QTest::addColumn<QString>("link"); // kept, opened or none
    QTest::addColumn<int>("number");
    QTest::addColumn<int>("named");

    const quint32 changed = TAVOP_DEVNODES_CHANGED;
    const quint32 removed = TAVOP_DEVICEREMOVECOMPLETE;
    using L = QList<int>;
    QTest::newRow("printer plugged in later") << L{} << false << L{5} << changed << 0u << "C0..5 C5 S5"
                                              << "opened" << 5 << 5;
    QTest::newRow("failed open is tried again") << L{2} << true << L{2} << changed << 0u << "C0..2 C2 S2"
                                                << "opened" << 2 << 2;
    QTest::newRow("second printer below the linked one")
        << L{4} << false << L{4, 2} << changed << 0u << "C0..2"
        << "kept" << 2 << 2;
    QTest::newRow("second printer above the linked one")
        << L{4} << false << L{4, 9} << changed << 0u << "C0..4"
        << "kept" << 4 << 4;
    QTest::newRow("scan finds nothing while linked") << L{4} << false << L{} << changed << 0u << "C0..126 Eh"
                                                     << "none" << 4 << 4;
    QTest::newRow("scan finds nothing without a link") << L{} << false << L{} << changed << 0u << "C0..126 C0"
                                                       << "none" << 0 << -1;
    QTest::newRow("linked printer removed")
        << L{4} << false << L{} << removed << TAVOP_NODE_WORD(4) << "Mh:4 Eh"
        << "none" << 4 << 4;
    QTest::newRow("removal of another device")
        << L{4} << false << L{4} << removed << TAVOP_NODE_WORD(9) << "Mh:9"
        << "kept" << 4 << 4;
    QTest::newRow("stale removal of a printer still there")
        << L{4} << false << L{4} << removed << TAVOP_NODE_WORD(4) << "Mh:4"
        << "kept" << 4 << 4;
    QTest::newRow("removal without a link") << L{} << false << L{} << removed << TAVOP_NODE_WORD(4) << "M0:4"
                                            << "none" << 0 << -1;
    QTest::newRow("other event while linked") << L{4} << false << L{} << 0x8000u << TAVOP_NODE_WORD(4) << ""
                                              << "kept" << 4 << 4;
    QTest::newRow("other event without a link") << L{} << false << L{3} << 0x0018u << 0u << ""
                                                << "none" << 0 << -1;
}

void PrinterPresenceTest::notices() {
    QFETCH(QList<int>, before);
    QFETCH(bool, startFailsBefore);
    QFETCH(QList<int>, after);
    QFETCH(quint32, event);
    QFETCH(quint32, word);
    QFETCH(QString, link);

    for (int number : before) {
        Plug(number);
    }
    g_record.startFails = startFailsBefore;
    CPasswordDlg& dialog = StartDialog();
    const std::uint32_t handleBefore = dialog.PrinterLinkHandle();
    for (int number : before) {
        if (!after.contains(number)) {
            Unplug(number);
        }
    }
    for (int number : after) {
        if (!before.contains(number)) {
            Plug(number);
        }
    }
    g_record = {};

    dialog.OnDeviceChange(event, word);

    QTEST(Trace(), "trace");
    const std::uint32_t handle = dialog.PrinterLinkHandle();
    if (link == QLatin1String("kept")) {
        QVERIFY(handleBefore != 0);
        QCOMPARE(handle, handleBefore);
    } else if (link == QLatin1String("opened")) {
        QCOMPARE(handleBefore, 0u);
        QVERIFY(handle != 0);
    } else {
        QCOMPARE(handle, 0u);
    }
    VerifyButtonFollowsLink();
    QTEST(static_cast<int>(dialog.PrinterDeviceNumber()), "number");
    QFETCH(int, named);
    QCOMPARE(QString::fromLatin1(dialog.PrinterDeviceName()), NameOf(named));
}

void PrinterPresenceTest::shutDownUnregistersLastAndLeavesTheLinkOpen() {
    Plug(1);
    StartDialog();
    QVERIFY(m_dialog->PrinterLinkHandle() != 0);
    g_record = {};
    m_dialog.reset();
    QCOMPARE(Trace(), QStringLiteral("U"));

    // A dialog whose window never existed has nothing to let go of.
    auto unshown = std::make_unique<CPasswordDlg>();
    unshown.reset();
    QCOMPARE(Trace(), QStringLiteral("U"));
}

void PrinterPresenceTest::virtualPrinterUnpluggedAndBack() {
    QTemporaryDir labels;
    QVERIFY(labels.isValid());
    qputenv("TAVOPUS_VIRTUAL", labels.path().toUtf8());
    tavopus::testing::Reset();

    CPasswordDlg& dialog = StartDialog();
    QVERIFY(dialog.IsDlgItemEnabled(IDC_PRINT));
    QVERIFY(dialog.PrinterLinkHandle() != 0);

    const QString unplugged = labels.filePath(QStringLiteral("unplugged"));
    QFile flag(unplugged);
    QVERIFY(flag.open(QIODevice::WriteOnly));
    flag.close();
    QTRY_VERIFY(!dialog.IsDlgItemEnabled(IDC_PRINT));
    QCOMPARE(dialog.PrinterLinkHandle(), 0u);
    // The removal notice closed the link before the scan came.
    QVERIFY(Trace().contains(QStringLiteral("Mh:0 Eh C0..126 C0")));

    QVERIFY(QFile::remove(unplugged));
    QTRY_VERIFY(dialog.IsDlgItemEnabled(IDC_PRINT));
    QVERIFY(dialog.PrinterLinkHandle() != 0);
}

QTEST_MAIN(PrinterPresenceTest)
#include "PrinterPresenceTest.moc"
