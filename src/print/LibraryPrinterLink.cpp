#include "print/LibraryPrinterLink.h"

// The library's results are not looked at: a write that did not go shows as a
// printer that does not answer.
void LibraryPrinterLink::Write(std::span<const std::uint8_t> bytes) {
    m_calls.usbWrite(m_handle, bytes.data(), static_cast<std::uint32_t>(bytes.size()));
}

// The count the library writes back is not read: what did not arrive stays
// as the caller cleared it.
void LibraryPrinterLink::Read(std::span<std::uint8_t> reply) {
    auto count = static_cast<std::uint32_t>(reply.size());
    m_calls.usbRead(m_handle, reply.data(), &count);
}
