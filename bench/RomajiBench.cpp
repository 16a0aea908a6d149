// Keys per second through the romaji composer (the rules are walked on every
// key), and one input method's commit put in katakana mode.
#include "kana/KatakanaMode.h"
#include "kana/RomajiToKatakana.h"

#include <benchmark/benchmark.h>

#include <string_view>

namespace {

// A phrase that fills the katakana field's 70 bytes, with a typo, digits and signs.
constexpr std::string_view kKeys = "sakura sakura yayoinosoraha miwatasukagiri windou kasumigata1!";

void BM_RomajiToKatakana(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(RomajiToKatakana(kKeys));
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(kKeys.size()));
    state.SetLabel("items = keys");
}
BENCHMARK(BM_RomajiToKatakana);

void BM_KatakanaModeCommit(benchmark::State& state) {
    const std::u32string commit = U"さくら　ｻｸﾗ　やよいのそらは　ﾐﾜﾀｽｶｷﾞﾘ";
    for (auto _ : state) {
        benchmark::DoNotOptimize(KatakanaModeText(commit));
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(commit.size()));
    state.SetLabel("items = characters");
}
BENCHMARK(BM_KatakanaModeCommit);

} // namespace

BENCHMARK_MAIN();
