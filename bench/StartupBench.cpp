// Start-up of the real program against a bare Qt dialog, measured from outside.
//
// Both are separate executables started as a user starts them: the program
// Q8xj with its own main (settings, translations, table file), and
// bench_bare_dialog, linked with Qt Widgets alone, holding the same controls
// in the same places. Each run gets a fresh home and configuration folder and
// an empty working folder; they run alternately, so a loaded machine weighs on
// both alike. Neither program has a hook: a small library preloaded into both
// (FirstPaintProbe.cpp) reports the moment its first window's first paint has
// been flushed, and resident memory and processor time then. Time counts
// from just before the exec; processor time (all threads) is the figure a
// loaded machine sways least. A third run per round starts Q8xj in a folder whose table file is just
// under the 1 MiB cap. Last come the libraries Q8xj has mapped at its first
// paint that the bare dialog has not: what start-up loads beyond the floor.
// Needs a display:
//   xvfb-run -a -s "-screen 0 1024x768x24" build/release/bench/bench_startup [rounds]
#include "ChildProcess.h"
#include "LargeTableFile.h"

#include <cstdio>
#include <fstream>
#include <set>
#include <string>
#include <vector>

namespace {

struct Sample {
    double ms = 0;
    double kb = 0;
    double cpuMs = 0;
    std::set<std::string> libraries;
};

struct Series {
    std::vector<double> ms, kb, cpuMs;
    void Add(const Sample& s) {
        ms.push_back(s.ms);
        kb.push_back(s.kb);
        cpuMs.push_back(s.cpuMs);
    }
};

// One start of `program` in `folder`; false with a reason on stderr when it
// did not paint its own window.
bool Start(const bench::TempRoot& root, int run, const char* program, const std::filesystem::path& folder,
           Sample& sample) {
    const std::filesystem::path home = root.Folder("home" + std::to_string(run));
    const std::filesystem::path report = root.Path() / ("paint" + std::to_string(run));
    const auto environment = bench::FreshEnvironment(
        home, {{"LD_PRELOAD", Q8XJ_FIRST_PAINT_PROBE}, {"Q8XJ_FIRST_PAINT_FILE", report.string()}});
    std::int64_t startNs = 0;
    const int status = bench::RunProgram(program, {}, folder, environment, startNs);
    std::ifstream in(report);
    long long paintedAt = 0;
    long kb = 0;
    long long cpuNs = 0;
    std::string title;
    if (status != 0 || !(in >> paintedAt >> kb >> cpuNs) || !(in >> title) || title != "Q8xj") {
        std::fprintf(stderr, "%s: no first paint of its window (exit status %d, window \"%s\")\n", program,
                     status, title.c_str());
        return false;
    }
    sample = {static_cast<double>(paintedAt - startNs) / 1e6,
              static_cast<double>(kb),
              static_cast<double>(cpuNs) / 1e6,
              {}};
    for (std::string name; in >> name;) {
        sample.libraries.insert(name);
    }
    std::error_code ignored;
    std::filesystem::remove_all(home, ignored);
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (std::getenv("DISPLAY") == nullptr && std::getenv("WAYLAND_DISPLAY") == nullptr) {
        std::fprintf(stderr, "needs a display: xvfb-run -a -s \"-screen 0 1024x768x24\" %s\n", argv[0]);
        return 2;
    }
    const int rounds = argc >= 2 ? std::max(1, std::atoi(argv[1])) : 15;
    const bench::TempRoot root;
    if (!root.Ok()) {
        return 1;
    }
    const std::filesystem::path empty = root.Folder("empty");
    const std::filesystem::path large = root.Folder("large");
    std::ofstream(large / kTableFileName, std::ios::binary) << FileOfSize(kMaxTableFileBytes);

    Series bare, q8, q8Large;
    Sample sample, lastBare, lastQ8;
    int run = 0;
    // One unmeasured start of each fills the file cache.
    if (!Start(root, run++, Q8XJ_BARE_DIALOG, empty, sample) ||
        !Start(root, run++, Q8XJ_PROGRAM, empty, sample)) {
        return 1;
    }
    for (int i = 0; i < rounds; ++i) {
        if (!Start(root, run++, Q8XJ_BARE_DIALOG, empty, sample)) {
            return 1;
        }
        bare.Add(sample);
        lastBare = sample;
        if (!Start(root, run++, Q8XJ_PROGRAM, empty, sample)) {
            return 1;
        }
        q8.Add(sample);
        lastQ8 = sample;
        if (!Start(root, run++, Q8XJ_PROGRAM, large, sample)) {
            return 1;
        }
        q8Large.Add(sample);
    }
    const double tb = bench::Median(bare.ms), mb = bench::Median(bare.kb), cb = bench::Median(bare.cpuMs);
    const double tq = bench::Median(q8.ms), mq = bench::Median(q8.kb), cq = bench::Median(q8.cpuMs);
    const double tl = bench::Median(q8Large.ms), ml = bench::Median(q8Large.kb),
                 cl = bench::Median(q8Large.cpuMs);
    std::printf("exec to first paint, median of %d alternate runs each\n", rounds);
    std::printf("%-28s %10s %15s %10s\n", "", "time (ms)", "resident (KiB)", "cpu (ms)");
    std::printf("%-28s %10.1f %15.0f %10.1f\n", "bare Qt dialog", tb, mb, cb);
    std::printf("%-28s %10.1f %15.0f %10.1f\n", "Q8xj", tq, mq, cq);
    std::printf("%-28s %10.2f %15.2f %10.2f   (target: time and memory at most 1.10)\n", "ratio Q8xj / bare",
                tq / tb, mq / mb, cq / cb);
    std::printf("%-28s %10.1f %15.0f %10.1f   (%+.1f ms, %+.1f ms cpu; target: under +100 ms)\n",
                "Q8xj, 1 MiB table file", tl, ml, cl, tl - tq, cl - cq);
    std::printf("libraries Q8xj maps by its first paint and the bare dialog does not:\n ");
    for (const std::string& name : lastQ8.libraries) {
        if (lastBare.libraries.count(name) == 0) {
            std::printf(" %s", name.c_str());
        }
    }
    std::printf("\n");
    return 0;
}
