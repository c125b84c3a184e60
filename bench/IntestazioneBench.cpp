// Keyed channel placeholders of a header cell over a long acquisition: one test of a million
// rows and sixteen channels, channel 1 the key. Each placeholder scans the key channel and
// reads only the channel it asks for; nothing is copied.

#include "data/Databuff.h"
#include "report/Intestazione.h"

#include "BenchData.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <random>
#include <string>

namespace {

constexpr int kRows = 1'000'000;
constexpr int kChannels = 16;

std::unique_ptr<vx::TDatabuffer> MakeBuffer() {
    auto buffer = std::make_unique<vx::TDatabuffer>();
    vx::TdataProva& test = buffer->AddProva(kChannels + 1);
    std::mt19937 random(7);
    const char* const keys[] = {"A", "B", "C", "D"};
    for (int c = 0; c < kChannels; ++c) {
        vx::Tdatavector& channel = test.GetChannel(c);
        channel.Reserve(kRows, size_t{kRows} * 10);
        for (int r = 0; r < kRows; ++r)
            channel.AddText(c == 1 ? std::string(keys[random() % 4])
                                   : vx::bench::RandomValueText(random));
    }
    return buffer;
}

void BM_FourKeyedPlaceholders(benchmark::State& state) {
    static const std::unique_ptr<vx::TDatabuffer> buffer = MakeBuffer();
    vx::TIntestazione table(nullptr);
    table.DataBuffer = buffer.get();
    const std::string line = "&<CHN;1;0;MAX;0.2;A> &<CHN;1;5;MIN;0.2;B> "
                             "&<CHN;1;7;LAST;0.2;C> &<CHN;1;9;200000;0.2;D>";
    for (auto _ : state)
        benchmark::DoNotOptimize(table.ExpandCellText(line));
}
BENCHMARK(BM_FourKeyedPlaceholders)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
