// The IEEE 1284 device id a printer reports ("MFG:ORBEK;MDL:...;CMD:...;"):
// which maker and model it names.
//
// The id is compared byte for byte, as the udev rule in
// res/70-q8xj-label-printer.rules compares it, so that every printer the
// library answers for can be opened by the user and no other printer gets
// that access: a field is the text between semicolons, its key the text
// before its first colon; keys and values are case-sensitive and spaces
// count; only trailing white space at the end of the whole id (the newline
// the kernel adds) and anything from a NUL on are ignored.
#pragma once

#include <string>
#include <string_view>

namespace tavopus {

// Longest id accepted, in bytes as read; the kernel's own buffer is as large.
constexpr std::size_t kMaxDeviceIdBytes = 1024;

struct DeviceId {
    std::string maker; // value of the first MFG or MANUFACTURER field
    std::string model; // value of the first MDL or MODEL field
    int makerFields = 0;
};

DeviceId ParseDeviceId(std::string_view id);

// True when the id has exactly one maker field and it is ORBEK: an id that
// names a maker twice ("MFG:;MFG:ORBEK;") is not trusted.
bool IsLabelPrinter(const DeviceId& id);

// "maker model", or whichever of the two is present.
std::string DeviceName(const DeviceId& id);

} // namespace tavopus
