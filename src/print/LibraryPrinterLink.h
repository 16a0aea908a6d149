// The printer link over the link library's write and read calls and an open
// link handle: what the print job and the status poll talk through.
#pragma once

#include "print/PrinterLibrary.h"
#include "print/PrinterLink.h"

#include <cstdint>

class LibraryPrinterLink : public PrinterLink {
public:
    // Only the table's usbWrite and usbRead are used. The handle is passed as
    // it is, 0 included: the library refuses a handle it does not know.
    LibraryPrinterLink(const PrinterLibraryCalls& calls, std::uint32_t handle)
        : m_calls(calls)
        , m_handle(handle) {}

    void Write(std::span<const std::uint8_t> bytes) override;
    void Read(std::span<std::uint8_t> reply) override;

private:
    const PrinterLibraryCalls& m_calls;
    std::uint32_t m_handle;
};
