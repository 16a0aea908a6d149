#include "platform/CrtRandom.h"

#include <cerrno>
#include <random>
#include <sys/random.h>

CrtRandom& ProcessRandom() {
    static CrtRandom generator;
    return generator;
}

namespace {

RandomSource* g_replacement = nullptr;

} // namespace

RandomSource& RandomSource::Current() {
    static RandomSource* const system = new RandomSource;
    return g_replacement != nullptr ? *g_replacement : *system;
}

void RandomSource::Replace(RandomSource* replacement) {
    g_replacement = replacement;
}

std::uint32_t RandomSource::Next() {
    std::uint32_t seed = 0;
    for (;;) {
        const ssize_t n = ::getrandom(&seed, sizeof seed, 0);
        if (n == static_cast<ssize_t>(sizeof seed)) {
            return seed;
        }
        if (n < 0 && errno != EINTR) {
            // A kernel without the call: the library's own source of the system's randomness.
            return std::random_device()();
        }
    }
}
