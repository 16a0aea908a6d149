// What the library's parts share: where the kernel's files live and how long
// it waits, which its tests replace, and the messages told so far.
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

// The real roots and waits unless a test has put its own in place.
class Environment {
public:
    virtual ~Environment() = default;
    virtual std::string SysfsRoot() const { return "/sys"; }
    virtual std::string DevRoot() const { return "/dev"; }
    virtual int ReplyWindowMs() const { return kReplyWindowMs; }
    virtual int WriteWaitMs() const { return kWriteWaitMs; }

    static const Environment& Current();
    // nullptr puts the real one back. The caller keeps `replacement` alive.
    static void Replace(const Environment* replacement);
};

struct Settings {
    OnceTold told;
};

} // namespace tavopus
