#include "cli/WatchedLink.h"

namespace cli {
namespace {

bool Starts(std::span<const std::uint8_t> bytes, std::initializer_list<std::uint8_t> start) {
    return bytes.size() >= start.size() && std::equal(start.begin(), start.end(), bytes.begin());
}

} // namespace

void WatchedLink::Write(std::span<const std::uint8_t> bytes) {
    // Each strip's frame starts 02, flag, 00 04 (1024 bytes follow); the set-up frame has length 12.
    if (Starts(bytes, {0x1B, 0x49})) {
        m_stage("greeting the printer");
    } else if (Starts(bytes, {0x1B, 0x50})) {
        m_stage("setting up the label");
    } else if (bytes.size() >= 4 && bytes[0] == 0x02 && bytes[2] == 0x00 && bytes[3] == 0x04) {
        ++m_stripsSent;
        m_awaitingStrip = true;
        m_stage("sending strip " + std::to_string(m_stripsSent) + " of 3");
    } else if (Starts(bytes, {0x1B, 0x4E})) {
        m_stage("ending the job");
    }
    m_link.Write(bytes);
}

void WatchedLink::Read(std::span<std::uint8_t> reply) {
    m_link.Read(reply);
    if (m_awaitingStrip && reply.size() == 1 && reply[0] == 0x06) {
        m_awaitingStrip = false;
        ++m_acknowledged;
    }
}

} // namespace cli
