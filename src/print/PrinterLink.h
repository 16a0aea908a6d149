// The open link to the label printer: owns the library's link handle, so that
// the link is ended exactly once, and is what the print job and the status
// poll talk through.
#pragma once

#include "print/PrinterLibrary.h"

#include <cstdint>
#include <span>

class PrinterLink {
public:
    PrinterLink() = default;
    ~PrinterLink() { Close(); }
    PrinterLink(const PrinterLink&) = delete;
    PrinterLink& operator=(const PrinterLink&) = delete;

    // Opens a link to the printer at `number`; false, and no link, when the
    // library refuses. Opening while open ends the old link first.
    bool Open(std::int32_t number);
    // Ends the link; nothing happens without one.
    void Close();
    bool IsOpen() const { return m_handle != 0; }

    // Asks the library whether the device numbered in a removal notice is the
    // linked printer. Asked even without a link: the library answers "no" to handle 0.
    bool IsRemovedDevice(std::int32_t number);

    // Sends `bytes` in one call; false when they did not all go in time. The
    // library has then ended the link, so it is no longer open.
    bool Write(std::span<const std::uint8_t> bytes);
    // Asks for reply.size() bytes. What arrives is stored from the start of
    // `reply`; the caller zeroes it first, so a byte that did not arrive reads 0.
    void Read(std::span<std::uint8_t> reply);

private:
    std::uint32_t m_handle = 0; // 0: no link
};
