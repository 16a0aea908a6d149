#include "print/StatusPoll.h"

#include "tavopus/LabelProtocol.h"

#include <array>

namespace {
using namespace tavopus::protocol;
constexpr std::array<std::uint8_t, 2> kEscB{kEsc, kStatus};
constexpr std::uint32_t kMostUnanswered = 20;
} // namespace

PollOutcome StatusPoll::Tick(PrinterLink& link) {
    link.Write(kEscB);
    std::array<std::uint8_t, 1> reply{};
    link.Read(reply);
    if (reply[0] == kAck) {
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
