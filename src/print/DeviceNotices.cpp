#include "print/DeviceNotices.h"

#include "print/PrinterLibrary.h"

#include <QSocketNotifier>

#include <libudev.h>
#include <unistd.h>

#include <charconv>

DeviceNotices::DeviceNotices(QObject* parent)
    : QObject(parent) {
    OpenMonitor();
    if (const int fd = TavopNoticeDescriptor(); fd >= 0) {
        libraryNotifier_ = new QSocketNotifier(fd, QSocketNotifier::Read, this);
        connect(libraryNotifier_, &QSocketNotifier::activated, this, &DeviceNotices::ReadLibraryNotices);
    }
}

DeviceNotices::~DeviceNotices() {
    delete systemNotifier_;
    if (monitor_ != nullptr)
        udev_monitor_unref(monitor_);
    if (udev_ != nullptr)
        udev_unref(udev_);
}

void DeviceNotices::OpenMonitor() {
    udev_ = udev_new();
    if (udev_ == nullptr)
        return;
    // Without a udev daemon the kernel's own events are all there is; with
    // one, its events come after the node's permissions are set.
    const char* source = ::access("/run/udev/control", F_OK) == 0 ? "udev" : "kernel";
    monitor_ = udev_monitor_new_from_netlink(udev_, source);
    if (monitor_ == nullptr)
        return;
    if (udev_monitor_filter_add_match_subsystem_devtype(monitor_, "usbmisc", nullptr) < 0 ||
        udev_monitor_enable_receiving(monitor_) < 0) {
        udev_monitor_unref(monitor_);
        monitor_ = nullptr;
        return;
    }
    systemNotifier_ = new QSocketNotifier(udev_monitor_get_fd(monitor_), QSocketNotifier::Read, this);
    connect(systemNotifier_, &QSocketNotifier::activated, this, &DeviceNotices::ReadSystemDevices);
}

std::vector<TavopNotice> DeviceNotices::NoticesFor(std::string_view action, std::string_view kernelName) {
    if (!kernelName.starts_with("lp") || kernelName.size() < 3)
        return {};
    std::int32_t number = 0;
    const auto digits = kernelName.substr(2);
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
    if (error != std::errc{} || end != digits.data() + digits.size() || number < 0 ||
        number > tavopus::kLastDeviceNumber)
        return {};
    if (action == "add")
        return {{TAVOP_DEVICES_CHANGED, 0}};
    if (action == "remove")
        return {{TAVOP_DEVICE_REMOVED, number}, {TAVOP_DEVICES_CHANGED, 0}};
    return {};
}

void DeviceNotices::ReadSystemDevices() {
    // The monitor's socket is non-blocking: take every waiting event.
    while (udev_device* device = udev_monitor_receive_device(monitor_)) {
        const char* action = udev_device_get_action(device);
        const char* name = udev_device_get_sysname(device);
        const auto notices = NoticesFor(action ? action : "", name ? name : "");
        udev_device_unref(device);
        for (const TavopNotice& notice : notices)
            emit DeviceChange(notice);
    }
}

void DeviceNotices::ReadLibraryNotices() {
    TavopNotice notice{};
    while (TavopTakeNotice(&notice) == 0)
        emit DeviceChange(notice);
}
