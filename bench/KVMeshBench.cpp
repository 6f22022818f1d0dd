// The terrain conversion at its largest budget: a 1500 x 1500 topo grid (the editor's capacity)
// thinned to 1000 K triangles, the base built, the terrain's vertex normals smoothed at 89
// degrees; and the resampling alone. Rates are terrain triangles per second.
#include "terrain/KVMesh.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>

namespace {

const kv::TTopoGrid& BenchGrid()
{
    static const std::unique_ptr<kv::TTopoGrid> grid = [] {
        auto g = std::make_unique<kv::TTopoGrid>();
        for (int32_t c = 0; c < kv::TopoCapacity; ++c)
            for (int32_t r = 0; r < kv::TopoCapacity; ++r)
                g->Set(c, r, 800 + 300 * std::sin(c * 0.011) * std::cos(r * 0.007) + 20 * std::sin(c * 0.2 + r * 0.13));
        g->SetSize(kv::TopoCapacity, kv::TopoCapacity);
        return g;
    }();
    return *grid;
}

kv::TTerrainSource Source()
{
    kv::TTerrainSource source;
    source.Grid = &BenchGrid();
    source.EastSpacing = 30;
    source.NorthSpacing = 30;
    return source;
}

void BM_ConvertTerrainWithNormals(benchmark::State& state)
{
    kv::TTerrainSettings settings;
    settings.BudgetK = kv::TerrainBudgetMaxK;
    kv::TGLMesh terrain;
    kv::TGLMesh base;
    BenchGrid(); // made once, outside the timing
    for (auto _ : state) {
        kv::ConvertTerrain(Source(), settings, terrain, base);
        benchmark::DoNotOptimize(terrain.VertexNormals.Count());
    }
    state.counters["triangles"] = double(terrain.FaceCount());
    state.counters["triangles/s"] =
        benchmark::Counter(double(terrain.FaceCount()) * double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ConvertTerrainWithNormals)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_SampleTerrain(benchmark::State& state)
{
    int64_t samples = 0;
    BenchGrid();
    for (auto _ : state) {
        const kv::TTerrainSamples s = kv::SampleTerrain(Source(), kv::TerrainBudgetMaxK);
        samples = int64_t(s.Heights.size());
        benchmark::DoNotOptimize(s.Heights.data());
    }
    state.counters["samples/s"] =
        benchmark::Counter(double(samples) * double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_SampleTerrain)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
