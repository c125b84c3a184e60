// Zooming and scrolling a graph page of 1,000,000 points (four curves of 250,000 points in a
// 0.4 mm pen) in the container's view: the view replays the composed pictures, nothing is
// composed again. Each iteration is one zoom step or one scroll step, painted.
#include "platform/graphics/Printer.h"
#include "report/DocBox.h"
#include "report/Intestazione.h"
#include "report/WPGraph.h"
#include "report/WPPage.h"
#include "report/view/DocBoxView.h"
#include "report/view/PageView.h"

#include <QApplication>
#include <QScrollBar>
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>

namespace {

constexpr int kPoints = 1000000;

vx::TWPPage* AddGraphPage(vx::TDocBox& box) {
    vx::TWPPage* page = box.AddPage();
    page->SetPageKind(vx::PK_GRAPHIC);
    page->Header()->GetCell(0, 0)->text.Add("Header");
    page->Footer()->GetCell(0, 0)->text.Add("Footer");
    box.ShowPage(0);
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

struct Setup {
    Setup() {
        vx::InstallPrinterProvider(std::make_shared<vx::FixedPrinterProvider>(
            std::vector<std::shared_ptr<vx::PrinterDevice>>{
                std::make_shared<vx::VirtualPrinter>()}));
        view = std::make_unique<vx::TDocBoxView>(&box);
        view->resize(1000, 700);
        view->show();
        page = AddGraphPage(box);
        view->Relayout();
        QApplication::processEvents();
    }
    ~Setup() {
        view.reset();
        box.ClearPages();
    }
    // What the screen shows of the page after the step, painted in full.
    void Repaint() { benchmark::DoNotOptimize(view->viewport()->grab()); }

    vx::TDocBox box;
    std::unique_ptr<vx::TDocBoxView> view;
    vx::TWPPage* page = nullptr;
};

// Alternates between the zoom and 10 % more, up to 200 %. From about 105 % on the 0.4 mm pen is
// wider than 1.5 screen pixels and is stroked as a wide pen rather than as a hairline.
void BM_ZoomStep(benchmark::State& state) {
    Setup s;
    const auto low = static_cast<uint32_t>(state.range(0));
    uint32_t zoom = low;
    for (auto _ : state) {
        zoom = zoom == low ? low + 10 : low;
        s.box.SetZoomPercent(zoom);
        s.Repaint();
    }
}
BENCHMARK(BM_ZoomStep)->Arg(50)->Arg(90)->Arg(140)->Arg(190)->Unit(benchmark::kMillisecond);

void BM_ScrollStep(benchmark::State& state) {
    Setup s;
    s.box.SetZoomPercent(100);
    QScrollBar* bar = s.view->verticalScrollBar();
    int step = 0;
    for (auto _ : state) {
        bar->setValue(++step % 2 ? bar->maximum() / 2 : bar->maximum() / 4);
        s.Repaint();
    }
}
BENCHMARK(BM_ScrollStep)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
