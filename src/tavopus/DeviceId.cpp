#include "tavopus/DeviceId.h"

namespace tavopus {

DeviceId ParseDeviceId(std::string_view id) {
    id = id.substr(0, id.find('\0'));
    while (!id.empty() && (id.back() == '\n' || id.back() == '\r' || id.back() == ' ' || id.back() == '\t'))
        id.remove_suffix(1);
    DeviceId result;
    while (!id.empty()) {
        const auto end = id.find(';');
        const auto field = id.substr(0, end);
        id = end == std::string_view::npos ? std::string_view{} : id.substr(end + 1);
        const auto colon = field.find(':');
        if (colon == std::string_view::npos)
            continue;
        const auto key = field.substr(0, colon);
        const auto value = field.substr(colon + 1);
        if (key == "MFG" || key == "MANUFACTURER") {
            if (result.makerFields++ == 0)
                result.maker = value;
        } else if ((key == "MDL" || key == "MODEL") && result.model.empty()) {
            result.model = value;
        }
    }
    return result;
}

bool IsLabelPrinter(const DeviceId& id) {
    return id.makerFields == 1 && id.maker == "ORBEK";
}

std::string DeviceName(const DeviceId& id) {
    if (id.model.empty())
        return id.maker;
    if (id.maker.empty())
        return id.model;
    return id.maker + " " + id.model;
}

} // namespace tavopus
