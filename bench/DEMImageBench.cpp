// Drawing the map of a 3601 x 3601 grid (a 1 arc-second tile) in each mode and in all three at
// once, with the machine's cores and with one thread.
#include "mapview/DEMImage.h"
#include "mapview/MapCoords.h"
#include "support/DEMFixtures.h"

#include <benchmark/benchmark.h>

#include <ctime>

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

// CPU seconds of the whole process, all threads.
double ProcessSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

// state.range(0): bit 0 colour, bit 1 shading, bit 2 contours; state.range(1): threads (0 = all).
// "cells" is per second of wall time; "cells_per_cpu_s" per second of CPU time of all threads,
// the figure to read on a machine shared with other work.
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
    kv::DrawElevationImage(bitmap, dem, options, bar, units, imageState); // the bitmap's pages, once
    double cpuSeconds = 0.0;
    for (auto _ : state) {
        const double start = ProcessSeconds();
        kv::DrawElevationImage(bitmap, dem, options, bar, units, imageState, static_cast<int32_t>(state.range(1)));
        benchmark::DoNotOptimize(bitmap.ScanLine(0));
        cpuSeconds += ProcessSeconds() - start;
    }
    const double cells = double(TileSize) * double(TileSize) * static_cast<double>(state.iterations());
    state.counters["cells"] = benchmark::Counter(cells, benchmark::Counter::kIsRate);
    state.counters["cells_per_cpu_s"] = cells / cpuSeconds;
}
BENCHMARK(BM_DrawElevationImage)
    ->ArgNames({"modes", "threads"})
    ->ArgsProduct({{1, 2, 4, 7}, {0, 1}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace
