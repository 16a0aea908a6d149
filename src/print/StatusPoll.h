// The once-a-second question "finished yet?" after a label was sent. One
// object serves the whole program: its count of unanswered polls survives a
// new job and is only cleared when polling stops.
#pragma once

#include "print/PrinterLink.h"

#include <cstdint>
#include <string>

// How often the poll asks, in the window and on the command line.
constexpr std::uint32_t kStatusPollPeriodMs = 1000;

enum class PollOutcome {
    KeepPolling,
    StopSilently,         // the printer never said it was done; tell the user nothing
    StopAndReportFinished // stop the timer first, then show FinishedMessage()
};

class StatusPoll {
public:
    // One timer tick: sends ESC B and reads one byte at once (a failed
    // write reads nothing, so it counts as unanswered).
    PollOutcome Tick(PrinterLink& link);

    // "Printing has finished".
    static std::string FinishedMessage();

private:
    // Polls not answered with 06; polling stops at the 21st.
    std::uint32_t count_ = 0;
};
