// A save through a temporary beside the target: its cost for a small and a large file, and
// in a folder crowded with other files, which each save lists to find the leftovers of
// killed saves of its own file.
#include "platform/runtime/Streams.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <string>

namespace {

void BM_WriteFileAtomically(benchmark::State& state) {
    QTemporaryDir dir;
    const std::string folder = dir.path().toStdString() + "/";
    for (int64_t i = 0; i < state.range(1); ++i)
        vx::WriteFileAtomically(folder + "other" + std::to_string(i) + ".vrx", "x");
    const std::string bytes(static_cast<size_t>(state.range(0)), 'd');
    for (auto _ : state)
        vx::WriteFileAtomically(folder + "doc.vrx", bytes);
    state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_WriteFileAtomically)
    ->Args({4096, 0})
    ->Args({4096, 10000})
    ->Args({16 << 20, 0})
    ->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
