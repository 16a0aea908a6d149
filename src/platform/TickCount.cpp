#include "platform/TickCount.h"

#include <chrono>
#include <thread>

namespace platform {

namespace {

std::function<std::uint32_t()>& TickSource() {
    static std::function<std::uint32_t()> source;
    return source;
}

std::function<void(std::uint32_t)>& SleepFunction() {
    static std::function<void(std::uint32_t)> sleep;
    return sleep;
}

} // namespace

std::uint32_t GetTickCount() {
    if (TickSource()) {
        return TickSource()();
    }
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<std::uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

void Sleep(std::uint32_t milliseconds) {
    if (SleepFunction()) {
        SleepFunction()(milliseconds);
        return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

void SetTickCountSource(std::function<std::uint32_t()> source) {
    TickSource() = std::move(source);
}

void SetSleepFunction(std::function<void(std::uint32_t)> sleep) {
    SleepFunction() = std::move(sleep);
}

} // namespace platform
