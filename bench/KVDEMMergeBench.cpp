// Throughput of the west-east DEM merge on two neighbouring 3601 x 3601 tiles, generated once
// with the writer and merged in memory.
#include "dem/DEMWriter.h"
#include "dem/KVDEMMerge.h"
#include "support/DEMFixtures.h"

#include <benchmark/benchmark.h>

#include <span>
#include <string>

namespace {

constexpr int32_t TileSize = 3601;

struct TTiles {
    std::string West;
    std::string East;
};

const TTiles& Tiles()
{
    static const TTiles tiles = [] {
        kv::TDEMArray grid = kv::test::MakeSampleDEM(TileSize, TileSize);
        TTiles t;
        t.West = kv::FormatDEMText(grid);
        // The east tile starts on the west tile's last column.
        const double width = grid.Info.Corners[kv::cnSE].East - grid.Info.Corners[kv::cnSW].East;
        for (kv::TGroundPoint& corner : grid.Info.Corners)
            corner.East += width;
        t.East = kv::FormatDEMText(grid);
        return t;
    }();
    return tiles;
}

void BM_MergeWestEast(benchmark::State& state)
{
    const TTiles& tiles = Tiles();
    const kv::TMergeSource west{std::span<const char>(tiles.West.data(), tiles.West.size()), "west.dem"};
    const kv::TMergeSource east{std::span<const char>(tiles.East.data(), tiles.East.size()), "east.dem"};
    size_t bytes = 0;
    for (auto _ : state) {
        auto text = kv::MergeWestEastData(west, east, 0.5, {});
        bytes = text->size();
        benchmark::DoNotOptimize(text->data());
    }
    // Rates of the merged file: its bytes and its cells (a tile's worth).
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(bytes));
    state.counters["cells"] = benchmark::Counter(double(TileSize) * double(TileSize) *
                                                     static_cast<double>(state.iterations()),
                                                 benchmark::Counter::kIsRate);
}
BENCHMARK(BM_MergeWestEast)->Unit(benchmark::kMillisecond);

} // namespace
