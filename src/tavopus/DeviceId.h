// The IEEE 1284 device id a printer reports ("MFG:ORBEK;MDL:...;CMD:...;"):
// which maker and model it names.
#pragma once

#include <string>
#include <string_view>

namespace tavopus {

struct DeviceId {
    std::string maker;
    std::string model;
};

// Reads the maker (MFG or MANUFACTURER) and model (MDL or MODEL); keys are
// matched without regard to case, spaces around keys and values are dropped.
DeviceId ParseDeviceId(std::string_view id);

// True when the id names the label printer's maker.
bool IsLabelPrinter(const DeviceId& id);

// "maker model", or whichever of the two is present.
std::string DeviceName(const DeviceId& id);

} // namespace tavopus
