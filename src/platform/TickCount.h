// The millisecond tick count and thread pauses, with seams so that tests can
// run a clock of their own and skip real waiting.
#pragma once

#include <cstdint>
#include <functional>

namespace platform {

// Milliseconds since an arbitrary start, wrapping modulo 2^32.
std::uint32_t GetTickCount();

// Pauses the calling thread; no events are processed meanwhile.
void Sleep(std::uint32_t milliseconds);

// Test seams: an empty function puts the real clock or pause back.
void SetTickCountSource(std::function<std::uint32_t()> source);
void SetSleepFunction(std::function<void(std::uint32_t)> sleep);

} // namespace platform
