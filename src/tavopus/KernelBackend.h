// The kernel's USB printer nodes: device number N is /dev/usb/lpN, and it
// answers only when the IEEE 1284 id beside it in sysfs names our maker, so
// no other printer ever receives our bytes.
#pragma once

#include "tavopus/Backend.h"
#include "tavopus/DeviceId.h"
#include "tavopus/Settings.h"

namespace tavopus {

class KernelBackend : public Backend {
public:
    explicit KernelBackend(Settings& settings)
        : settings_(settings) {}

    std::optional<std::string> Find(std::int32_t number) override;
    std::unique_ptr<Link> Open(std::int32_t number) override;

private:
    std::optional<DeviceId> LabelPrinterAt(std::int32_t number) const;

    Settings& settings_;
};

} // namespace tavopus
