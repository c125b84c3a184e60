// The test chooser's preview of a large test file: lines 1 to 3, and a range further in, of
// files of growing size. The time should not grow with the file: reading stops after the
// last line wanted.

#include "app/GetProve.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

namespace {

// The files written for the run, removed when it ends.
struct BenchFiles {
    ~BenchFiles() {
        for (const auto& [size, path] : paths)
            std::filesystem::remove(path);
    }
    std::map<int64_t, std::string> paths;
};

// One file per size, written once: rows of eight numeric fields.
const std::string& BenchFile(int64_t megabytes) {
    static BenchFiles files;
    auto& path = files.paths[megabytes];
    if (!path.empty())
        return path;
    path = (std::filesystem::temp_directory_path() /
            ("vx_preview_bench_" + std::to_string(megabytes) + ".txt"))
               .string();
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    const std::string row = "0.125\t1.250\t12.50\t125.0\t-0.125\t-1.250\t-12.50\t-125.0\r\n";
    std::string block;
    while (block.size() < (1 << 20))
        block += row;
    for (int64_t i = 0; i < megabytes; ++i)
        file.write(block.data(), static_cast<std::streamsize>(block.size()));
    return path;
}

void BM_PreviewFirstLines(benchmark::State& state) {
    const std::string& path = BenchFile(state.range(0));
    std::vector<std::string> lines;
    for (auto _ : state) {
        vx::ReadPreviewLines(path, 1, 3, lines);
        benchmark::DoNotOptimize(lines.data());
    }
    state.SetLabel(std::to_string(state.range(0)) + " MB file");
}
BENCHMARK(BM_PreviewFirstLines)->Arg(1)->Arg(64)->Arg(512)->Unit(benchmark::kMicrosecond);

void BM_PreviewFurtherIn(benchmark::State& state) {
    const std::string& path = BenchFile(state.range(0));
    std::vector<std::string> lines;
    for (auto _ : state) {
        vx::ReadPreviewLines(path, 1000, 1100, lines);
        benchmark::DoNotOptimize(lines.data());
    }
    state.SetLabel(std::to_string(state.range(0)) + " MB file");
}
BENCHMARK(BM_PreviewFurtherIn)->Arg(1)->Arg(512)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
