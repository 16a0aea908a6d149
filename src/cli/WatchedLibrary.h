// The printer link library with every call passed on, following the label job
// through its writes and reads: it tells each stage as it begins and counts
// the strips the printer acknowledged, which the job itself does not report.
#pragma once

#include "print/PrinterLibrary.h"

#include <functional>
#include <string>

namespace cli {

class WatchedLibrary : public PrinterLibrary {
public:
    explicit WatchedLibrary(std::function<void(const std::string&)> stage)
        : m_stage(std::move(stage)) {}

    std::uint32_t UsbWrite(std::uint32_t handle, const void* bytes, std::uint32_t count) override;
    std::uint32_t UsbRead(std::uint32_t handle, void* buffer, std::uint32_t* count) override;

    // Strips after which the printer answered 06.
    int AcknowledgedStrips() const { return m_acknowledged; }

private:
    std::function<void(const std::string&)> m_stage;
    int m_stripsSent = 0;
    int m_acknowledged = 0;
    bool m_awaitingStrip = false;
};

} // namespace cli
