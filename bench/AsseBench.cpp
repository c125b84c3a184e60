// An axis as a graph draws it at every paint: a left axis of 10 divisions with 9 minor ticks
// composed into a metafile at 600 dpi; and the pixel mapping the series run for every point.
#include "report/Asse.h"

#include "platform/graphics/Metafile.h"
#include "platform/graphics/Printer.h"

#include <QGuiApplication>
#include <benchmark/benchmark.h>
#include <memory>
#include <vector>

namespace {

void InstallPrinter() {
    vx::InstallPrinterProvider(std::make_shared<vx::FixedPrinterProvider>(
        std::vector<std::shared_ptr<vx::PrinterDevice>>{std::make_shared<vx::VirtualPrinter>()}));
}

vx::TAsse& LeftAxis(vx::TAsse& axis) {
    axis.Channels().Add(0);
    axis.BoundsRect = vx::Rect(0, 0, 400, 5000);
    axis.Sottotacche = 9;
    return axis;
}

void BM_DrawLeftAxis(benchmark::State& state) {
    InstallPrinter();
    vx::TAsse axis(nullptr);
    LeftAxis(axis);
    for (auto _ : state) {
        vx::Metafile mf;
        vx::TMetafileCanvas canvas(mf, vx::Printer().Caps());
        axis.Draw(canvas);
        canvas.Close();
        benchmark::DoNotOptimize(mf.RecordCount());
    }
}
BENCHMARK(BM_DrawLeftAxis);

void BM_ValueToPos(benchmark::State& state) {
    InstallPrinter();
    vx::TAsse axis(nullptr);
    LeftAxis(axis);
    axis.Logarithmic = state.range(0) != 0;
    axis.Maximum = axis.Logarithmic ? 3 : 100;
    axis.Increment = axis.Logarithmic ? 1 : 10;
    {
        vx::Metafile mf;
        vx::TMetafileCanvas canvas(mf, vx::Printer().Caps());
        axis.Draw(canvas);
    }
    const int n = 1000000;
    for (auto _ : state) {
        int64_t sum = 0;
        for (int i = 0; i < n; ++i)
            sum += axis.ValueToPos(1 + i * 0.0001);
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_ValueToPos)->Arg(0)->Arg(1);

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
