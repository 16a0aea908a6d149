// Device-change notices for the main dialog: label printer nodes coming and
// going, from the system's device manager (udev) and from the printer link
// library's own virtual printer, delivered on the GUI thread as a notice
// kind and the device it concerns.
#pragma once

#include "tavopus/tavopus.h"

#include <QObject>

#include <cstdint>
#include <string_view>
#include <vector>

class QSocketNotifier;
struct udev;
struct udev_monitor;

class DeviceNotices : public QObject {
    Q_OBJECT
public:
    explicit DeviceNotices(QObject* parent = nullptr);
    ~DeviceNotices() override;

    // The notices a udev event gives: a printer node added gives a change;
    // removed, the removal of its device and then a change. Other nodes and
    // actions give none.
    static std::vector<TavopNotice> NoticesFor(std::string_view action, std::string_view kernelName);

signals:
    void DeviceChange(TavopNotice notice);

private:
    void OpenMonitor();
    void ReadSystemDevices();
    void ReadLibraryNotices();

    udev* udev_ = nullptr;
    udev_monitor* monitor_ = nullptr;
    QSocketNotifier* systemNotifier_ = nullptr;
    QSocketNotifier* libraryNotifier_ = nullptr;
};
