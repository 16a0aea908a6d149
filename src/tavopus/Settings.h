// What the backends share and the library's tests may change: where the
// kernel's files live, the waits, and the messages told so far.
#pragma once

#include "tavopus/OnceTold.h"

#include <string>

namespace tavopus {

// A reply is waited for this long after the last write on a link. The print
// job pauses 10 ms or more before most reads, so a printer that answers at
// all has answered by then; the window covers the reads that follow a write
// without a pause (the status poll, the acknowledgement loop after ESC G).
// Reads after the window only take what has already arrived, which keeps a
// job against a printer that never answers close to its own pauses.
constexpr int kReplyWindowMs = 50;
// A write that cannot hand over its bytes within this time ends the link.
constexpr int kWriteWaitMs = 2000;

struct Settings {
    std::string sysfsRoot = "/sys";
    std::string devRoot = "/dev";
    int replyWindowMs = kReplyWindowMs;
    int writeWaitMs = kWriteWaitMs;
    OnceTold told;
};

} // namespace tavopus
