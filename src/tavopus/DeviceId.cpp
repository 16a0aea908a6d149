#include "tavopus/DeviceId.h"

#include <algorithm>
#include <cctype>

namespace tavopus {
namespace {

std::string_view Trim(std::string_view s) {
    auto space = [](char c) {
        return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\0';
    };
    while (!s.empty() && space(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && space(s.back()))
        s.remove_suffix(1);
    return s;
}

bool SameText(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::toupper(static_cast<unsigned char>(x)) == std::toupper(static_cast<unsigned char>(y));
    });
}

} // namespace

DeviceId ParseDeviceId(std::string_view id) {
    DeviceId result;
    while (!id.empty()) {
        const auto end = id.find(';');
        const auto field = id.substr(0, end);
        id = end == std::string_view::npos ? std::string_view{} : id.substr(end + 1);
        const auto colon = field.find(':');
        if (colon == std::string_view::npos)
            continue;
        const auto key = Trim(field.substr(0, colon));
        const auto value = std::string(Trim(field.substr(colon + 1)));
        if ((SameText(key, "MFG") || SameText(key, "MANUFACTURER")) && result.maker.empty())
            result.maker = value;
        else if ((SameText(key, "MDL") || SameText(key, "MODEL")) && result.model.empty())
            result.model = value;
    }
    return result;
}

bool IsLabelPrinter(const DeviceId& id) {
    return SameText(id.maker, "ORBEK");
}

std::string DeviceName(const DeviceId& id) {
    if (id.model.empty())
        return id.maker;
    if (id.maker.empty())
        return id.model;
    return id.maker + " " + id.model;
}

} // namespace tavopus
