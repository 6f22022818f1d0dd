// Throughput of the USGS DEM reader on a 3601 x 3601 grid (a 1 arc-second tile), generated
// once with the writer and kept in memory.
#include "dem/DEMLoader.h"
#include "dem/DEMWriter.h"
#include "support/DEMFixtures.h"

#include <benchmark/benchmark.h>

#include <span>
#include <string>

namespace {

constexpr int32_t TileSize = 3601;

const std::string& TileText()
{
    static const std::string text = kv::FormatDEMText(kv::test::MakeSampleDEM(TileSize, TileSize));
    return text;
}

void BM_LoadDEMStream(benchmark::State& state)
{
    const std::string& text = TileText();
    kv::TDEMArray dem;
    for (auto _ : state) {
        kv::LoadDEMStream(std::span<const char>(text.data(), text.size()), dem);
        benchmark::DoNotOptimize(dem.Column(0));
    }
    const double cells = double(TileSize) * double(TileSize);
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(text.size()));
    state.counters["cells"] = benchmark::Counter(cells * static_cast<double>(state.iterations()),
                                                 benchmark::Counter::kIsRate);
}
BENCHMARK(BM_LoadDEMStream)->Unit(benchmark::kMillisecond);

void BM_FormatDEMText(benchmark::State& state)
{
    const kv::TDEMArray grid = kv::test::MakeSampleDEM(TileSize, TileSize);
    size_t bytes = 0;
    for (auto _ : state) {
        const std::string text = kv::FormatDEMText(grid);
        bytes = text.size();
        benchmark::DoNotOptimize(text.data());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(bytes));
    state.counters["cells"] = benchmark::Counter(double(TileSize) * double(TileSize) *
                                                     static_cast<double>(state.iterations()),
                                                 benchmark::Counter::kIsRate);
}
BENCHMARK(BM_FormatDEMText)->Unit(benchmark::kMillisecond);

} // namespace
