// How long one label job holds the caller against the virtual printer, with
// real pauses, next to the 470 ms of the job's own fixed pauses: a printer
// that answers, one that never answers ("silent") and one whose writes
// block ("stalled"); a failed write ends the job. Run: build/release/bench/bench_silent_printer
#include "print/LabelPrintJob.h"
#include "print/PrinterLibrary.h"
#include "print/PrinterLink.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace fs = std::filesystem;

namespace {

constexpr double kPausesMs = 470.0;

fs::path g_folder;

// One job per iteration on a fresh link, with `mode` ("", "silent" or
// "stalled") as the folder's control file.
void RunJobs(benchmark::State& state, const std::string& mode) {
    for (const auto* file : {"silent", "stalled"})
        fs::remove(g_folder / file);
    if (!mode.empty())
        std::ofstream(g_folder / mode) << "";
    std::array<PackedStrip, kStripCount> strips{};
    strips[1][500] = 0x5A;
    double totalMs = 0;
    int failed = 0;
    for (auto _ : state) {
        PrinterLink link;
        if (!link.Open(0)) {
            state.SkipWithError("the virtual printer did not answer");
            return;
        }
        const auto start = std::chrono::steady_clock::now();
        failed += RunLabelPrintJob(link, strips) ? 0 : 1;
        totalMs +=
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    }
    const double meanMs = totalMs / static_cast<double>(state.iterations());
    state.counters["job_ms"] = meanMs;
    state.counters["above_pauses_ms"] = meanMs - kPausesMs;
    state.counters["failed_jobs"] = failed / static_cast<double>(state.iterations());
}

void BM_AnsweringPrinter(benchmark::State& state) {
    RunJobs(state, "");
}
void BM_SilentPrinter(benchmark::State& state) {
    RunJobs(state, "silent");
}
void BM_StalledPrinter(benchmark::State& state) {
    RunJobs(state, "stalled");
}
BENCHMARK(BM_AnsweringPrinter)->Iterations(5)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SilentPrinter)->Iterations(2)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_StalledPrinter)->Iterations(2)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    std::string pattern = (fs::temp_directory_path() / "q8xj-bench-labels-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr)
        return 1;
    g_folder = pattern;
    // Read by the library when it first starts.
    setenv("TAVOPUS_VIRTUAL", pattern.c_str(), 1);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    fs::remove_all(g_folder);
    return 0;
}
