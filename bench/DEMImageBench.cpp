// Drawing the map of a 3601 x 3601 grid (a 1 arc-second tile) in each mode and in all three at
// once, with the machine's cores and with one thread.
#include "mapview/DEMImage.h"
#include "mapview/MapCoords.h"
#include "support/DEMFixtures.h"

#include <benchmark/benchmark.h>

namespace {

constexpr int32_t TileSize = 3601;

const kv::TDEMArray& Tile()
{
    static const kv::TDEMArray dem = [] {
        kv::TDEMArray grid = kv::test::MakeSampleDEM(TileSize, TileSize);
        grid.Info.ElevUnits = kv::ucMeters;
        grid.Info.DataMin = grid.Info.MinElevation;
        grid.Info.DataMax = grid.Info.MaxElevation;
        return grid;
    }();
    return dem;
}

// state.range(0): bit 0 colour, bit 1 shading, bit 2 contours; state.range(1): threads (0 = all).
void BM_DrawElevationImage(benchmark::State& state)
{
    const kv::TDEMArray& dem = Tile();
    const kv::TUnits units{false};
    kv::TColorBar bar;
    const kv::TBarRange range = kv::ColorBarRange(dem.Info, units);
    bar.SetRange(range.Top, range.Bottom);
    kv::TPlotOptions options;
    options.Colored = state.range(0) & 1;
    options.Shaded = state.range(0) & 2;
    options.Contoured = state.range(0) & 4;
    kv::TDEMImageState imageState;
    kv::TBitmap bitmap;
    for (auto _ : state) {
        kv::DrawElevationImage(bitmap, dem, options, bar, units, imageState, static_cast<int32_t>(state.range(1)));
        benchmark::DoNotOptimize(bitmap.ScanLine(0));
    }
    state.counters["cells"] = benchmark::Counter(double(TileSize) * double(TileSize) *
                                                     static_cast<double>(state.iterations()),
                                                 benchmark::Counter::kIsRate);
}
BENCHMARK(BM_DrawElevationImage)
    ->ArgNames({"modes", "threads"})
    ->ArgsProduct({{1, 2, 4, 7}, {0, 1}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace
