// A dense page graph: 125,000 rows of X and 8 noisy channels with one-sample spikes on one Y
// axis, a 10-pixel pen at 600 dpi, a plotting area of 4000 x 2000 printer pixels. Composing
// the series into a metafile and playing that back 1:1 and at screen resolution, with the
// column thinning of solid curves on and off.
#include "report/Serie.h"

#include "data/Databuff.h"
#include "platform/graphics/Metafile.h"
#include "platform/graphics/PainterCanvas.h"
#include "platform/graphics/Printer.h"
#include "platform/runtime/Numbers.h"
#include "report/Asse.h"

#include <QGuiApplication>
#include <benchmark/benchmark.h>
#include <memory>
#include <random>
#include <vector>

namespace {

constexpr int kRows = 125000;
constexpr int kChannels = 8;

void InstallPrinter() {
    vx::InstallPrinterProvider(std::make_shared<vx::FixedPrinterProvider>(
        std::vector<std::shared_ptr<vx::PrinterDevice>>{std::make_shared<vx::VirtualPrinter>()}));
}

struct Graph {
    vx::TDatabuffer data;
    vx::TAsse x{nullptr};
    vx::TAsse y{nullptr};
    vx::TSerie serie{nullptr, &x, &y, &data};
    int width = 0;
    int height = 0;

    Graph() {
        InstallPrinter();
        vx::TdataProva& p = data.AddProva(kChannels + 2);
        std::mt19937 random(42);
        std::uniform_real_distribution<double> noise(-1, 1);
        for (int i = 0; i < kRows; ++i)
            p.GetChannel(0).AddText(vx::FloatToStr(i * 0.01));
        for (int c = 1; c <= kChannels; ++c)
            for (int i = 0; i < kRows; ++i) {
                double v = c * 10 + noise(random);
                if ((i + 37 * c) % 1000 == 0)
                    v += (i / 1000) % 2 ? 8 : -8;
                p.GetChannel(c).AddText(vx::FloatToStr(v));
            }
        x.Vertical = false;
        x.Channels().Add(0);
        x.Minimum = 0;
        x.Maximum = kRows * 0.01;
        x.Increment = x.Maximum / 10;
        y.Minimum = 0;
        y.Maximum = 100;
        y.Increment = 10;
        for (int c = 1; c <= kChannels; ++c)
            y.Channels().Add(c);
        y.Pen.Width = 6;
        y.MarkerRecord().ShowMarkers = 0;
        x.SetData(&data);
        y.SetData(&data);
        // The Y axis's length depends on its fonts: grow its box until it is 2000 pixels.
        x.BoundsRect = vx::Rect(400, 2300, 4420, 2700);
        y.BoundsRect = vx::Rect(0, 200, 400, 2300);
        for (int pass = 0; pass < 3; ++pass) {
            Layout();
            y.BoundsRect.Top -= 2000 - y.Length();
        }
        Layout();
        width = x.End() + 50;
        height = y.End() + 50;
    }
    void Layout() {
        vx::Metafile scratch;
        vx::TMetafileCanvas canvas(scratch, vx::Printer().Caps());
        x.Draw(canvas);
        y.Draw(canvas);
    }
    vx::Metafile Compose(bool decimate) {
        vx::Metafile mf;
        mf.SetSize(width, height);
        vx::TMetafileCanvas canvas(mf, vx::Printer().Caps());
        serie.SetDecimation(decimate);
        serie.Draw(canvas);
        canvas.Close();
        return mf;
    }
};

Graph& TheGraph() {
    static Graph graph;
    return graph;
}

void BM_Compose(benchmark::State& state) {
    Graph& g = TheGraph();
    for (auto _ : state) {
        vx::Metafile mf = g.Compose(state.range(0) != 0);
        benchmark::DoNotOptimize(mf.RecordCount());
    }
    state.SetItemsProcessed(state.iterations() * kRows * kChannels);
    state.SetLabel(state.range(0) ? "thinned" : "full");
}
BENCHMARK(BM_Compose)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// range(1): the target's resolution in dpi (600 is 1:1).
void BM_Play(benchmark::State& state) {
    Graph& g = TheGraph();
    const vx::Metafile mf = g.Compose(state.range(0) != 0);
    const int dpi = static_cast<int>(state.range(1));
    const int w = g.width * dpi / 600;
    const int h = g.height * dpi / 600;
    for (auto _ : state) {
        QImage image = vx::RenderMetafile(mf, w, h, vx::clWhite);
        benchmark::DoNotOptimize(image.constBits());
    }
    state.SetLabel(std::string(state.range(0) ? "thinned" : "full") + " " + std::to_string(w) +
                   "x" + std::to_string(h));
}
BENCHMARK(BM_Play)->Args({0, 600})->Args({1, 600})->Args({0, 96})->Args({1, 96})->Unit(
    benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
