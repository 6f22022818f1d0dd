// The print solid of a 1500 x 1500 grid at the 1000 K budget: building its triangles, and laying
// them out as binary STL bytes (MB/s of file written).
#include "terrain/STLWriter.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>

namespace {

const kv::TTerrainSamples& BenchSamples()
{
    static const kv::TTerrainSamples samples = [] {
        auto grid = std::make_unique<kv::TTopoGrid>();
        for (int32_t c = 0; c < kv::TopoCapacity; ++c)
            for (int32_t r = 0; r < kv::TopoCapacity; ++r)
                grid->Set(c, r, 800 + 300 * std::sin(c * 0.011) * std::cos(r * 0.007));
        grid->SetSize(kv::TopoCapacity, kv::TopoCapacity);
        kv::TTerrainSource source;
        source.Grid = grid.get();
        source.EastSpacing = 30;
        source.NorthSpacing = 30;
        return kv::SampleTerrain(source, kv::TerrainBudgetMaxK);
    }();
    return samples;
}

void BM_BuildPrintSolid(benchmark::State& state)
{
    int64_t triangles = 0;
    for (auto _ : state) {
        const kv::TPrintSolid solid = kv::BuildPrintSolid(BenchSamples(), {});
        triangles = solid.TriangleCount();
        benchmark::DoNotOptimize(solid.Corners.data());
    }
    state.counters["triangles/s"] =
        benchmark::Counter(double(triangles) * double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_BuildPrintSolid)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_STLBytes(benchmark::State& state)
{
    const kv::TPrintSolid solid = kv::BuildPrintSolid(BenchSamples(), {});
    size_t bytes = 0;
    for (auto _ : state) {
        const std::string file = kv::STLBytes(solid);
        bytes = file.size();
        benchmark::DoNotOptimize(file.data());
    }
    state.SetBytesProcessed(int64_t(bytes) * state.iterations());
}
BENCHMARK(BM_STLBytes)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
