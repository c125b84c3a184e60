// Clipboard blocks of a spreadsheet-sized grid: pasting a block that grows the grid, and
// copying it back as text.
#include "document/clipGrid.h"

#include <QApplication>
#include <benchmark/benchmark.h>

#include <string>

namespace {

std::string Block(int cols, int rows) {
    std::string text;
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c) {
            text += std::to_string(r * 0.25 + c);
            text += c + 1 == cols ? "\r\n" : "\t";
        }
    return text;
}

void BM_PasteGrowing(benchmark::State& state) {
    const int rows = static_cast<int>(state.range(0));
    const std::string text = Block(10, rows);
    for (auto _ : state) {
        vx::TclipGrid grid;
        grid.autoresize = true;
        grid.numerarighe = true;
        grid.PasteText(text);
        benchmark::DoNotOptimize(grid.RowCount());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_PasteGrowing)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_CopyBlock(benchmark::State& state) {
    const int rows = static_cast<int>(state.range(0));
    vx::TclipGrid grid;
    grid.autoresize = true;
    grid.PasteText(Block(10, rows));
    grid.SetSelection({1, 1, grid.ColCount() - 1, grid.RowCount() - 1});
    for (auto _ : state)
        benchmark::DoNotOptimize(grid.SelectionText(false));
}
BENCHMARK(BM_CopyBlock)->Arg(10000)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
