// Import of long acquisitions: test files of a million rows and sixteen channels of numeric
// texts. Two layouts: the varied texts shared with the other benchmarks, and a logger's plain
// "%.4f" values in -1000..1000 with CR LF and five lines before the values, read both by the
// plain import and through a load model. Reports the throughput in file bytes and the memory
// the import needs: the peak of the process while it runs, its minor page faults and what the
// loaded test holds.

#include "data/Databuff.h"
#include "data/Modellocaricamento.h"
#include "data/ProvaText.h"
#include "data/Settings.h"
#include "platform/runtime/FormatSettings.h"

#include "BenchData.h"

#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <string>

namespace {

constexpr int kRows = 1'000'000;
constexpr int kChannels = 16;
constexpr int64_t kValues = int64_t{kRows} * kChannels;

// Written once, in pieces, so that the generator's memory stays out of the figures. The
// header gets the start of the file, the value gets the random source and its channel.
class BenchFile {
public:
    using Header = std::function<std::string()>;
    using Value = std::function<void(std::string&, std::mt19937&, int)>;

    BenchFile(const char* name, const Header& header, const Value& value)
        : path_(std::filesystem::temp_directory_path() / name) {
        std::ofstream file(path_, std::ios::binary | std::ios::trunc);
        std::string piece = header();
        std::mt19937 random(42);
        for (int r = 0; r < kRows; ++r) {
            for (int c = 0; c < kChannels; ++c) {
                value(piece, random, c);
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
    BenchFile(const BenchFile&) = delete;
    BenchFile& operator=(const BenchFile&) = delete;

    std::string Path() const { return path_.string(); }
    int64_t Size() const { return static_cast<int64_t>(std::filesystem::file_size(path_)); }

private:
    std::filesystem::path path_;
};

std::string Row(const std::function<std::string(int)>& cell) {
    std::string row;
    for (int c = 0; c < kChannels; ++c)
        row += cell(c) + (c + 1 < kChannels ? "\t" : "\r\n");
    return row;
}

// Names on line 2, values from line 5.
const BenchFile& VariedFile() {
    static const BenchFile file(
        "vx_provatext_bench.txt",
        [] {
            return "Bench\tline\r\n" + Row([](int c) { return "Channel " + std::to_string(c); }) +
                   Row([](int c) { return std::string(c % 2 ? "bar" : "rpm"); }) + "\r\n";
        },
        [](std::string& out, std::mt19937& random, int) {
            out += vx::bench::RandomValueText(random);
        });
    return file;
}

// Two header rows, names on line 3, units, a line passed over, values from line 6.
constexpr int32_t kLoggerNamesRow = 3;

const BenchFile& LoggerFile() {
    static const BenchFile file(
        "vx_provatext_logger.txt",
        [] {
            return std::string("Acquisition\t2026-12-10 08:00:00\r\n"
                               "Bench\tB7\tOperator\tRossi\r\n") +
                   Row([](int c) { return "CH" + std::to_string(c + 1); }) +
                   Row([](int c) { return std::string(c % 2 ? "bar" : "degC"); }) +
                   Row([](int) { return std::string("0"); });
        },
        [](std::string& out, std::mt19937& random, int) {
            std::uniform_real_distribution<double> value(-1000.0, 1000.0);
            char text[32];
            const int n = std::snprintf(text, sizeof text, "%.4f", value(random));
            out.append(text, static_cast<size_t>(n));
        });
    return file;
}

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

int64_t MinorFaults() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_minflt;
}

void PrepareSettings(int32_t namesRow) {
    vx::FormatSettings().DecimalSeparator = '.';
    vx::DocDecimalSeparator = '.';
    vx::ImpostazioniRec.Clear();
    vx::ImpostazioniRec.SetNamesRow(namesRow);
}

// Runs one import per iteration into a fresh buffer and reports its figures; the last
// iteration's memory figures stand for all (they hardly vary).
void MeasureImports(benchmark::State& state, const BenchFile& file,
                    const std::function<void(vx::TDatabuffer&)>& import) {
    int64_t peak = 0;
    int64_t peakAbove = 0;
    int64_t faults = 0;
    size_t held = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const int64_t before = StatusBytes("VmRSS:");
        ResetPeak();
        const int64_t faultsBefore = MinorFaults();
        state.ResumeTiming();
        {
            vx::TDatabuffer buffer;
            import(buffer);
            state.PauseTiming();
            faults = MinorFaults() - faultsBefore;
            peak = StatusBytes("VmHWM:");
            peakAbove = peak - before;
            if (buffer.ProvaCount() != 1) {
                state.SkipWithError("no test was imported");
                break;
            }
            const vx::TdataProva& test = buffer.GetProva(0);
            if (test.RowIndex.Count() != kRows || test.ChannelCount() != kChannels ||
                test.GetChannel(kChannels - 1).Count() != kRows)
                state.SkipWithError("the file was not read whole");
            held = test.RowIndex.MemoryUsage();
            for (int c = 0; c < test.VectorCount(); ++c)
                held += test.GetChannel(c).MemoryUsage();
        }
        state.ResumeTiming();
    }
    constexpr double kMiB = 1024.0 * 1024.0;
    state.SetBytesProcessed(state.iterations() * file.Size());
    // Decimal megabytes, next to the library's binary bytes_per_second.
    state.counters["MB_per_s"] = benchmark::Counter(static_cast<double>(file.Size()) / 1e6,
                                                    benchmark::Counter::kIsIterationInvariantRate);
    state.counters["file_MB"] = static_cast<double>(file.Size()) / 1e6;
    state.counters["peak_MiB"] = static_cast<double>(peak) / kMiB;
    state.counters["peak_above_start_MiB"] = static_cast<double>(peakAbove) / kMiB;
    state.counters["minor_faults"] = static_cast<double>(faults);
    state.counters["held_MiB"] = static_cast<double>(held) / kMiB;
    state.counters["held_bytes_per_value"] = static_cast<double>(held) / kValues;
}

void BM_LoadProvaText(benchmark::State& state) {
    const BenchFile& file = VariedFile();
    PrepareSettings(2);
    MeasureImports(state, file,
                   [&](vx::TDatabuffer& buffer) { vx::LoadProvaText(buffer, file.Path()); });
}
BENCHMARK(BM_LoadProvaText)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_LoadProvaTextLogger(benchmark::State& state) {
    const BenchFile& file = LoggerFile();
    PrepareSettings(kLoggerNamesRow);
    MeasureImports(state, file,
                   [&](vx::TDatabuffer& buffer) { vx::LoadProvaText(buffer, file.Path()); });
}
BENCHMARK(BM_LoadProvaTextLogger)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1)
    ->Repetitions(5);

// As the document loader does it: the model read from its .WHF file, then the columns
// counted and the test read at the model's positions.
void BM_LoadModelLogger(benchmark::State& state) {
    const BenchFile& file = LoggerFile();
    PrepareSettings(kLoggerNamesRow);
    const std::string modelPath =
        (std::filesystem::temp_directory_path() / "vx_provatext_logger.whf").string();
    {
        vx::TModellocaricamento model;
        model.Mask = "txt";
        model.NamesPos = {1, kLoggerNamesRow};
        model.UnitsPos = {1, kLoggerNamesRow + 1};
        model.DataPos = {1, kLoggerNamesRow + 3};
        if (!model.SaveToFile(modelPath)) {
            state.SkipWithError("the load model cannot be written");
            return;
        }
    }
    MeasureImports(state, file, [&](vx::TDatabuffer& buffer) {
        vx::TModellocaricamento model;
        int vectors = 0;
        if (!model.LoadFromFile(modelPath) ||
            !vx::CountProvaColumns(model.DataPos.Col, model.DataPos.Row, file.Path(), vectors))
            return;
        vx::TdataProva& test = buffer.AddProva(vectors);
        vx::ReadProvaText({}, model.NamesPos, model.UnitsPos, file.Path(), test, model.DataPos);
    });
    std::filesystem::remove(modelPath);
}
BENCHMARK(BM_LoadModelLogger)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1)
    ->Repetitions(5);

} // namespace

BENCHMARK_MAIN();
