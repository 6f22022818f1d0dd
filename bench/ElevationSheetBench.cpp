// The elevation editor's waits on a full 1500 x 1500 topo grid: opening (the grid shown as texts
// in feet), the size readout after each edited cell (the extent) and OK (the extent found and
// every text read back into the grid).
#include "mapview/ElevationSheet.h"

#include <benchmark/benchmark.h>

#include <cmath>

namespace {

const kv::TTopoGrid& FullGrid()
{
    static const kv::TTopoGrid grid = [] {
        kv::TTopoGrid g;
        g.SetSize(kv::TopoCapacity, kv::TopoCapacity);
        for (int32_t c = 0; c < kv::TopoCapacity; ++c)
            for (int32_t r = 0; r < kv::TopoCapacity; ++r)
                g.Set(c, r, 300.0 + 120.0 * std::sin(c / 57.0) * std::cos(r / 71.0));
        return g;
    }();
    return grid;
}

constexpr double Feet = 3.280839895013123;

void BM_FillFromGrid(benchmark::State& state)
{
    kv::TElevationSheet sheet;
    for (auto _ : state) {
        sheet.FillFromGrid(FullGrid(), Feet);
        benchmark::DoNotOptimize(sheet.CellText(1, 1).data());
    }
    state.counters["cells/s"] = benchmark::Counter(double(state.iterations()) * kv::TopoCapacity * kv::TopoCapacity,
                                                   benchmark::Counter::kIsRate);
}
BENCHMARK(BM_FillFromGrid)->Unit(benchmark::kMillisecond);

void BM_WriteToGrid(benchmark::State& state)
{
    kv::TElevationSheet sheet;
    sheet.FillFromGrid(FullGrid(), Feet);
    kv::TTopoGrid grid;
    for (auto _ : state) {
        benchmark::DoNotOptimize(sheet.WriteToGrid(grid, Feet));
    }
    state.counters["cells/s"] = benchmark::Counter(double(state.iterations()) * kv::TopoCapacity * kv::TopoCapacity,
                                                   benchmark::Counter::kIsRate);
}
BENCHMARK(BM_WriteToGrid)->Unit(benchmark::kMillisecond);

void BM_Extent(benchmark::State& state)
{
    kv::TElevationSheet sheet;
    sheet.FillFromGrid(FullGrid(), Feet);
    for (auto _ : state)
        benchmark::DoNotOptimize(sheet.Extent());
    state.counters["cells/s"] = benchmark::Counter(double(state.iterations()) * kv::TopoCapacity * kv::TopoCapacity,
                                                   benchmark::Counter::kIsRate);
}
BENCHMARK(BM_Extent)->Unit(benchmark::kMillisecond);

} // namespace
