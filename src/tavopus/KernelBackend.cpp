#include "tavopus/KernelBackend.h"

#include "tavopus/KernelLink.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>

namespace tavopus {
namespace {

// The id file, at most kMaxDeviceIdBytes; a longer one is no printer's id.
std::optional<std::string> ReadDeviceId(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return std::nullopt;
    std::array<char, kMaxDeviceIdBytes + 1> buffer;
    std::size_t length = 0;
    while (length < buffer.size()) {
        const auto n = ::read(fd, buffer.data() + length, buffer.size() - length);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        length += static_cast<std::size_t>(n);
    }
    ::close(fd);
    if (length == 0 || length > kMaxDeviceIdBytes)
        return std::nullopt;
    return std::string(buffer.data(), length);
}

} // namespace

std::optional<DeviceId> KernelBackend::LabelPrinterAt(std::int32_t number) const {
    // The id is read from sysfs, so no printer but ours is ever opened.
    const auto text = ReadDeviceId(KernelLink::ClassDir(settings_, number) + "/device/ieee1284_id");
    if (!text)
        return std::nullopt;
    const auto id = ParseDeviceId(*text);
    struct stat node {};
    if (!IsLabelPrinter(id) || ::stat(KernelLink::NodePath(settings_, number).c_str(), &node) != 0)
        return std::nullopt;
    return id;
}

std::optional<std::string> KernelBackend::Find(std::int32_t number) {
    const auto id = LabelPrinterAt(number);
    if (!id)
        return std::nullopt;
    return DeviceName(*id);
}

std::unique_ptr<Link> KernelBackend::Open(std::int32_t number) {
    if (!LabelPrinterAt(number))
        return nullptr;
    const auto path = KernelLink::NodePath(settings_, number);
    const int fd = settings_.calls.open(path.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
    if (fd >= 0)
        return std::make_unique<KernelLink>(number, settings_, fd);
    const int error = errno;
    if (error == EACCES || error == EPERM)
        settings_.told.Tell("access " + path, "The label printer at " + path +
                                                  " may not be opened by this user. Install the udev rule "
                                                  "70-q8xj-label-printer.rules (see README) and plug the "
                                                  "printer in again, or ask the administrator for access.");
    else if (error == EBUSY)
        settings_.told.Tell("busy " + path,
                            "The label printer at " + path +
                                " is in use by another program, perhaps a print spooler. Stop that "
                                "program or its queue for this printer, then plug the printer in again.");
    return nullptr;
}

} // namespace tavopus
