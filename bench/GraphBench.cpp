// A graph page as the user sees and prints it: the printable area of the 600-dpi virtual
// printer, 125,000 rows of X and 8 noisy channels with spikes, 8 Y axes of one channel each
// (4 per side) drawn with pens of width 6. Measured: a new graph composed and shown at
// 96 dpi, composing again and rastering at 600 dpi, and showing the composed picture again;
// each with the series' decimation on (1) and off (0).
#include "report/WPGraph.h"

#include "data/Databuff.h"
#include "platform/graphics/Metafile.h"
#include "platform/graphics/PainterCanvas.h"
#include "platform/graphics/Printer.h"
#include "platform/runtime/Numbers.h"
#include "report/Asse.h"
#include "report/Serie.h"
#include "report/WPSection.h"

#include <QGuiApplication>
#include <benchmark/benchmark.h>
#include <cmath>
#include <memory>
#include <random>
#include <vector>

namespace {

constexpr int kRows = 125000;
constexpr int kChannels = 8;
constexpr int32_t kPageW = 4760;
constexpr int32_t kPageH = 6816;
constexpr int kScreenW = 762;
constexpr int kScreenH = 1091;

// Zoom 100: 96 screen pixels per printer inch.
struct ScreenPage : vx::TMetaobjParent {
    int32_t ScreenToPrinterX(int32_t v) const override { return vx::MulDiv(v, 600, 96); }
    int32_t ScreenToPrinterY(int32_t v) const override { return vx::MulDiv(v, 600, 96); }
    int32_t PrinterToScreenX(int32_t v) const override { return vx::MulDiv(v, 96, 600); }
    int32_t PrinterToScreenY(int32_t v) const override { return vx::MulDiv(v, 96, 600); }
    void PageMouseDown(vx::TMouseButton, vx::TShiftState, int32_t, int32_t) override {}
    void PageMouseMove(vx::TShiftState, int32_t, int32_t) override {}
    void PageMouseUp(vx::TMouseButton, vx::TShiftState, int32_t, int32_t) override {}
};

void InstallPrinter() {
    vx::InstallPrinterProvider(std::make_shared<vx::FixedPrinterProvider>(
        std::vector<std::shared_ptr<vx::PrinterDevice>>{std::make_shared<vx::VirtualPrinter>()}));
}

vx::TDatabuffer& Data() {
    static std::unique_ptr<vx::TDatabuffer> data = [] {
        auto d = std::make_unique<vx::TDatabuffer>();
        vx::TdataProva& test = d->AddProva(kChannels + 2);
        std::mt19937 random(7);
        std::normal_distribution<double> noise(0, 3);
        for (int r = 0; r < kRows; ++r)
            test.GetChannel(0).AddText(std::to_string(r));
        for (int c = 1; c <= kChannels; ++c) {
            vx::Tdatavector& v = test.GetChannel(c);
            v.Reserve(kRows, kRows * 8);
            for (int r = 0; r < kRows; ++r) {
                double y = 100 * std::sin(r / (1000.0 * c)) + noise(random);
                if (r % 4999 == 0)
                    y += 400; // a spike
                v.AddText(std::to_string(static_cast<int>(std::lround(y * 100))));
            }
        }
        return d;
    }();
    return *data;
}

std::unique_ptr<vx::TWPGraph> NewGraph(ScreenPage& page, bool decimation) {
    auto g = std::make_unique<vx::TWPGraph>(nullptr, &Data());
    g->SetParent(&page);
    g->SetCoord(0, 0);
    g->SetCoord(1, 0);
    g->SetCoord(2, kPageW);
    g->SetCoord(3, kPageH);
    int channel = 1;
    for (vx::TWPSide* side : {&g->LeftSide(), &g->RightSide()}) {
        side->GetSection(0)->AddAxes(3);
        for (int i = 0; i < 4; ++i) {
            vx::TAsse& axis = *side->GetAxisByIndex(i);
            axis.Channels().Add(channel++);
            axis.Pen.Width = 6;
            axis.MarkerRecord().ShowMarkers = 0; // curves only: markers are never thinned
        }
    }
    g->RebuildSeries();
    for (const auto& serie : g->Series())
        serie->SetDecimation(decimation);
    return g;
}

void BM_NewGraphToScreen(benchmark::State& state) {
    InstallPrinter();
    Data();
    ScreenPage page;
    for (auto _ : state) {
        auto g = NewGraph(page, state.range(0) != 0);
        g->Paint();
        QImage image = vx::RenderMetafile(g->GetMetafile(), kScreenW, kScreenH, vx::clWhite);
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_NewGraphToScreen)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

void BM_ComposeAndRaster600(benchmark::State& state) {
    InstallPrinter();
    ScreenPage page;
    auto g = NewGraph(page, state.range(0) != 0);
    g->Paint();
    for (auto _ : state) {
        g->Dirty = true;
        g->Paint();
        QImage image = vx::RenderMetafile(g->GetMetafile(), kPageW, kPageH, vx::clWhite);
        benchmark::DoNotOptimize(image.constBits());
    }
    state.counters["records"] = static_cast<double>(g->GetMetafile().RecordCount());
}
BENCHMARK(BM_ComposeAndRaster600)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

void BM_RepaintFromMetafile(benchmark::State& state) {
    InstallPrinter();
    ScreenPage page;
    auto g = NewGraph(page, state.range(0) != 0);
    g->Paint();
    for (auto _ : state) {
        QImage image = vx::RenderMetafile(g->GetMetafile(), kScreenW, kScreenH, vx::clWhite);
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_RepaintFromMetafile)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
