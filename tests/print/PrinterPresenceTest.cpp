// Printer presence against the link library's kernel backend on a fake
// device tree. The calls that register, open, close or ask about a link pass
// through a recorder on their way.
#include "print/PrinterPresence.h"

#include "print/PrinterLibrary.h"
#include "tavopus/TavopusTesting.h"
#include "tavopus/tavopus.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QWidget>
#include <QtTest>

#include <memory>

namespace {

// R (register), U (unregister), S<n> (start a link to n), E<h> (end),
// M<h>:<n> (is the removed node n mine?); a handle shows as h, none as 0.
class RecordingLibrary : public PrinterLibrary {
public:
    std::uint32_t RegistHandle(std::uint32_t window) override {
        calls << "R";
        return PrinterLibrary::RegistHandle(window);
    }
    std::uint32_t UnregistHandle() override {
        calls << "U";
        return PrinterLibrary::UnregistHandle();
    }
    std::uint32_t StartDevice(std::uint32_t* handle, std::int32_t number) override {
        calls << "S" + QString::number(number);
        return PrinterLibrary::StartDevice(handle, number);
    }
    std::uint32_t EndDevice(std::uint32_t handle) override {
        calls << "E" + QString(handle != 0 ? "h" : "0");
        return PrinterLibrary::EndDevice(handle);
    }
    std::uint32_t UsbWrite(std::uint32_t handle, const void* bytes, std::uint32_t count) override {
        if (failWrites) {
            return 1; // as the library answers a write that timed out, having ended the link
        }
        return PrinterLibrary::UsbWrite(handle, bytes, count);
    }
    std::uint32_t CheckMyDevice(std::uint32_t handle, std::uint32_t word) override {
        calls << "M" + QString(handle != 0 ? "h:" : "0:") + QString::number(word & 0xFFFFu);
        return PrinterLibrary::CheckMyDevice(handle, word);
    }
    QStringList calls;
    bool failWrites = false;
};

} // namespace

class PrinterPresenceTest : public QObject {
    Q_OBJECT
private slots:
    void init() {
        m_root = std::make_unique<QTemporaryDir>();
        QVERIFY(QDir().mkpath(m_root->filePath("dev/usb")));
        tavopus::testing::Reset();
        tavopus::testing::SetRoots(m_root->filePath("sys").toStdString(),
                                   m_root->filePath("dev").toStdString());
    }
    void cleanup() { tavopus::testing::Reset(); }

    void presence();
    // A write that times out has ended the link in the library: the label job
    // and the status poll stop there, and the link is said to be closed.
    void failedWriteEndsTheLink() {
        for (const bool polling : {false, true}) {
            init();
            Plug(4);
            RecordingLibrary library;
            QWidget window;
            auto presence = std::make_unique<PrinterPresence>(library, &window);
            presence->Start();
            QVERIFY(presence->IsLinked());
            QSignalSpy said(presence.get(), &PrinterPresence::LinkChanged);
            library.failWrites = true;
            if (polling) {
                presence->PollStatus();
            } else {
                QVERIFY(!presence->SendLabel({}));
            }
            QVERIFY(!presence->IsLinked() && !presence->IsPolling());
            QCOMPARE(said.count(), 1);
            QCOMPARE(said.at(0).at(0).toBool(), false);
            library.calls.clear();
            presence.reset();
            QCOMPARE(library.calls.join(' '), "U"); // the library ended the link already
        }
    }

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

    std::unique_ptr<QTemporaryDir> m_root;
};

// Calls: of the notice, or of start-up; said: what LinkChanged said, 1 open, 0 closed.
void PrinterPresenceTest::presence() {
    using L = QList<int>;
    const quint32 changed = TAVOP_DEVNODES_CHANGED;
    const quint32 removed = TAVOP_DEVICEREMOVECOMPLETE;
    const struct {
        const char* name;
        L before;      // plugged in at start-up
        L after;       // plugged in when the notice comes
        quint32 event; // 0: start-up only
        int word;      // node number in a removal notice
        const char* calls;
        const char* said;
        bool linked;
    } rows[] = {
        {"no printer", {}, {}, 0, 0, "R", "0", false},
        {"the lower number wins", {7, 3}, {}, 0, 0, "R S3", "1", true},
        {"last number", {126}, {}, 0, 0, "R S126", "1", true},
        {"plugged in later", {}, {5}, changed, 0, "S5", "1", true},
        {"second printer", {4}, {4, 2}, changed, 0, "", "1", true},
        {"scan finds nothing", {4}, {}, changed, 0, "Eh", "1 0", false},
        {"linked printer removed", {4}, {}, removed, 4, "Mh:4 Eh", "0", false},
        {"another device removed", {4}, {4}, removed, 9, "Mh:9", "", true},
        {"removal without a link", {}, {}, removed, 4, "M0:4", "", false},
        {"other event", {4}, {}, 0x8000u, 4, "", "", true},
    };
    for (const auto& row : rows) {
        init();
        for (int number : row.before) {
            Plug(number);
        }
        RecordingLibrary library;
        QWidget window;
        auto presence = std::make_unique<PrinterPresence>(library, &window);
        QSignalSpy said(presence.get(), &PrinterPresence::LinkChanged);
        presence->Start();
        if (row.event != 0) {
            for (int number : row.before) {
                if (!row.after.contains(number)) {
                    Unplug(number);
                }
            }
            for (int number : row.after) {
                Plug(number);
            }
            library.calls.clear();
            said.clear();
            presence->OnDeviceChange(row.event, TAVOP_NODE_WORD(row.word));
        }
        QStringList saidText;
        for (const QList<QVariant>& signal : said) {
            saidText << QString::number(signal.at(0).toInt());
        }
        QCOMPARE(library.calls.join(' ') + " | " + saidText.join(' '), QString(row.calls) + " | " + row.said);
        QVERIFY2(presence->IsLinked() == row.linked, row.name);
        // Going away ends an open link, then lets go of the library.
        library.calls.clear();
        presence.reset();
        QCOMPARE(library.calls.join(' '), row.linked ? "Eh U" : "U");
    }
}

QTEST_MAIN(PrinterPresenceTest)
#include "PrinterPresenceTest.moc"
