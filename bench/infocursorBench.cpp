// One snapping tick of the cursor window on four tests of 250,000 rows, with four channels on
// the left and four on the right side, the right axis filtered by a text channel.
#include "data/Databuff.h"
#include "document/infocursor.h"
#include "platform/graphics/Metafile.h"
#include "platform/graphics/Printer.h"
#include "platform/runtime/FormatSettings.h"
#include "report/Asse.h"
#include "report/WPGraph.h"
#include "report/WPSection.h"

#include <QApplication>
#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kTests = 4;
constexpr int kRows = 250'000;
constexpr int kChannels = 10; // time, eight values, a key

void Fill(vx::TDatabuffer& buffer) {
    for (int t = 0; t < kTests; ++t) {
        vx::TdataProva& test = buffer.AddProva(kChannels + 1);
        test.FileName = "/bench/t" + std::to_string(t) + ".txt";
        for (int c = 0; c < kChannels; ++c) {
            test.ChannelNames.Add("C" + std::to_string(c));
            test.Units.Add("u");
            vx::Tdatavector& channel = test.GetChannel(c);
            channel.Reserve(kRows, size_t{kRows} * 8);
            for (int r = 0; r < kRows; ++r)
                channel.AddTextRaw(c == 0               ? std::to_string(r) + ".5"
                                   : c == kChannels - 1 ? std::string(1, 'A' + r % 4)
                                                        : std::to_string((r * (c + 3)) % 1000));
        }
    }
}

void Axis(vx::TAsse& axis, int first, double max) {
    axis.Channels().Clear();
    for (int c = first; c < first + 4; ++c)
        axis.Channels().Add(c);
    axis.limitiautomatici = false;
    axis.Minimum = 0;
    axis.Maximum = max;
    axis.Increment = max / 10;
}

void BM_SnapTick(benchmark::State& state) {
    vx::InstallPrinterProvider(std::make_shared<vx::FixedPrinterProvider>(
        std::vector<std::shared_ptr<vx::PrinterDevice>>{std::make_shared<vx::VirtualPrinter>()}));
    vx::FormatSettings().DecimalSeparator = '.';
    vx::DocDecimalSeparator = '.';
    vx::TDatabuffer buffer;
    Fill(buffer);
    vx::TWPGraph graph(nullptr, &buffer);
    graph.SetCoord(0, 0);
    graph.SetCoord(1, 0);
    graph.SetCoord(2, 3000);
    graph.SetCoord(3, 2000);
    Axis(graph.XAxis(), 0, kRows);
    graph.XAxis().Channels().Clear();
    graph.XAxis().Channels().Add(0);
    Axis(*graph.LeftSide().GetAxisByIndex(0), 1, 1000);
    vx::TAsse& right = *graph.RightSide().GetAxisByIndex(0);
    Axis(right, 5, 1000);
    right.filtro = kChannels - 1;
    right.filtrotipo = 1;
    right.filtrovalore = "C";
    graph.RebuildSeries();
    vx::Metafile picture;
    vx::TDeviceCaps caps;
    caps.LogPixelsX = caps.LogPixelsY = 600;
    {
        vx::TMetafileCanvas canvas(picture, caps);
        graph.DrawContent(canvas);
    }
    std::unique_ptr<vx::Tfrm_infocursor> window(vx::CreateForm<vx::Tfrm_infocursor>());
    window->Setup(&buffer, &graph.XAxis(), &graph.LeftSide(), &graph.RightSide());
    int32_t x = graph.XAxis().Start();
    for (auto _ : state) {
        window->ShowPosition(x, 0);
        window->Timer1Timer();
        x = graph.XAxis().Start() + (x + 37) % std::max(graph.XAxis().Length(), 1);
    }
    window->MarkClosing();
}
BENCHMARK(BM_SnapTick)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
