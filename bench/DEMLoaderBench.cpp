// Throughput of the USGS DEM reader on a 3601 x 3601 grid (a 1 arc-second tile), generated
// once with the writer and kept in memory. The grid is loaded into the same TDEMArray every
// time, so its allocation is not measured; whole processes are compared with
// scripts/bench-gdal.sh.
//
// BM_LoadDEMStream is what callers get (profiles found first, parsed on every core);
// InOrder is the reference reading, one profile after the other; FoundFirst/1 is the parallel
// path on one thread. Times are wall-clock; the CPU column adds up every thread of the process.
#include "dem/DEMLoader.h"
#include "dem/DEMWriter.h"
#include "support/DEMFixtures.h"

#include "DEMLoaderPaths.h"

#include <benchmark/benchmark.h>

#include <span>
#include <stdexcept>
#include <string>

namespace {

constexpr int32_t TileSize = 3601;

const std::string& TileText()
{
    static const std::string text = kv::FormatDEMText(kv::test::MakeSampleDEM(TileSize, TileSize));
    return text;
}

void CountThroughput(benchmark::State& state, size_t bytes)
{
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(bytes));
    state.counters["cells"] = benchmark::Counter(double(TileSize) * double(TileSize) *
                                                     static_cast<double>(state.iterations()),
                                                 benchmark::Counter::kIsRate);
}

void LoadTile(benchmark::State& state, const kv::TDEMReadOptions& options, kv::TDEMReadPath expected)
{
    const std::string& text = TileText();
    kv::TDEMArray dem;
    for (auto _ : state) {
        if (kv::LoadDEMStreamWith(std::span<const char>(text.data(), text.size()), dem, "tile.dem", options) !=
            expected)
            throw std::logic_error("the tile was not read on the path measured");
        benchmark::DoNotOptimize(dem.Column(0));
    }
    CountThroughput(state, text.size());
}

void BM_LoadDEMStream(benchmark::State& state)
{
    const std::string& text = TileText();
    kv::TDEMArray dem;
    for (auto _ : state) {
        kv::LoadDEMStream(std::span<const char>(text.data(), text.size()), dem);
        benchmark::DoNotOptimize(dem.Column(0));
    }
    CountThroughput(state, text.size());
}
BENCHMARK(BM_LoadDEMStream)->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime();

void BM_LoadDEMStreamInOrder(benchmark::State& state)
{
    kv::TDEMReadOptions options;
    options.InOrder = true;
    LoadTile(state, options, kv::rpInOrder);
}
BENCHMARK(BM_LoadDEMStreamInOrder)->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime();

void BM_LoadDEMStreamFoundFirst(benchmark::State& state)
{
    kv::TDEMReadOptions options;
    options.Threads = static_cast<unsigned>(state.range(0));
    LoadTile(state, options, kv::rpFoundFirst);
}
BENCHMARK(BM_LoadDEMStreamFoundFirst)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime();

void BM_FormatDEMText(benchmark::State& state)
{
    const kv::TDEMArray grid = kv::test::MakeSampleDEM(TileSize, TileSize);
    size_t bytes = 0;
    for (auto _ : state) {
        const std::string text = kv::FormatDEMText(grid);
        bytes = text.size();
        benchmark::DoNotOptimize(text.data());
    }
    CountThroughput(state, bytes);
}
BENCHMARK(BM_FormatDEMText)->Unit(benchmark::kMillisecond);

} // namespace
