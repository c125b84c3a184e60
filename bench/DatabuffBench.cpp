// The test data model at the size of a long acquisition: one test of a million rows and
// sixteen channels of numeric texts up to 12 characters, loaded from its stream, its caches
// recomputed and its rows sorted by one channel.

#include "data/Databuff.h"
#include "platform/runtime/FormatSettings.h"
#include "platform/runtime/Streams.h"

#include "BenchData.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <random>
#include <string>

namespace {

constexpr int kRows = 1'000'000;
constexpr int kChannels = 16;
constexpr int64_t kValues = int64_t{kRows} * kChannels;

std::string MakeStoredBuffer(bool full) {
    vx::TDatabuffer buffer;
    vx::TdataProva& test = buffer.AddProva(kChannels + 1);
    std::mt19937 random(42);
    for (int c = 0; c < kChannels; ++c) {
        test.ChannelNames.Add(std::to_string(c));
        test.Units.Add("u");
        vx::Tdatavector& channel = test.GetChannel(c);
        channel.Reserve(kRows, size_t{kRows} * 10);
        for (int r = 0; r < kRows; ++r)
            channel.AddTextRaw(vx::bench::RandomValueText(random, full));
    }
    vx::TMemoryStream stream;
    buffer.SaveToStream(stream);
    return stream.Bytes();
}

const std::string& StoredBuffer(bool full = false) {
    static const std::string mixed = MakeStoredBuffer(false);
    if (!full)
        return mixed;
    static const std::string twelve = MakeStoredBuffer(true);
    return twelve;
}

void Setup() {
    vx::FormatSettings().DecimalSeparator = '.';
    vx::DocDecimalSeparator = '.';
}

std::unique_ptr<vx::TDatabuffer> LoadedBuffer() {
    vx::TMemoryStream stream(StoredBuffer());
    auto buffer = std::make_unique<vx::TDatabuffer>();
    buffer->LoadFromStream(stream);
    return buffer;
}

void BM_LoadFromStream(benchmark::State& state) {
    Setup();
    const std::string& bytes = StoredBuffer(state.range(0) == 12);
    size_t held = 0;
    for (auto _ : state) {
        vx::TMemoryStream stream(bytes);
        vx::TDatabuffer buffer;
        buffer.LoadFromStream(stream);
        state.PauseTiming();
        held = 0;
        const vx::TdataProva& test = buffer.GetProva(0);
        for (int c = 0; c < test.VectorCount(); ++c)
            held += test.GetChannel(c).MemoryUsage();
        state.ResumeTiming();
    }
    state.counters["bytes_per_value"] = static_cast<double>(held) / kValues;
    state.counters["stream_MB"] = static_cast<double>(bytes.size()) / 1e6;
    state.counters["values_per_s"] = benchmark::Counter(
        static_cast<double>(kValues), benchmark::Counter::kIsIterationInvariantRate);
}
// Argument 0: texts of 1 to 12 characters; 12: every text 12 characters long.
BENCHMARK(BM_LoadFromStream)->Arg(0)->Arg(12)->Unit(benchmark::kMillisecond);

// RecomputeMinMax reads every value once for both caches.
void BM_RecomputeMinMax(benchmark::State& state) {
    Setup();
    auto buffer = LoadedBuffer();
    vx::TdataProva& test = buffer->GetProva(0);
    for (auto _ : state) {
        for (int c = 0; c < kChannels; ++c)
            test.GetChannel(c).RecomputeMinMax();
    }
    benchmark::DoNotOptimize(test.GetChannel(0).Max());
    state.counters["number_reads_per_s"] = benchmark::Counter(
        static_cast<double>(kValues), benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_RecomputeMinMax)->Unit(benchmark::kMillisecond);

// Row by row through GetFloat, as axes and expressions read.
void BM_GetFloat(benchmark::State& state) {
    Setup();
    auto buffer = LoadedBuffer();
    vx::Tdatavector& channel = buffer->GetProva(0).GetChannel(3);
    for (auto _ : state) {
        double sum = 0;
        for (int r = 0; r < kRows; ++r)
            sum += channel.GetFloat(r);
        benchmark::DoNotOptimize(sum);
    }
    state.counters["number_reads_per_s"] = benchmark::Counter(
        static_cast<double>(kRows), benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_GetFloat)->Unit(benchmark::kMillisecond);

void BM_SortByChannel(benchmark::State& state) {
    Setup();
    auto buffer = LoadedBuffer();
    buffer->UpdateMinMax();
    for (auto _ : state) {
        buffer->SetSortChannel(5);
        state.PauseTiming();
        buffer->SetSortChannel(-1);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_SortByChannel)->Unit(benchmark::kMillisecond);

void BM_SortBackToAcquisitionOrder(benchmark::State& state) {
    Setup();
    auto buffer = LoadedBuffer();
    buffer->UpdateMinMax();
    for (auto _ : state) {
        state.PauseTiming();
        buffer->SetSortChannel(5);
        state.ResumeTiming();
        buffer->SetSortChannel(-1);
    }
}
BENCHMARK(BM_SortBackToAcquisitionOrder)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
