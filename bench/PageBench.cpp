// A graph page of 1,000,000 points (the graph's picture: four curves of 250,000 points in a
// 0.4 mm pen) with header, footer and both information lines: composed once, printed in 3
// copies to the virtual printer and to "Vornix PDF", and exported as a metafile file.
#include "platform/graphics/PdfPrinter.h"
#include "report/Intestazione.h"
#include "report/WPPage.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cmath>
#include <memory>

namespace {

constexpr int kPoints = 1000000;

std::unique_ptr<vx::TWPPage> MakeGraphPage() {
    auto page = std::make_unique<vx::TWPPage>(nullptr);
    page->SetPageKind(vx::PK_GRAPHIC);
    page->informazioni_up = "&nc &pr";
    page->informazioni_down = "&\"Bench\"l &dr";
    page->Header()->GetCell(0, 0)->text.Add("Header");
    page->Footer()->GetCell(0, 0)->text.Add("Footer");
    page->Paint();
    page->Paint();
    vx::TMetaobj& graph = *page->Graph();
    vx::Metafile& picture = graph.GetMetafile();
    picture.SetSize(graph.GetCoord(4), graph.GetCoord(5));
    vx::TMetafileCanvas canvas(picture, vx::Printer().Caps());
    canvas.Pen.Width = 9;
    const int perCurve = kPoints / 4;
    for (int curve = 0; curve < 4; ++curve) {
        canvas.Pen.Color = vx::RGB(curve * 60, 0, 255 - curve * 60);
        for (int i = 0; i < perCurve; ++i) {
            const int x = static_cast<int>(int64_t(i) * picture.Width() / perCurve);
            const int y =
                500 + curve * 900 + static_cast<int>(300 * std::sin(i * 0.001 * (curve + 1)));
            if (i == 0)
                canvas.MoveTo(x, y);
            else
                canvas.LineTo(x, y);
        }
    }
    return page;
}

void UsePrinter(std::shared_ptr<vx::PrinterDevice> printer) {
    vx::InstallPrinterProvider(std::make_shared<vx::FixedPrinterProvider>(
        std::vector<std::shared_ptr<vx::PrinterDevice>>{std::move(printer)}));
}

void BM_ComposeOnce(benchmark::State& state) {
    UsePrinter(std::make_shared<vx::VirtualPrinter>());
    auto page = MakeGraphPage();
    for (auto _ : state) {
        vx::Metafile m;
        page->ComposeToMetafile(m, -1);
        benchmark::DoNotOptimize(m.RecordCount());
    }
}

void BM_PrintCopiesToVirtualPrinter(benchmark::State& state) {
    auto printer = std::make_shared<vx::VirtualPrinter>();
    UsePrinter(printer);
    auto page = MakeGraphPage();
    for (auto _ : state) {
        page->Print(static_cast<int>(state.range(0)), -1, -1);
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
    for (auto _ : state)
        page->Print(static_cast<int>(state.range(0)), -1, -1);
    state.counters["bytes"] = double(QFileInfo(QString::fromStdString(file)).size());
}

} // namespace

BENCHMARK(BM_ComposeOnce)->Unit(benchmark::kMillisecond);
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
