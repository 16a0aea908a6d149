// The open link to the label printer as the print job and the status poll see
// it; the dialog adapts the link library's handle to it.
#pragma once

#include <cstdint>
#include <span>

class PrinterLink {
public:
    virtual ~PrinterLink() = default;

    // Sends `bytes` in one call; the outcome is not reported.
    virtual void Write(std::span<const std::uint8_t> bytes) = 0;

    // Asks for reply.size() bytes. What arrives is stored from the start of
    // `reply`; the caller zeroes it first, so a byte that did not arrive reads 0.
    virtual void Read(std::span<std::uint8_t> reply) = 0;
};
