// Import of a long acquisition: a test file of a million rows and sixteen channels of numeric
// texts, read by the plain import. Reports the throughput in file bytes and the memory the
// import needs: the peak of the process while it runs, and what the loaded test holds.

#include "data/Databuff.h"
#include "data/ProvaText.h"
#include "data/Settings.h"
#include "platform/runtime/FormatSettings.h"

#include "BenchData.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

namespace {

constexpr int kRows = 1'000'000;
constexpr int kChannels = 16;
constexpr int64_t kValues = int64_t{kRows} * kChannels;

// Written once, in pieces, so that the generator's memory stays out of the figures.
class BenchFile {
public:
    BenchFile() : path_(std::filesystem::temp_directory_path() / "vx_provatext_bench.txt") {
        std::ofstream file(path_, std::ios::binary | std::ios::trunc);
        std::string piece = "Bench\tline\r\n";
        for (int c = 0; c < kChannels; ++c)
            piece += "Channel " + std::to_string(c) + (c + 1 < kChannels ? "\t" : "\r\n");
        for (int c = 0; c < kChannels; ++c)
            piece += std::string(c % 2 ? "bar" : "rpm") + (c + 1 < kChannels ? "\t" : "\r\n");
        piece += "\r\n";
        std::mt19937 random(42);
        for (int r = 0; r < kRows; ++r) {
            for (int c = 0; c < kChannels; ++c) {
                piece += vx::bench::RandomValueText(random);
                piece += c + 1 < kChannels ? "\t" : "\r\n";
            }
            if (piece.size() > (1 << 20)) {
                file.write(piece.data(), static_cast<std::streamsize>(piece.size()));
                piece.clear();
            }
        }
        file.write(piece.data(), static_cast<std::streamsize>(piece.size()));
    }
    ~BenchFile() { std::filesystem::remove(path_); }

    std::string Path() const { return path_.string(); }
    int64_t Size() const { return static_cast<int64_t>(std::filesystem::file_size(path_)); }

private:
    std::filesystem::path path_;
};

// VmRSS or VmHWM of this process, in bytes.
int64_t StatusBytes(const char* key) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(key, 0) == 0)
            return std::stoll(line.substr(std::string(key).size())) * 1024;
    }
    return 0;
}

// Lets VmHWM start again from the current resident size.
void ResetPeak() {
    std::ofstream("/proc/self/clear_refs") << "5";
}

void BM_LoadProvaText(benchmark::State& state) {
    static const BenchFile file;
    vx::FormatSettings().DecimalSeparator = '.';
    vx::DocDecimalSeparator = '.';
    vx::ImpostazioniRec.Clear();
    vx::ImpostazioniRec.SetNamesRow(2);

    int64_t peak = 0;
    size_t held = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const int64_t before = StatusBytes("VmRSS:");
        ResetPeak();
        state.ResumeTiming();
        {
            vx::TDatabuffer buffer;
            vx::LoadProvaText(buffer, file.Path());
            state.PauseTiming();
            peak = StatusBytes("VmHWM:") - before;
            const vx::TdataProva& test = buffer.GetProva(0);
            if (test.RowIndex.Count() != kRows || test.ChannelCount() != kChannels)
                state.SkipWithError("the file was not read whole");
            held = test.RowIndex.MemoryUsage();
            for (int c = 0; c < test.VectorCount(); ++c)
                held += test.GetChannel(c).MemoryUsage();
        }
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * file.Size());
    // Decimal megabytes, next to the library's binary bytes_per_second.
    state.counters["MB_per_s"] = benchmark::Counter(static_cast<double>(file.Size()) / 1e6,
                                                    benchmark::Counter::kIsIterationInvariantRate);
    state.counters["file_MB"] = static_cast<double>(file.Size()) / 1e6;
    state.counters["peak_MB"] = static_cast<double>(peak) / 1e6;
    state.counters["held_MB"] = static_cast<double>(held) / 1e6;
    state.counters["held_bytes_per_value"] = static_cast<double>(held) / kValues;
}
BENCHMARK(BM_LoadProvaText)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
