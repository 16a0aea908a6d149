#include "platform/CalendarTime.h"

#include <ctime>

namespace platform {
namespace {

CalendarClock* g_replacement = nullptr;

} // namespace

std::int64_t CalendarClock::Now() {
    return static_cast<std::int64_t>(std::time(nullptr));
}

CalendarClock& CalendarClock::Current() {
    static CalendarClock* const real = new CalendarClock;
    return g_replacement != nullptr ? *g_replacement : *real;
}

void CalendarClock::Replace(CalendarClock* replacement) {
    g_replacement = replacement;
}

} // namespace platform
