// Device-change notices: which udev events become which notices, and the
// virtual printer's notices arriving through the event loop.
#include "platform/DeviceNotices.h"

#include "tavopus/tavopus.h"
#include "tavopus/TavopusTesting.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <fstream>

using Notices = std::vector<DeviceNotices::Notice>;
Q_DECLARE_METATYPE(Notices)

class DeviceNoticesTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void udevEvents_data();
    void udevEvents();
    void virtualPrinterComesAndGoes();

private:
    QTemporaryDir folder_;
};

void DeviceNoticesTest::initTestCase() {
    QVERIFY(folder_.isValid());
    qputenv("TAVOPUS_VIRTUAL", folder_.path().toUtf8());
    tavopus::testing::Reset();
}

void DeviceNoticesTest::cleanupTestCase() {
    TavopUnregistHandle();
    qunsetenv("TAVOPUS_VIRTUAL");
    tavopus::testing::Reset();
}

void DeviceNoticesTest::udevEvents_data() {
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("name");
    QTest::addColumn<Notices>("notices");
    const DeviceNotices::Notice changed{TAVOP_DEVNODES_CHANGED, 0};
    QTest::newRow("printer added") << "add"
                                   << "lp0" << Notices{changed};
    QTest::newRow("printer removed") << "remove"
                                     << "lp0"
                                     << Notices{{TAVOP_DEVICEREMOVECOMPLETE, TAVOP_NODE_WORD(0)}, changed};
    QTest::newRow("last number removed")
        << "remove"
        << "lp126" << Notices{{TAVOP_DEVICEREMOVECOMPLETE, TAVOP_NODE_WORD(126)}, changed};
    QTest::newRow("two-digit number")
        << "remove"
        << "lp12" << Notices{{TAVOP_DEVICEREMOVECOMPLETE, TAVOP_NODE_WORD(12)}, changed};
    QTest::newRow("number past the last") << "add"
                                          << "lp127" << Notices{};
    QTest::newRow("other usbmisc node") << "remove"
                                        << "hiddev0" << Notices{};
    QTest::newRow("no number") << "remove"
                               << "lp" << Notices{};
    QTest::newRow("letters after number") << "remove"
                                          << "lp0x" << Notices{};
    QTest::newRow("sign") << "add"
                          << "lp-1" << Notices{};
    QTest::newRow("change of a printer") << "change"
                                         << "lp0" << Notices{};
    QTest::newRow("bind of a printer") << "bind"
                                       << "lp0" << Notices{};
}

void DeviceNoticesTest::udevEvents() {
    QFETCH(QString, action);
    QFETCH(QString, name);
    QFETCH(Notices, notices);
    QCOMPARE(DeviceNotices::NoticesFor(action.toStdString(), name.toStdString()), notices);
}

void DeviceNoticesTest::virtualPrinterComesAndGoes() {
    DeviceNotices notices;
    QSignalSpy spy(&notices, &DeviceNotices::DeviceChange);
    TavopRegistHandle(1);
    const auto unplugged = folder_.filePath("unplugged").toStdString();

    std::ofstream(unplugged) << "";
    QTRY_COMPARE(spy.count(), 2);
    QCOMPARE(spy.at(0).at(0).toUInt(), TAVOP_DEVICEREMOVECOMPLETE);
    QCOMPARE(spy.at(0).at(1).toUInt(), TAVOP_NODE_WORD(0));
    QCOMPARE(spy.at(1).at(0).toUInt(), TAVOP_DEVNODES_CHANGED);

    std::remove(unplugged.c_str());
    QTRY_COMPARE(spy.count(), 3);
    QCOMPARE(spy.at(2).at(0).toUInt(), TAVOP_DEVNODES_CHANGED);
    QTest::qWait(50);
    QCOMPARE(spy.count(), 3);
}

QTEST_MAIN(DeviceNoticesTest)
#include "DeviceNoticesTest.moc"
