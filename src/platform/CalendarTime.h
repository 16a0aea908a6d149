// The calendar time in whole seconds (the C library's time()), with a seam so
// that tests can fix the seed of the random-case conversion.
#pragma once

#include <cstdint>
#include <functional>

namespace platform {

std::int64_t CalendarTime();

// Test seam: an empty function puts the real clock back.
void SetCalendarTimeSource(std::function<std::int64_t()> source);

} // namespace platform
