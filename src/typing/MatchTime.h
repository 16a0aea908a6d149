// Timing of a typing attempt that matched the password.
#pragma once

#include <cstdint>

// Time between two tick counts; modulo 2^32, so a wrapped counter still gives
// the right difference.
constexpr std::uint32_t ElapsedTime(std::uint32_t now, std::uint32_t start) {
    return now - start;
}

// Records a matching attempt against the best time for the current password
// (0 = none yet). Returns true when the match is shown in blue: it equals or
// beats an earlier best. The first match is never blue.
bool RecordMatchTime(std::uint32_t& bestTime, std::uint32_t measured);
