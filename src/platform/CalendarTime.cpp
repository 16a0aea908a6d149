#include "platform/CalendarTime.h"

#include <ctime>

namespace platform {

namespace {

std::function<std::int64_t()>& Source() {
    static std::function<std::int64_t()> source;
    return source;
}

} // namespace

std::int64_t CalendarTime() {
    if (Source()) {
        return Source()();
    }
    return static_cast<std::int64_t>(std::time(nullptr));
}

void SetCalendarTimeSource(std::function<std::int64_t()> source) {
    Source() = std::move(source);
}

} // namespace platform
