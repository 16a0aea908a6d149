#include "print/StatusPoll.h"

#include <array>

namespace {
constexpr std::array<std::uint8_t, 2> kEscB{0x1B, 0x42};
constexpr std::uint32_t kMostUnanswered = 20;
} // namespace

PollOutcome StatusPoll::Tick(PrinterLink& link) {
    link.Write(kEscB);
    std::array<std::uint8_t, 1> reply{};
    link.Read(reply);
    if (reply[0] == 0x06) {
        count_ = 0;
        return PollOutcome::StopAndReportFinished;
    }
    if (count_ >= kMostUnanswered) {
        count_ = 0;
        return PollOutcome::StopSilently;
    }
    ++count_;
    return PollOutcome::KeepPolling;
}

std::string StatusPoll::FinishedMessage() {
    return std::string("プリント終了しました。");
}
