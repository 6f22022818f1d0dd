// Resampling a 4096 x 4096 picture (a smooth map-like pattern with sharp lines) with each
// sharpness's filter: shrinking to the default texture size of such a picture (2048 x 2048) and
// to 1024 x 1024, and enlarging a 1024 x 1024 picture to 4096 x 4096. The rate counts source
// pixels.
#include "overlay/Resizebm.h"

#include <benchmark/benchmark.h>

#include <cmath>

namespace {

kv::TBitmap Picture(int32_t side)
{
    kv::TBitmap bitmap(side, side, kv::pf24bit);
    for (int32_t y = 0; y < side; ++y) {
        uint8_t* row = bitmap.ScanLine(y);
        for (int32_t x = 0; x < side; ++x) {
            const bool line = x % 97 == 0 || y % 131 == 0;
            row[3 * x] = line ? 20 : uint8_t(128 + 100 * std::sin(x / 150.0));
            row[3 * x + 1] = line ? 20 : uint8_t(128 + 100 * std::cos(y / 170.0));
            row[3 * x + 2] = line ? 200 : uint8_t((x ^ y) & 0xFF);
        }
    }
    return bitmap;
}

// state.range(0): source side; range(1): target side; range(2): filter index.
void BM_Stretch(benchmark::State& state)
{
    const kv::TBitmap source = Picture(int32_t(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        kv::TBitmap bitmap = source;
        state.ResumeTiming();
        kv::Stretch(bitmap, int32_t(state.range(1)), int32_t(state.range(1)), {}, int(state.range(2)));
        benchmark::DoNotOptimize(bitmap.ScanLine(0));
    }
    state.SetItemsProcessed(state.iterations() * state.range(0) * state.range(0));
    state.SetLabel(kv::ResizeFilter(int(state.range(2))).Name);
}
BENCHMARK(BM_Stretch)
    ->Args({4096, 2048, 5})
    ->Args({4096, 2048, 4})
    ->Args({4096, 2048, 6})
    ->Args({4096, 1024, 5})
    ->Args({1024, 4096, 5})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace
