// The printer link library's calls as the program makes them: through a table
// that points at the library, so that tests can answer and record the calls
// while still letting the library do the work.
#pragma once

#include <cstdint>

struct PrinterLibraryCalls {
    std::uint32_t (*registHandle)(std::uint32_t window);
    std::uint32_t (*unregistHandle)();
    std::uint32_t (*checkActiveDevice)(std::int32_t number, char* name);
    std::uint32_t (*startDevice)(std::uint32_t* handle, std::int32_t number);
    std::uint32_t (*endDevice)(std::uint32_t handle);
    std::uint32_t (*checkMyDevice)(std::uint32_t handle, std::uint32_t word);
    std::uint32_t (*usbWrite)(std::uint32_t handle, const void* bytes, std::uint32_t count);
    std::uint32_t (*usbRead)(std::uint32_t handle, void* buffer, std::uint32_t* count);
};

// The library's own entry points.
const PrinterLibraryCalls& LinkLibraryCalls();

// The calls in use: the library's own unless a test has put others in place.
const PrinterLibraryCalls& PrinterLibrary();

// Puts `calls` in place; nullptr goes back to the library's own. The table
// must outlive its use.
void SetPrinterLibrary(const PrinterLibraryCalls* calls);
