// Row filter speed: the filter text is compiled once per row (as the row filter does) or once
// for all rows, and evaluated over a million rows of two channels.

#include "data/prExpr.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

using namespace vx;

constexpr int kRows = 1000000;
// AND binds tighter than the comparisons, so they need their parentheses.
constexpr const char* kFilter = "(CHN(0) > 5) AND (CHN(1) < 3)";

// Two channels and a current row, standing in for a test's data.
struct TRows {
    std::vector<double> channels[2];
    int currentRow = 0;

    TRows() {
        for (auto& c : channels)
            c.resize(kRows);
        for (int i = 0; i < kRows; ++i) {
            channels[0][i] = i % 10;
            channels[1][i] = (i * 7) % 5;
        }
    }
};

// CHN(n): channel n at the current row.
class TChannelStandIn final : public TFunction {
public:
    TChannelStandIn(TParameterList params, const TRows& rows)
        : TFunction(std::move(params)), rows_(rows) {}
    bool TestParameters() override {
        return ParameterCount() == 1 && Param(0).CanReadAs(TExprType::Integer);
    }
    double AsFloat() override {
        const int n = Param(0).AsInteger();
        return rows_.channels[n & 1][static_cast<size_t>(rows_.currentRow)];
    }
    TExprType ExprType() override { return TExprType::Float; }
    std::string_view ClassName() const override { return "TChannelStandIn"; }

private:
    const TRows& rows_;
};

TIdentifierFunction ChannelFunction(const TRows& rows) {
    return [&rows](std::string_view name, TParameterList params) {
        if (name == "CHN")
            return IValueRef(new TChannelStandIn(std::move(params), rows));
        return IValueRef();
    };
}

void BM_CompilePerRow(benchmark::State& state) {
    TRows rows;
    const TIdentifierFunction identifiers = ChannelFunction(rows);
    int kept = 0;
    for (auto _ : state) {
        kept = 0;
        for (rows.currentRow = 0; rows.currentRow < kRows; ++rows.currentRow) {
            IValueRef filter;
            CreateExpression(kFilter, filter, identifiers);
            kept += filter->AsFloat() != 0;
        }
        benchmark::DoNotOptimize(kept);
    }
    state.counters["rows/s"] = benchmark::Counter(static_cast<double>(kRows),
                                                  benchmark::Counter::kIsIterationInvariantRate);
    state.counters["kept"] = kept;
}
BENCHMARK(BM_CompilePerRow)->Unit(benchmark::kMillisecond);

void BM_CompileOnce(benchmark::State& state) {
    TRows rows;
    const TIdentifierFunction identifiers = ChannelFunction(rows);
    int kept = 0;
    for (auto _ : state) {
        kept = 0;
        IValueRef filter;
        CreateExpression(kFilter, filter, identifiers);
        for (rows.currentRow = 0; rows.currentRow < kRows; ++rows.currentRow)
            kept += filter->AsFloat() != 0;
        benchmark::DoNotOptimize(kept);
    }
    state.counters["rows/s"] = benchmark::Counter(static_cast<double>(kRows),
                                                  benchmark::Counter::kIsIterationInvariantRate);
    state.counters["kept"] = kept;
}
BENCHMARK(BM_CompileOnce)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
