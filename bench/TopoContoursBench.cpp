// Tracing the contours of a full 1500 x 1500 topo grid of smooth synthetic hills (about 1000 m of
// relief) onto its picture at one pixel per cell, coloured by elevation, at the interval the page
// would choose (range / 15 rounded up to 10 m: 70 m) and at 10 m.
#include "mapview/Colorbar.h"
#include "mapview/TopoContours.h"

#include <benchmark/benchmark.h>

#include <cmath>

namespace {

const kv::TTopoGrid& Hills()
{
    static const kv::TTopoGrid grid = [] {
        kv::TTopoGrid g;
        g.SetSize(kv::TopoCapacity, kv::TopoCapacity);
        for (int32_t c = 0; c < kv::TopoCapacity; ++c)
            for (int32_t r = 0; r < kv::TopoCapacity; ++r)
                g.Set(c, r,
                      1000.0 + 300.0 * std::sin(c / 97.0) * std::cos(r / 131.0) + 150.0 * std::sin((c + r) / 43.0) +
                          40.0 * std::sin(c / 7.3) * std::cos(r / 11.1));
        return g;
    }();
    return grid;
}

// state.range(0): the interval in metres; state.range(1): pixels per cell.
void BM_TraceContours(benchmark::State& state)
{
    const kv::TTopoGrid& grid = Hills();
    const auto spacing = int32_t(state.range(1));
    kv::TBitmap bitmap(spacing * grid.Cols(), spacing * grid.Rows());
    kv::TCanvas canvas(bitmap);
    kv::TColorBar bar;
    bar.SetRange(1500, 500);
    kv::TContourOptions options;
    options.Spacing = spacing;
    options.Interval = double(state.range(0));
    options.Bar = &bar;
    int64_t rowsAsked = 0;
    int64_t segments = 0;
    options.SegmentCount = &segments;
    for (auto _ : state) {
        const bool done = kv::TraceContours(grid, canvas, options, [&] {
            ++rowsAsked;
            return false;
        });
        benchmark::DoNotOptimize(done);
    }
    const double cells = double(grid.Cols() - 1) * double(grid.Rows() - 1);
    state.counters["cells"] = benchmark::Counter(cells * double(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["segments"] = benchmark::Counter(double(segments), benchmark::Counter::kIsRate);
    benchmark::DoNotOptimize(rowsAsked);
}
BENCHMARK(BM_TraceContours)->Args({70, 1})->Args({10, 1})->Args({70, 2})->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
