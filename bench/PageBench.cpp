// A graph page of 1,000,000 points (one test of 250,000 rows, four noisy channels on four Y
// axes, two per side, in pens of width 6) with header, footer and both information lines:
// composed from its data, printed in copies to the virtual printer (each sheet played into an
// image) and to "Vornix PDF", and exported as a metafile file.
#include "data/Databuff.h"
#include "platform/graphics/MetafileData.h"
#include "platform/graphics/PainterCanvas.h"
#include "platform/graphics/PdfPrinter.h"
#include "report/Asse.h"
#include "report/Intestazione.h"
#include "report/WPGraph.h"
#include "report/WPPage.h"
#include "report/WPSection.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cmath>
#include <memory>
#include <random>
#include <string>

namespace {

constexpr int kPoints = 1000000;
constexpr int kCurves = 4;
constexpr int kRows = kPoints / kCurves;

vx::TDatabuffer& Data() {
    static std::unique_ptr<vx::TDatabuffer> data = [] {
        auto d = std::make_unique<vx::TDatabuffer>();
        vx::TdataProva& test = d->AddProva(kCurves + 1);
        std::mt19937 random(11);
        std::normal_distribution<double> noise(0, 3);
        vx::Tdatavector& x = test.GetChannel(0);
        x.Reserve(kRows, kRows * 7);
        for (int r = 0; r < kRows; ++r)
            x.AddText(std::to_string(r));
        for (int c = 1; c <= kCurves; ++c) {
            vx::Tdatavector& v = test.GetChannel(c);
            v.Reserve(kRows, kRows * 8);
            for (int r = 0; r < kRows; ++r) {
                const double y = 100 * std::sin(r * 0.001 * c) + noise(random);
                v.AddText(std::to_string(static_cast<int>(std::lround(y * 100))));
            }
        }
        return d;
    }();
    return *data;
}

std::unique_ptr<vx::TWPPage> MakeGraphPage() {
    auto page = std::make_unique<vx::TWPPage>(nullptr);
    page->DataBuffer = &Data();
    page->SetPageKind(vx::PK_GRAPHIC);
    page->informazioni_up = "&nc &pr";
    page->informazioni_down = "&\"Bench\"l &dr";
    page->Header()->GetCell(0, 0)->text.Add("Header");
    page->Footer()->GetCell(0, 0)->text.Add("Footer");
    vx::TWPGraph& graph = *page->Graph();
    int channel = 1;
    for (vx::TWPSide* side : {&graph.LeftSide(), &graph.RightSide()}) {
        side->GetSection(0)->AddAxes(kCurves / 2 - 1);
        for (int i = 0; i < kCurves / 2; ++i) {
            vx::TAsse& axis = *side->GetAxisByIndex(i);
            axis.Channels().Add(channel++);
            axis.Pen.Width = 6;
            axis.MarkerRecord().ShowMarkers = 0;
        }
    }
    graph.RebuildSeries();
    page->Paint();
    page->Paint();
    graph.Paint();
    return page;
}

void UsePrinter(std::shared_ptr<vx::PrinterDevice> printer) {
    vx::InstallPrinterProvider(std::make_shared<vx::FixedPrinterProvider>(
        std::vector<std::shared_ptr<vx::PrinterDevice>>{std::move(printer)}));
}

// Marks every part of the page for drawing anew, as after a change of its data.
void Refresh(vx::TWPPage& page) {
    page.Graph()->Dirty = true;
    page.Header()->Dirty = true;
    page.Footer()->Dirty = true;
}

// The whole page composed from its data: graph, header, footer and background.
void BM_ComposeOnce(benchmark::State& state) {
    UsePrinter(std::make_shared<vx::VirtualPrinter>());
    auto page = MakeGraphPage();
    for (auto _ : state) {
        Refresh(*page);
        vx::Metafile m;
        page->ComposeToMetafile(m, -1);
        benchmark::DoNotOptimize(m.RecordCount());
    }
}

// The graph's own picture from its data, as after an edit.
void BM_ComposeGraphPicture(benchmark::State& state) {
    UsePrinter(std::make_shared<vx::VirtualPrinter>());
    auto page = MakeGraphPage();
    vx::TWPGraph& graph = *page->Graph();
    for (auto _ : state) {
        graph.Dirty = true;
        graph.Paint();
        benchmark::DoNotOptimize(graph.GetMetafile().RecordCount());
    }
    state.counters["records"] = double(graph.GetMetafile().RecordCount());
    // What is left of the million points after the thinning of dense columns.
    state.counters["points"] = double(graph.GetMetafile().Data()->Ints.size() / 2);
}

// The page composed from its data and printed; the virtual printer only keeps the sheets, so
// each is then played into a 150-dpi image, as a device would draw it.
void BM_PrintCopiesToVirtualPrinter(benchmark::State& state) {
    auto printer = std::make_shared<vx::VirtualPrinter>();
    UsePrinter(printer);
    auto page = MakeGraphPage();
    const vx::TDeviceCaps& caps = printer->Caps();
    QImage device(caps.HorzRes / 4, caps.VertRes / 4, QImage::Format_RGB32);
    for (auto _ : state) {
        Refresh(*page);
        page->Print(static_cast<int>(state.range(0)), -1, -1);
        for (const vx::Metafile& sheet : printer->Jobs().at(0).Pages) {
            device.fill(Qt::white);
            QPainter painter(&device);
            vx::PlayMetafile(painter, sheet, QRectF(0, 0, device.width(), device.height()));
        }
        printer->ClearJobs();
    }
}

void BM_SaveAsMetafile(benchmark::State& state) {
    UsePrinter(std::make_shared<vx::VirtualPrinter>());
    auto page = MakeGraphPage();
    QTemporaryDir dir;
    const std::string file = dir.path().toStdString() + "/page.emf";
    for (auto _ : state)
        page->SaveAsMetafile(file);
    state.counters["bytes"] = double(QFileInfo(QString::fromStdString(file)).size());
}

void BM_PrintCopiesToPdf(benchmark::State& state) {
    QTemporaryDir dir;
    const std::string file = dir.path().toStdString() + "/page.pdf";
    UsePrinter(std::make_shared<vx::PdfPrinter>([&] { return file; }));
    auto page = MakeGraphPage();
    for (auto _ : state) {
        Refresh(*page);
        page->Print(static_cast<int>(state.range(0)), -1, -1);
    }
    state.counters["bytes"] = double(QFileInfo(QString::fromStdString(file)).size());
}

} // namespace

BENCHMARK(BM_ComposeOnce)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ComposeGraphPicture)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PrintCopiesToVirtualPrinter)->Arg(1)->Arg(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveAsMetafile)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_PrintCopiesToPdf)->Arg(3)->Unit(benchmark::kMillisecond)->Iterations(3);

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
