// The steady millisecond clock and thread pauses, through one replaceable
// clock so that tests can run a clock of their own and skip real waiting.
#pragma once

#include <chrono>
#include <cstdint>

namespace platform {

class Clock {
public:
    virtual ~Clock() = default;

    // Milliseconds of the steady clock since an arbitrary start, wrapping modulo 2^32.
    virtual std::uint32_t Milliseconds();
    // Pauses the calling thread; no events are processed meanwhile.
    virtual void Pause(std::chrono::milliseconds duration);

    // The one in use: the real clock unless a test has put its own in place.
    static Clock& Current();
    // nullptr puts the real clock back. The caller keeps `replacement` alive.
    static void Replace(Clock* replacement);
};

} // namespace platform
