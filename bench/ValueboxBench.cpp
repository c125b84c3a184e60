// The value box on a long acquisition: a test of a million rows and sixteen channels opened in
// the box (collection, column widths, first paint), and the memory that opening adds.
#include "data/Databuff.h"
#include "document/Valuebox.h"
#include "document/clipGrid.h"
#include "platform/runtime/FormatSettings.h"

#include "BenchData.h"

#include <QApplication>
#include <benchmark/benchmark.h>

#include <fstream>
#include <memory>
#include <random>
#include <string>

namespace {

constexpr int kRows = 1'000'000;
constexpr int kChannels = 16;

vx::TDatabuffer& Buffer() {
    static vx::TDatabuffer* buffer = [] {
        vx::FormatSettings().DecimalSeparator = '.';
        vx::DocDecimalSeparator = '.';
        auto* made = new vx::TDatabuffer;
        vx::TdataProva& test = made->AddProva(kChannels + 1);
        test.FileName = "/bench/long.txt";
        std::mt19937 random(42);
        for (int c = 0; c < kChannels; ++c) {
            test.ChannelNames.Add("Channel " + std::to_string(c));
            test.Units.Add("u");
            vx::Tdatavector& channel = test.GetChannel(c);
            channel.Reserve(kRows, size_t{kRows} * 10);
            for (int r = 0; r < kRows; ++r)
                channel.AddTextRaw(vx::bench::RandomValueText(random));
        }
        return made;
    }();
    return *buffer;
}

// Resident memory in bytes, from the kernel's own count.
int64_t ResidentBytes() {
    std::ifstream status("/proc/self/statm");
    int64_t size = 0, resident = 0;
    status >> size >> resident;
    return resident * 4096;
}

void BM_OpenValueBox(benchmark::State& state) {
    vx::TDatabuffer& buffer = Buffer();
    int64_t added = 0;
    for (auto _ : state) {
        const int64_t before = ResidentBytes();
        auto box = std::unique_ptr<vx::TformValuebox>(vx::CreateForm<vx::TformValuebox>());
        box->Data = &buffer;
        box->FormActivate(box.get());
        benchmark::DoNotOptimize(box->Grid1->grab());
        added = std::max(added, ResidentBytes() - before);
        state.PauseTiming();
        box.reset();
        state.ResumeTiming();
    }
    state.counters["added_MB"] = static_cast<double>(added) / (1 << 20);
}
BENCHMARK(BM_OpenValueBox)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    Buffer();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
