// Laying out a long table report: one group of 4 columns over a test of 100,000 rows, widths
// fitted to the texts, grid on, on the A4 sheets of a 600-dpi printer. Turning to another
// sheet only shows what was laid out.
#include "BenchData.h"

#include "data/Databuff.h"
#include "platform/graphics/Printer.h"
#include "report/wpreport.h"

#include <QGuiApplication>
#include <benchmark/benchmark.h>
#include <memory>
#include <random>

namespace {

constexpr int kRows = 100000;
constexpr int kColumns = 4;

struct LongReport {
    LongReport() {
        vx::TdataProva& test = buffer.AddProva(kColumns + 1);
        std::mt19937 random(42);
        for (int c = 0; c < kColumns; ++c) {
            test.ChannelNames.Add("Channel " + std::to_string(c));
            test.Units.Add("bar");
            vx::Tdatavector& v = test.GetChannel(c);
            for (int i = 0; i < kRows; ++i)
                v.AddText(vx::bench::RandomValueText(random));
        }
        report.SetCoord(2, 4052);
        report.SetCoord(3, 6108);
        report.SetHeaderHeight(611);
        report.SetFooterHeight(611);
        report.SetDataBuffer(&buffer);
        report.usa_griglia = true;
        report.columnsspace = vx::cs_automatico;
        report.SetGroupCount(1);
        report.SetChannelCount(0, kColumns);
        for (int c = 0; c < kColumns; ++c) {
            vx::Tdefcanale& column = *report.GetChannel(0, c);
            column.Prova = 0;
            column.Canale = c;
            column.formato = "0.000";
        }
    }
    vx::TDatabuffer buffer;
    vx::TWPReport report{nullptr};
};

void BM_Paginate(benchmark::State& state) {
    LongReport r;
    for (auto _ : state) {
        r.report.Paginate();
        benchmark::DoNotOptimize(r.report.PageCount());
    }
    state.counters["sheets"] = r.report.PageCount();
    state.counters["rows"] = kRows;
}

void BM_SetCurrentPage(benchmark::State& state) {
    LongReport r;
    r.report.Paginate();
    int sheet = 0;
    for (auto _ : state) {
        sheet = (sheet + 1) % r.report.PageCount();
        r.report.SetCurrentPage(sheet);
    }
}

} // namespace

BENCHMARK(BM_Paginate)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_SetCurrentPage)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    vx::InstallPrinterProvider(std::make_shared<vx::FixedPrinterProvider>(
        std::vector<std::shared_ptr<vx::PrinterDevice>>{std::make_shared<vx::VirtualPrinter>()}));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
