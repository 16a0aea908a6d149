// The calendar time in whole seconds (the C library's time()), through a
// replaceable clock so that tests can fix the seed of the random-case conversion.
#pragma once

#include <cstdint>

namespace platform {

class CalendarClock {
public:
    virtual ~CalendarClock() = default;

    virtual std::int64_t Now();

    // The one in use: the real clock unless a test has put its own in place.
    static CalendarClock& Current();
    // nullptr puts the real clock back. The caller keeps `replacement` alive.
    static void Replace(CalendarClock* replacement);
};

inline std::int64_t CalendarTime() {
    return CalendarClock::Current().Now();
}

} // namespace platform
