// The row filter and the grouping at the size of a long acquisition: one test of a million
// rows and sixteen channels; channel 15 holds one of eight key texts, in no particular order.

#include "data/ChannelFunctions.h"
#include "data/DataCollection.h"
#include "data/Databuff.h"
#include "platform/runtime/FormatSettings.h"

#include "BenchData.h"

#include <benchmark/benchmark.h>

#include <random>
#include <string>

namespace {

constexpr int kRows = 1'000'000;
constexpr int kChannels = 16;
constexpr int kKeyChannel = 15;
// Keeps about half of the rows.
constexpr const char* kTwoConditions = "(CHN(0) > 0) AND (CHN(1) < 5000)";

vx::TDatabuffer& Buffer() {
    static vx::TDatabuffer* buffer = [] {
        vx::FormatSettings().DecimalSeparator = '.';
        vx::DocDecimalSeparator = '.';
        auto* made = new vx::TDatabuffer;
        vx::TdataProva& test = made->AddProva(kChannels + 1);
        std::mt19937 random(42);
        for (int c = 0; c < kChannels; ++c) {
            vx::Tdatavector& channel = test.GetChannel(c);
            channel.Reserve(kRows, size_t{kRows} * 10);
            for (int r = 0; r < kRows; ++r)
                channel.AddTextRaw(c == kKeyChannel
                                       ? std::string(1, static_cast<char>('A' + random() % 8))
                                       : vx::bench::RandomValueText(random));
        }
        return made;
    }();
    return *buffer;
}

void Report(benchmark::State& state, const vx::TDataCollection& collection, int rows) {
    int kept = 0;
    for (int s = 0; s < collection.SectionCount(); ++s)
        kept += collection.GetSection(s).GetProva(0).GetChannel(0).Count();
    state.counters["sections"] = collection.SectionCount();
    state.counters["rows_kept"] = kept;
    state.counters["rows_per_s"] = benchmark::Counter(
        static_cast<double>(rows), benchmark::Counter::kIsIterationInvariantRate);
}

void RunCollection(benchmark::State& state, const vx::tdatafilter& filter) {
    vx::TDatabuffer& buffer = Buffer();
    for (auto _ : state) {
        const vx::TDataCollection collection(buffer, filter);
        state.PauseTiming();
        Report(state, collection, kRows);
        state.ResumeTiming();
    }
}

void BM_FilterTwoConditions(benchmark::State& state) {
    RunCollection(state, {kTwoConditions, -1, 0});
}
BENCHMARK(BM_FilterTwoConditions)->Unit(benchmark::kMillisecond);

void BM_GroupByKey(benchmark::State& state) {
    RunCollection(state, {"", kKeyChannel, 0});
}
BENCHMARK(BM_GroupByKey)->Unit(benchmark::kMillisecond);

void BM_FilterTwoConditionsAndGroupByKey(benchmark::State& state) {
    RunCollection(state, {kTwoConditions, kKeyChannel, 0});
}
BENCHMARK(BM_FilterTwoConditionsAndGroupByKey)->Unit(benchmark::kMillisecond);

// For comparison: the expression compiled afresh at every row, over the first tenth of the
// rows, without copying.
void BM_CompileEveryRow(benchmark::State& state) {
    vx::TDatabuffer& buffer = Buffer();
    const vx::TIdentifierFunction identifiers = vx::ChannelIdentifiers(buffer);
    constexpr int kRowsCompiled = kRows / 10;
    buffer.CurrentTest = 0;
    for (auto _ : state) {
        int kept = 0;
        for (int row = 0; row < kRowsCompiled; ++row) {
            buffer.CurrentRow = row;
            vx::IValueRef value;
            vx::CreateExpression(kTwoConditions, value, identifiers);
            kept += value->AsFloat() != 0;
        }
        benchmark::DoNotOptimize(kept);
    }
    state.counters["rows_per_s"] = benchmark::Counter(
        static_cast<double>(kRowsCompiled), benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_CompileEveryRow)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
