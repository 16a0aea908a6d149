// Device-change notices for the main dialog: label printer nodes coming and
// going, from the system's device manager (udev) and from the printer link
// library's own virtual printer, delivered on the GUI thread as an event
// and a data word.
#pragma once

#include <QObject>

#include <cstdint>
#include <string_view>
#include <utility>
#include <vector>

class QSocketNotifier;
struct udev;
struct udev_monitor;

class DeviceNotices : public QObject {
    Q_OBJECT
public:
    using Notice = std::pair<std::uint32_t, std::uint32_t>; // event, data word

    explicit DeviceNotices(QObject* parent = nullptr);
    ~DeviceNotices() override;

    // The notices a udev event gives: a printer node added gives
    // DBT_DEVNODES_CHANGED; removed, DBT_DEVICEREMOVECOMPLETE with the node's
    // word and then DBT_DEVNODES_CHANGED. Other nodes and actions give none.
    static std::vector<Notice> NoticesFor(std::string_view action, std::string_view kernelName);

signals:
    void DeviceChange(quint32 event, quint32 word);

private:
    void OpenMonitor();
    void ReadSystemDevices();
    void ReadLibraryNotices();

    udev* udev_ = nullptr;
    udev_monitor* monitor_ = nullptr;
    QSocketNotifier* systemNotifier_ = nullptr;
    QSocketNotifier* libraryNotifier_ = nullptr;
};
