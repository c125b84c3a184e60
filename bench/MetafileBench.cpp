// Playing a page of long curves: 8 polylines of 125,000 points drawn with a 0.4 mm pen at
// 600 dpi, played onto an A4 image at 600 dpi (printing, PDF) and at 96 dpi (the screen).
#include "platform/graphics/Metafile.h"
#include "platform/graphics/PainterCanvas.h"

#include <QGuiApplication>
#include <benchmark/benchmark.h>
#include <cmath>
#include <vector>

namespace {

constexpr int kPaperWidth = 4960;
constexpr int kPaperHeight = 7016;

vx::Metafile MakePage() {
    vx::TDeviceCaps caps;
    caps.HorzRes = caps.PhysicalWidth = kPaperWidth;
    caps.VertRes = caps.PhysicalHeight = kPaperHeight;
    caps.LogPixelsX = caps.LogPixelsY = 600;
    vx::Metafile page;
    page.SetSize(kPaperWidth, kPaperHeight);
    vx::TMetafileCanvas canvas(page, caps);
    canvas.Pen.Width = 9; // 0.4 mm at 600 dpi
    const int points = 125000;
    uint32_t noise = 12345;
    for (int curve = 0; curve < 8; ++curve) {
        canvas.Pen.Color = vx::RGB(curve * 30, 0, 255 - curve * 30);
        const double base = 800 + curve * 700;
        for (int i = 0; i < points; ++i) {
            noise = noise * 1664525u + 1013904223u;
            const int x = 200 + static_cast<int>(int64_t(i) * 4500 / points);
            const int y = static_cast<int>(base + 250 * std::sin(i * 0.0007 * (curve + 1)) +
                                           static_cast<int>(noise >> 28) - 8);
            if (i == 0)
                canvas.MoveTo(x, y);
            else
                canvas.LineTo(x, y);
        }
    }
    return page;
}

void Play(benchmark::State& state, int width, int height) {
    const vx::Metafile page = MakePage();
    QImage image(width, height, QImage::Format_RGB32);
    for (auto _ : state) {
        image.fill(Qt::white);
        QPainter painter(&image);
        vx::PlayMetafile(painter, page, QRectF(0, 0, width, height));
        painter.end();
        benchmark::DoNotOptimize(image.constBits());
    }
    state.counters["points"] = 8.0 * 125000;
}

void BM_PlayAt600Dpi(benchmark::State& state) {
    Play(state, kPaperWidth, kPaperHeight);
}
void BM_PlayAt96Dpi(benchmark::State& state) {
    Play(state, kPaperWidth * 96 / 600, kPaperHeight * 96 / 600);
}
void BM_Record(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(MakePage().RecordCount());
}

BENCHMARK(BM_PlayAt600Dpi)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_PlayAt96Dpi)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_Record)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
