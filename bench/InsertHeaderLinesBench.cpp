// Header lines inserted into a long test: two lines at row 3 of a generated test of about
// 150 MB (and of a tenth of that, to show that memory does not follow the size). Reports the
// throughput in test bytes and the peak resident memory of the process.

#include "app/convertivrx.h"

#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

class BenchTest {
public:
    BenchTest(const char* name, int64_t bytes)
        : path_(std::filesystem::temp_directory_path() / name) {
        std::ofstream file(path_, std::ios::binary | std::ios::trunc);
        std::string piece = "4\tBanco 7\r\nForza\tCorsa\tTempo\r\nkN\tmm\ts\r\n-\r\n";
        char row[64];
        for (int64_t r = 0; written_ + static_cast<int64_t>(piece.size()) < bytes; ++r) {
            const int n = std::snprintf(row, sizeof row, "%lld,%03d\t%lld,%02d\t%lld\r\n",
                                        static_cast<long long>(r % 9973),
                                        static_cast<int>(r % 1000), static_cast<long long>(r % 511),
                                        static_cast<int>(r % 100), static_cast<long long>(r));
            piece.append(row, static_cast<size_t>(n));
            if (piece.size() > (1 << 20)) {
                file.write(piece.data(), static_cast<std::streamsize>(piece.size()));
                written_ += static_cast<int64_t>(piece.size());
                piece.clear();
            }
        }
        file.write(piece.data(), static_cast<std::streamsize>(piece.size()));
        written_ += static_cast<int64_t>(piece.size());
    }
    ~BenchTest() { std::filesystem::remove(path_); }
    BenchTest(const BenchTest&) = delete;
    BenchTest& operator=(const BenchTest&) = delete;

    std::string Path() const { return path_.string(); }
    int64_t Size() const { return written_; }

private:
    std::filesystem::path path_;
    int64_t written_ = 0;
};

double PeakResidentMb() {
    struct rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

void BM_InsertHeaderLines(benchmark::State& state) {
    BenchTest test("vx_insert_bench.txt", state.range(0) << 20);
    vx::TInsertChoices choices;
    choices.NewPath = true;
    choices.NewRoot = std::filesystem::temp_directory_path() / "vx_insert_out";
    std::string output;
    for (auto _ : state)
        output = vx::InsertHeaderLines(test.Path(), 3, {"Data\t2026-12-10", "Turno\tB"}, choices);
    state.SetBytesProcessed(state.iterations() * test.Size());
    state.counters["test_MB"] = static_cast<double>(test.Size()) / 1e6;
    state.counters["MB_per_s"] = benchmark::Counter(static_cast<double>(test.Size()) / 1e6,
                                                    benchmark::Counter::kIsIterationInvariantRate);
    state.counters["peak_RSS_MB"] = PeakResidentMb();
    std::filesystem::remove_all(choices.NewRoot);
}
BENCHMARK(BM_InsertHeaderLines)->Arg(15)->Arg(150)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
