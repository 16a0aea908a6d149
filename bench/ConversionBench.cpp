// Conversions per second of a 70-byte phrase with the default table, and the
// time of one save plus load of the table file.
#include "convert/Conversion.h"
#include "platform/Cp932.h"
#include "table/DefaultTable.h"
#include "table/TableFile.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <unistd.h>

namespace {

// 35 full-width characters: 70 bytes, the katakana field's limit.
const std::string kPhrase =
    std::string("サクラ　サクラ　ヤヨイノソラハ　ミワタスカギリ　ウィンドウ　カスミガタ");

void BM_ConvertPhrase(benchmark::State& state) {
    ConversionTable table;
    FillDefaultTable(table);
    CrtRandom random;
    const ConversionOptions options{true, true, state.range(0) != 0};
    for (auto _ : state) {
        benchmark::DoNotOptimize(ConvertKatakana(kPhrase, table, options, random));
    }
    state.counters["phrase_bytes"] = static_cast<double>(kPhrase.size());
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ConvertPhrase)->Arg(0)->Arg(1)->ArgName("random");

void BM_SaveAndLoadDefaults(benchmark::State& state) {
    ConversionTable table;
    FillDefaultTable(table);
    const auto dir = std::filesystem::temp_directory_path() / ("q8xj-bench-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const auto file = dir / kTableFileName;
    for (auto _ : state) {
        if (SaveConversionTable(table, file)) {
            state.SkipWithError("save failed");
            break;
        }
        ConversionTable loaded;
        benchmark::DoNotOptimize(LoadConversionTable(loaded, file));
    }
    std::filesystem::remove_all(dir);
}
BENCHMARK(BM_SaveAndLoadDefaults)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
