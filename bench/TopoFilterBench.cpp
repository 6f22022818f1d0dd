// The filter dialog on a full 1500 x 1500 topo grid: the step-ratio profile it graphs and one
// "Smooth Data" pass, in both directions.
#include "mapview/TopoFilter.h"

#include <benchmark/benchmark.h>

#include <cmath>

namespace {

kv::TTopoGrid StripedGrid()
{
    kv::TTopoGrid g;
    g.SetSize(kv::TopoCapacity, kv::TopoCapacity);
    for (int32_t c = 0; c < kv::TopoCapacity; ++c)
        for (int32_t r = 0; r < kv::TopoCapacity; ++r)
            g.Set(c, r, 500.0 + 200.0 * std::sin(c / 83.0) * std::cos(r / 61.0) + (c % 3 == 0 ? 4.0 : 0.0));
    return g;
}

void SetCellRate(benchmark::State& state)
{
    state.counters["cells/s"] = benchmark::Counter(double(state.iterations()) * kv::TopoCapacity * kv::TopoCapacity,
                                                   benchmark::Counter::kIsRate);
}

// state.range(0): 0 West-East, 1 South-North.
void BM_StepRatioProfile(benchmark::State& state)
{
    const kv::TTopoGrid grid = StripedGrid();
    for (auto _ : state)
        benchmark::DoNotOptimize(kv::StepRatioProfile(grid, kv::TFilterDirection(state.range(0))));
    SetCellRate(state);
}
BENCHMARK(BM_StepRatioProfile)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_SmoothTopo(benchmark::State& state)
{
    kv::TTopoGrid grid = StripedGrid();
    for (auto _ : state) {
        kv::SmoothTopo(grid, kv::TFilterDirection(state.range(0)));
        benchmark::DoNotOptimize(grid.Get(7, 7));
    }
    SetCellRate(state);
}
BENCHMARK(BM_SmoothTopo)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace
