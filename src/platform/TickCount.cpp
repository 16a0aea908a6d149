#include "platform/TickCount.h"

#include <chrono>
#include <thread>

namespace platform {
namespace {

Ticks* g_replacement = nullptr;

} // namespace

std::uint32_t Ticks::Count() {
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<std::uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

void Ticks::Sleep(std::uint32_t milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

Ticks& Ticks::Current() {
    // Never destroyed: a job that outlives static objects still pauses.
    static Ticks* const real = new Ticks;
    return g_replacement != nullptr ? *g_replacement : *real;
}

void Ticks::Replace(Ticks* replacement) {
    g_replacement = replacement;
}

} // namespace platform
