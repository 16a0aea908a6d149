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

// The system's random source, as one seam: the program draws from the
// kernel, so that nobody who knows when a password was made can replay its
// random capitals; a test puts in a known sequence.
class RandomSource {
public:
    virtual ~RandomSource() = default;

    // 32 uniformly distributed bits.
    virtual std::uint32_t Next();

    // The one in use: the system's unless a test has put its own in place.
    static RandomSource& Current();
    // nullptr puts the system's back. The caller keeps `replacement` alive.
    static void Replace(RandomSource* replacement);
};
