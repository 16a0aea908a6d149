// The table file at sizes no real table reaches: reading n entries (the
// reader alone, no size cap) should grow linearly with n, and start-up's load
// of a file just under the 1 MiB cap is compared with the load when there is
// no file (the defaults).
#include "LargeTableFile.h"
#include "table/TableFile.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

void BM_ParseEntries(benchmark::State& state) {
    const std::string bytes = FileOfEntries(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        ConversionTable table;
        benchmark::DoNotOptimize(ParseConversionTable(bytes, table));
    }
    state.SetComplexityN(state.range(0));
    state.counters["file_bytes"] = static_cast<double>(bytes.size());
}
BENCHMARK(BM_ParseEntries)
    ->RangeMultiplier(2)
    ->Range(25000, 400000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

class TableFolder {
public:
    TableFolder() { std::filesystem::create_directories(m_dir); }
    ~TableFolder() { std::filesystem::remove_all(m_dir); }
    TableFolder(const TableFolder&) = delete;
    TableFolder& operator=(const TableFolder&) = delete;
    std::filesystem::path File() const { return m_dir / kTableFileName; }

private:
    std::filesystem::path m_dir =
        std::filesystem::temp_directory_path() / ("q8xj-bench-table-" + std::to_string(::getpid()));
};

// Start-up's load: arg 0 with no file (the defaults), 1 with a file just under the cap.
void BM_StartupLoad(benchmark::State& state) {
    TableFolder folder;
    if (state.range(0) != 0) {
        const std::string bytes = FileOfSize(kMaxTableFileBytes);
        std::ofstream(folder.File(), std::ios::binary) << bytes;
        state.counters["file_bytes"] = static_cast<double>(bytes.size());
    }
    for (auto _ : state) {
        ConversionTable table;
        const LoadResult result = LoadConversionTable(table, folder.File());
        if (result.source == LoadResult::Source::Failed) {
            state.SkipWithError("the file was refused");
            break;
        }
        benchmark::DoNotOptimize(table.size());
    }
}
BENCHMARK(BM_StartupLoad)->Arg(0)->Arg(1)->ArgName("file")->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
