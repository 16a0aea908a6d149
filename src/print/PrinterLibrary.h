// The printer link library's calls, the only way the program reaches the label
// printer. Each call is virtual so that a test can put in its own, answer it
// or record it and pass it on; by default every call goes to the library.
#pragma once

#include "tavopus/LabelProtocol.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

class PrinterLibrary {
public:
    // The library only needs a non-zero number for the receiver of its
    // notices; they reach the program through DeviceNotices, whatever the number.
    static constexpr std::uint32_t kNoticeReceiver = 1;

    virtual ~PrinterLibrary() = default;

    virtual std::uint32_t RegistHandle(std::uint32_t receiver);
    virtual std::uint32_t UnregistHandle();
    // `name` holds tavopus::kDeviceNameBytes.
    virtual std::uint32_t CheckActiveDevice(std::int32_t number, char* name);
    virtual std::uint32_t StartDevice(std::uint32_t* handle, std::int32_t number);
    virtual std::uint32_t EndDevice(std::uint32_t handle);
    virtual std::uint32_t CheckMyDevice(std::uint32_t handle, std::int32_t number);
    virtual std::uint32_t UsbWrite(std::uint32_t handle, const void* bytes, std::uint32_t count);
    virtual std::uint32_t UsbRead(std::uint32_t handle, void* buffer, std::uint32_t* count);

    // The one in use: the library itself unless a test has put its own in place.
    static PrinterLibrary& Current();
    // nullptr puts the library back. The caller keeps `replacement` alive.
    static void Replace(PrinterLibrary* replacement);
};

// A printer that answers: its device number and the name the library gives
// it (code page 932, from the device, so it may say anything).
struct ActivePrinter {
    std::int32_t number;
    std::string name;
};

// The name of the printer answering at `number`, if one does.
std::optional<std::string> ActivePrinterAt(std::int32_t number);
// The lowest-numbered printer from `from` on that answers: the window and the
// command line both take the first.
std::optional<ActivePrinter> FirstActivePrinter(std::int32_t from = 0);
