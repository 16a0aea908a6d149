// A printer link that passes every call on and follows the label job through
// them: it tells each stage as it begins and counts the strips the printer
// acknowledged, which the job itself does not report.
#pragma once

#include "print/PrinterLink.h"

#include <functional>
#include <string>

namespace cli {

class WatchedLink : public PrinterLink {
public:
    WatchedLink(PrinterLink& link, std::function<void(const std::string&)> stage)
        : m_link(link)
        , m_stage(std::move(stage)) {}

    void Write(std::span<const std::uint8_t> bytes) override;
    void Read(std::span<std::uint8_t> reply) override;

    // Strips after which the printer answered 06.
    int AcknowledgedStrips() const { return m_acknowledged; }

private:
    PrinterLink& m_link;
    std::function<void(const std::string&)> m_stage;
    int m_stripsSent = 0;
    int m_acknowledged = 0;
    bool m_awaitingStrip = false;
};

} // namespace cli
