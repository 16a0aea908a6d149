// The C library's pseudo-random generator, reproduced bit for bit so that
// random-case passwords and the about-box animation draw the same numbers on
// every platform. One instance is shared by the whole process.
#pragma once

#include <cstdint>

class CrtRandom {
public:
    void srand(std::uint32_t seed) { m_state = seed; }

    // state = state * 214013 + 2531011 (mod 2^32); returns bits 16 to 30.
    int rand() {
        m_state = m_state * 214013u + 2531011u;
        return static_cast<int>((m_state >> 16) & 0x7FFFu);
    }

    std::uint32_t State() const { return m_state; }

private:
    std::uint32_t m_state = 1;
};

// The process-wide generator shared by the conversion and the about box.
CrtRandom& ProcessRandom();

// A seed from the system's random source, so that nobody who knows when a
// password was made can replay its random capitals.
std::uint32_t UnpredictableSeed();
