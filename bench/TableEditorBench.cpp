// Time to open the table editor on the built-in table and show it: construct,
// fill the grid, build the 247 controls, show and wait until it is on screen.
#include "table/DefaultTable.h"
#include "tableedit/TableEditDialog.h"

#include <QApplication>
#include <QTest>

#include <benchmark/benchmark.h>

namespace {

void BM_OpenTableEditor(benchmark::State& state) {
    PasswordModel model;
    FillDefaultTable(model.Table());
    for (auto _ : state) {
        TableEditDialog editor(model);
        editor.show();
        if (!QTest::qWaitForWindowExposed(&editor)) {
            state.SkipWithError("the editor was never shown");
            break;
        }
        QApplication::processEvents();
        state.PauseTiming();
        editor.hide();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_OpenTableEditor)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
