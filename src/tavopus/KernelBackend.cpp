#include "tavopus/KernelBackend.h"

#include "tavopus/KernelLink.h"
#include "files/System.h"

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
        const auto n =
            files::Uninterrupted([&] { return ::read(fd, buffer.data() + length, buffer.size() - length); });
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
    const auto text = ReadDeviceId(KernelLink::ClassDir(number) + "/device/ieee1284_id");
    if (!text)
        return std::nullopt;
    const auto id = ParseDeviceId(*text);
    struct stat node {};
    if (!IsLabelPrinter(id) || ::stat(KernelLink::NodePath(number).c_str(), &node) != 0)
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
    const auto path = KernelLink::NodePath(number);
    const int fd = files::System::Current().Open(path.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC, 0);
    if (fd >= 0)
        return std::make_unique<KernelLink>(number, fd);
    const int error = errno;
    if (error == EACCES || error == EPERM)
        settings_.told.Tell("access " + path,
                            "ラベルプリンター " + path +
                                " をこのユーザーは開けません。udev ルール "
                                "70-q8xj-label-printer.rules を入れて（README を参照）"
                                "プリンターを挿し直すか、管理者にアクセス権を求めてください。");
    else if (error == EBUSY)
        settings_.told.Tell("busy " + path,
                            "ラベルプリンター " + path +
                                " は別のプログラム（印刷スプーラーなど）が使っています。そのプログラムか"
                                "このプリンターの印刷キューを止めてから、プリンターを挿し直してください。");
    return nullptr;
}

} // namespace tavopus
