// The strength estimate that runs on every conversion: one password of the
// longest a phrase gives (35 characters), of 70 characters, and a short one.
#include "strength/PasswordStrength.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

// Random-looking, so the estimator finds no cheap pattern and does its full work.
const std::string kRandom70 = "gT7!rW2#kP9@vN4$zQ6&Kx9#mQ2vT4&zP7w!nY3%bR8q7$Kd9!xPz2@Lm4#Rv8^Tb6&aZ3";

void BM_EstimateRandom(benchmark::State& state) {
    const std::string password = kRandom70.substr(0, static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        benchmark::DoNotOptimize(strength::EstimatePassword(password));
    }
}
BENCHMARK(BM_EstimateRandom)->Arg(3)->Arg(35)->Arg(70)->ArgName("chars")->Unit(benchmark::kMicrosecond);

// A phrase repeated: what a user who repeats a word gets, and the estimator's repeat search.
void BM_EstimateRepeated(benchmark::State& state) {
    std::string password;
    while (password.size() < 70) {
        password += "39r";
    }
    password.resize(70);
    for (auto _ : state) {
        benchmark::DoNotOptimize(strength::EstimatePassword(password));
    }
}
BENCHMARK(BM_EstimateRepeated)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
