#include "print/PrinterLink.h"

bool PrinterLink::Open(std::int32_t number) {
    Close();
    std::uint32_t handle = 0;
    if (PrinterLibrary::Current().StartDevice(&handle, number) != 0) {
        return false;
    }
    m_handle = handle;
    return m_handle != 0;
}

void PrinterLink::Close() {
    if (m_handle != 0) {
        PrinterLibrary::Current().EndDevice(m_handle);
        m_handle = 0;
    }
}

bool PrinterLink::IsRemovedDevice(std::int32_t number) {
    return PrinterLibrary::Current().CheckMyDevice(m_handle, number) == 0;
}

bool PrinterLink::Write(std::span<const std::uint8_t> bytes) {
    if (PrinterLibrary::Current().UsbWrite(m_handle, bytes.data(),
                                           static_cast<std::uint32_t>(bytes.size())) != 0) {
        // The library has ended the link itself; its handle is no longer ours to end.
        m_handle = 0;
        return false;
    }
    return true;
}

// The count the library writes back is not read: what did not arrive stays
// as the caller cleared it. Without a link the library refuses handle 0.
void PrinterLink::Read(std::span<std::uint8_t> reply) {
    auto count = static_cast<std::uint32_t>(reply.size());
    PrinterLibrary::Current().UsbRead(m_handle, reply.data(), &count);
}
