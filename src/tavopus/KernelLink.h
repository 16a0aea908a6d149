// A link to a kernel USB printer node, opened without blocking: writes and
// reads wait on poll() within the library's bounds.
#pragma once

#include "tavopus/Link.h"

#include <sys/types.h>

#include <string>

namespace tavopus {

class KernelLink : public Link {
public:
    KernelLink(std::int32_t number, int fd);
    ~KernelLink() override;

    static std::string ClassDir(std::int32_t number) {
        return Environment::Current().SysfsRoot() + "/class/usbmisc/lp" + std::to_string(number);
    }
    static std::string NodePath(std::int32_t number) {
        return Environment::Current().DevRoot() + "/usb/lp" + std::to_string(number);
    }

protected:
    bool Send(std::span<const std::uint8_t> bytes) override;
    std::size_t Receive(std::span<std::uint8_t> buffer, Clock::time_point until) override;
    bool DeviceGone() override;
    void Release() override;

private:
    int fd_;
    ino_t sysfsNode_ = 0; // which plug-in of the device the link was made to
};

} // namespace tavopus
