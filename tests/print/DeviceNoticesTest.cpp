// Device-change notices: which udev events become which notices. The virtual
// printer's notices are followed through the main dialog's printer tests.
#include "print/DeviceNotices.h"

#include "tavopus/tavopus.h"

#include <QtTest>

using Notices = std::vector<DeviceNotices::Notice>;
Q_DECLARE_METATYPE(Notices)

class DeviceNoticesTest : public QObject {
    Q_OBJECT
private slots:
    void udevEvents_data() {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("name");
        QTest::addColumn<Notices>("notices");
        const auto row = [](const char* tag, const char* action, const char* name, const Notices& notices) {
            QTest::newRow(tag) << QString(action) << QString(name) << notices;
        };
        const DeviceNotices::Notice changed{TAVOP_DEVNODES_CHANGED, 0};
        row("printer added", "add", "lp0", {changed});
        row("printer removed", "remove", "lp0", {{TAVOP_DEVICEREMOVECOMPLETE, TAVOP_NODE_WORD(0)}, changed});
        row("last number", "remove", "lp126", {{TAVOP_DEVICEREMOVECOMPLETE, TAVOP_NODE_WORD(126)}, changed});
        row("number past the last", "add", "lp127", {});
        row("other usbmisc node", "remove", "hiddev0", {});
        row("letters after the number", "remove", "lp0x", {});
        row("change of a printer", "change", "lp0", {});
    }
    void udevEvents() {
        QFETCH(QString, action);
        QFETCH(QString, name);
        QFETCH(Notices, notices);
        QCOMPARE(DeviceNotices::NoticesFor(action.toStdString(), name.toStdString()), notices);
    }
};

QTEST_MAIN(DeviceNoticesTest)
#include "DeviceNoticesTest.moc"
