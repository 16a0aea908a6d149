// Printer presence in the main dialog against the link library's kernel
// backend on a fake device tree. The scan,
// open, close and removal calls pass through a recorder on their way.
#include "app/CPasswordDlg.h"

#include "app/PasswordDialogTemplate.h"
#include "print/PrinterLibrary.h"
#include "tavopus/TavopusTesting.h"
#include "tavopus/tavopus.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using namespace app;

namespace {

// The calls that open, close or ask about a link: S<n> (start a link to n),
// E<h> (end), M<h>:<n> (is the removed node n mine?); a handle shows as h,
// none as 0.
QStringList g_calls;

const PrinterLibraryCalls kRecording{
    TavopRegistHandle,
    TavopUnregistHandle,
    TavopCheckActiveDevice,
    [](std::uint32_t* handle, std::int32_t number) {
        g_calls << "S" + QString::number(number);
        return TavopStartDevice(handle, number);
    },
    [](std::uint32_t handle) {
        g_calls << "E" + QString(handle != 0 ? "h" : "0");
        return TavopEndDevice(handle);
    },
    [](std::uint32_t handle, std::uint32_t word) {
        g_calls << "M" + QString(handle != 0 ? "h:" : "0:") + QString::number(word & 0xFFFFu);
        return TavopCheckMyDevice(handle, word);
    },
    TavopUsbWrite,
    TavopUsbRead,
};

} // namespace

class PrinterPresenceTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        QVERIFY(m_tableDir.isValid());
        QVERIFY(QDir::setCurrent(m_tableDir.path())); // no table file: the built-in table
    }
    void init() {
        m_root = std::make_unique<QTemporaryDir>();
        QVERIFY(QDir().mkpath(m_root->filePath("dev/usb")));
        tavopus::testing::Reset();
        tavopus::testing::SetRoots(m_root->filePath("sys").toStdString(),
                                   m_root->filePath("dev").toStdString());
        g_calls.clear();
        SetPrinterLibrary(&kRecording);
    }
    void cleanup() {
        SetPrinterLibrary(nullptr);
        tavopus::testing::Reset();
    }

    void presence_data();
    void presence();

private:
    void Plug(int number) {
        const QString device = m_root->filePath(QString("sys/class/usbmisc/lp%1/device").arg(number));
        QVERIFY(QDir().mkpath(device));
        QFile id(device + "/ieee1284_id");
        QVERIFY(id.open(QIODevice::WriteOnly));
        id.write(QString("MFG:ORBEK;MDL:M%1;CMD:ESC;").arg(number).toLatin1());
        QFile node(m_root->filePath(QString("dev/usb/lp%1").arg(number)));
        QVERIFY(node.open(QIODevice::WriteOnly));
    }
    void Unplug(int number) {
        QVERIFY(QDir(m_root->filePath(QString("sys/class/usbmisc/lp%1").arg(number))).removeRecursively());
        QVERIFY(QFile::remove(m_root->filePath(QString("dev/usb/lp%1").arg(number))));
    }

    QTemporaryDir m_tableDir;
    std::unique_ptr<QTemporaryDir> m_root;
};

void PrinterPresenceTest::presence_data() {
    QTest::addColumn<QList<int>>("before"); // plugged in at start-up
    QTest::addColumn<QList<int>>("after");  // plugged in when the notice comes
    QTest::addColumn<quint32>("event");     // 0: start-up only
    QTest::addColumn<int>("word");          // node number in a removal notice
    QTest::addColumn<QString>("calls");     // of the notice, or of start-up
    QTest::addColumn<bool>("linked");
    QTest::addColumn<int>("number"); // remembered device number

    using L = QList<int>;
    const quint32 changed = TAVOP_DEVNODES_CHANGED;
    const quint32 removed = TAVOP_DEVICEREMOVECOMPLETE;
    QTest::newRow("no printer") << L{} << L{} << 0u << 0 << "" << false << 0;
    QTest::newRow("the lower number wins") << L{7, 3} << L{} << 0u << 0 << "S3" << true << 3;
    QTest::newRow("last number") << L{126} << L{} << 0u << 0 << "S126" << true << 126;
    QTest::newRow("plugged in later") << L{} << L{5} << changed << 0 << "S5" << true << 5;
    QTest::newRow("second printer: only its number and name")
        << L{4} << L{4, 2} << changed << 0 << "" << true << 2;
    QTest::newRow("scan finds nothing") << L{4} << L{} << changed << 0 << "Eh" << false << 4;
    QTest::newRow("linked printer removed") << L{4} << L{} << removed << 4 << "Mh:4 Eh" << false << 4;
    QTest::newRow("another device removed") << L{4} << L{4} << removed << 9 << "Mh:9" << true << 4;
    QTest::newRow("removal without a link") << L{} << L{} << removed << 4 << "M0:4" << false << 0;
}

void PrinterPresenceTest::presence() {
    QFETCH(QList<int>, before);
    QFETCH(QList<int>, after);
    QFETCH(quint32, event);
    QFETCH(int, word);
    for (int number : before) {
        Plug(number);
    }
    CPasswordDlg dialog;
    dialog.Create();
    if (event != 0) {
        for (int number : before) {
            if (!after.contains(number)) {
                Unplug(number);
            }
        }
        for (int number : after) {
            Plug(number);
        }
        g_calls.clear();
        dialog.OnDeviceChange(event, TAVOP_NODE_WORD(word));
    }

    QTEST(g_calls.join(' '), "calls");
    QTEST(dialog.PrinterLinkHandle() != 0, "linked");
    QTEST(dialog.IsDlgItemEnabled(IDC_PRINT), "linked");
    QFETCH(int, number);
    QCOMPARE(dialog.PrinterDeviceNumber(), number);
    const bool found = !before.isEmpty() || !after.isEmpty(); // then its name is remembered
    QCOMPARE(QString(dialog.PrinterDeviceName()), found ? QString("ORBEK M%1").arg(number) : "");
}

QTEST_MAIN(PrinterPresenceTest)
#include "PrinterPresenceTest.moc"
