#include "platform/Clock.h"

#include <thread>

namespace platform {
namespace {

Clock* g_replacement = nullptr;

} // namespace

std::uint32_t Clock::Milliseconds() {
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<std::uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

void Clock::Pause(std::chrono::milliseconds duration) {
    std::this_thread::sleep_for(duration);
}

Clock& Clock::Current() {
    // Never destroyed: a job that outlives static objects still pauses.
    static Clock* const real = new Clock;
    return g_replacement != nullptr ? *g_replacement : *real;
}

void Clock::Replace(Clock* replacement) {
    g_replacement = replacement;
}

} // namespace platform
