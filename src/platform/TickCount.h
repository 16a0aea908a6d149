// The millisecond tick count and thread pauses, through one replaceable clock
// so that tests can run a clock of their own and skip real waiting.
#pragma once

#include <cstdint>

namespace platform {

class Ticks {
public:
    virtual ~Ticks() = default;

    // Milliseconds since an arbitrary start, wrapping modulo 2^32.
    virtual std::uint32_t Count();
    // Pauses the calling thread; no events are processed meanwhile.
    virtual void Sleep(std::uint32_t milliseconds);

    // The one in use: the real clock unless a test has put its own in place.
    static Ticks& Current();
    // nullptr puts the real clock back. The caller keeps `replacement` alive.
    static void Replace(Ticks* replacement);
};

inline std::uint32_t GetTickCount() {
    return Ticks::Current().Count();
}

inline void Sleep(std::uint32_t milliseconds) {
    Ticks::Current().Sleep(milliseconds);
}

} // namespace platform
