// Time to draw the print image, which happens on every paint of the control,
// for a short password and one wider than the image, at the start font and a
// large one, to check whether the password fits, and to read the label from it.
#include "print/PrintImage.h"
#include "print/PrintStyle.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>

namespace {

const std::string kShort = "39r";
const std::string kLong = "AX7KW2ZR9LV5BN3HD8TY4MEP6-gjq#$%";

PrintStyle StyleOfHeight(int height) {
    PrintStyle style;
    QFont font = style.Font();
    font.setPixelSize(height);
    style.Set(font, Qt::black);
    return style;
}

void BM_RenderPrintImage(benchmark::State& state) {
    const PrintStyle style = StyleOfHeight(static_cast<int>(state.range(1)));
    const std::string& password = state.range(0) != 0 ? kLong : kShort;
    for (auto _ : state) {
        benchmark::DoNotOptimize(PrintImage::Render(password, style));
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_RenderPrintImage)
    ->Args({0, 48})
    ->Args({1, 48})
    ->Args({1, 400})
    ->ArgNames({"long", "pixels"})
    ->Unit(benchmark::kMicrosecond);

// The fit check runs once a print, before the question.
void BM_FitCheck(benchmark::State& state) {
    const PrintStyle style = StyleOfHeight(static_cast<int>(state.range(1)));
    const std::string& password = state.range(0) != 0 ? kLong : kShort;
    for (auto _ : state) {
        benchmark::DoNotOptimize(PrintImage::Fits(password, style));
    }
}
BENCHMARK(BM_FitCheck)
    ->Args({0, 48})
    ->Args({1, 48})
    ->Args({1, 400})
    ->ArgNames({"long", "pixels"})
    ->Unit(benchmark::kMicrosecond);

void BM_ReadLabel(benchmark::State& state) {
    const QImage image = PrintImage::Render(kShort, PrintStyle());
    for (auto _ : state) {
        benchmark::DoNotOptimize(PrintImage::Label(image));
    }
}
BENCHMARK(BM_ReadLabel)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
