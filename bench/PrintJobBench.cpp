// How long one label print job holds the interface, against the virtual
// printer and with real pauses, next to the floor set by its fixed pauses
// (470 ms): the whole print button after the confirmation (reading the print
// image, packing, the command sequence), and the command sequence alone.
#include "app/PasswordDialog.h"

#include "app/PasswordDialogTemplate.h"
#include "platform/MessageBox.h"
#include "print/LabelPrintJob.h"
#include "print/PrinterLibrary.h"
#include "print/PrinterLink.h"
#include "print/PrinterPresence.h"

#include <QApplication>
#include <QLineEdit>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>

namespace {

constexpr double kFloorMs = 470.0;
constexpr int kJobs = 10;

void ReportAgainstFloor(benchmark::State& state, std::chrono::steady_clock::duration total) {
    const double meanMs =
        std::chrono::duration<double, std::milli>(total).count() / static_cast<double>(state.iterations());
    state.counters["floor_ms"] = kFloorMs;
    state.counters["mean_ms"] = meanMs;
    state.counters["over_floor_%"] = (meanMs - kFloorMs) / kFloorMs * 100.0;
}

void BM_PrintButton(benchmark::State& state) {
    PasswordDialog dialog;
    if (!dialog.Printer().IsLinked()) {
        state.SkipWithError("the virtual printer did not answer");
        return;
    }
    dialog.Control<QLineEdit>(app::kPasswordId)->setText(QStringLiteral("Kx7#Pq2-Wm9"));
    struct : platform::MessageBoxes {
        QMessageBox::StandardButton Show(QWidget*, const platform::MessageBoxRequest&) override {
            return QMessageBox::Ok;
        }
    } answerOk;
    platform::MessageBoxes::Replace(&answerOk);
    std::chrono::steady_clock::duration total{};
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        dialog.PrintLabel();
        total += std::chrono::steady_clock::now() - start;
    }
    platform::MessageBoxes::Replace(nullptr);
    ReportAgainstFloor(state, total);
}
BENCHMARK(BM_PrintButton)->Iterations(kJobs)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_CommandSequence(benchmark::State& state) {
    PrinterLink link;
    if (!link.Open(0)) {
        state.SkipWithError("the virtual printer did not answer");
        return;
    }
    std::array<PackedStrip, kStripCount> strips{};
    strips[1][500] = 0x5A;
    std::chrono::steady_clock::duration total{};
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        RunLabelPrintJob(link, strips);
        total += std::chrono::steady_clock::now() - start;
    }
    ReportAgainstFloor(state, total);
}
BENCHMARK(BM_CommandSequence)->Iterations(kJobs)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    // The labels go to a folder of their own that goes with the run.
    QTemporaryDir labels;
    if (!labels.isValid()) {
        return 1;
    }
    setenv("TAVOPUS_VIRTUAL", labels.path().toLocal8Bit().constData(), 1);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
