// Drawing rates of the canvas on a 1024 x 1024 bitmap: lines, filled rectangles, ellipses and
// stretched copies, in pixels per second.
#include "platform/Canvas.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <random>
#include <vector>

namespace {

constexpr int32_t Side = 1024;

void BM_Line(benchmark::State& state)
{
    kv::TBitmap bitmap(Side, Side, kv::TPixelFormat(state.range(0)));
    kv::TCanvas canvas(bitmap);
    canvas.Pen.Mode = state.range(1) ? kv::pmNot : kv::pmCopy;
    std::mt19937 random(1);
    std::uniform_int_distribution<int32_t> coordinate(0, Side - 1);
    std::vector<kv::TPoint> ends(2000);
    int64_t pixelsPerPass = 0;
    for (size_t i = 0; i + 1 < ends.size(); i += 2) {
        ends[i] = {coordinate(random), coordinate(random)};
        ends[i + 1] = {coordinate(random), coordinate(random)};
        pixelsPerPass += std::max(std::abs(ends[i].X - ends[i + 1].X), std::abs(ends[i].Y - ends[i + 1].Y)) + 1;
    }
    for (auto _ : state) {
        for (size_t i = 0; i + 1 < ends.size(); i += 2)
            canvas.Line(ends[i], ends[i + 1], kv::leDrawLast);
        benchmark::DoNotOptimize(bitmap.ScanLine(0));
    }
    state.counters["pixels"] =
        benchmark::Counter(double(pixelsPerPass) * double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_Line)->Args({kv::pf24bit, 0})->Args({kv::pf24bit, 1})->Args({kv::pf8bit, 0})->Args({kv::pf1bit, 0});

void BM_FillRect(benchmark::State& state)
{
    kv::TBitmap bitmap(Side, Side, kv::TPixelFormat(state.range(0)));
    kv::TCanvas canvas(bitmap);
    canvas.Brush.Color = 0x336699;
    for (auto _ : state) {
        canvas.FillRect({0, 0, Side, Side});
        benchmark::DoNotOptimize(bitmap.ScanLine(0));
    }
    state.counters["pixels"] = benchmark::Counter(double(Side) * Side * double(state.iterations()),
                                                  benchmark::Counter::kIsRate);
}
BENCHMARK(BM_FillRect)->Arg(kv::pf24bit)->Arg(kv::pf32bit)->Arg(kv::pf8bit)->Arg(kv::pf4bit);

void BM_Ellipse(benchmark::State& state)
{
    kv::TBitmap bitmap(Side, Side, kv::pf24bit);
    kv::TCanvas canvas(bitmap);
    canvas.Brush.Color = 0x00FF00;
    for (auto _ : state) {
        canvas.Ellipse({0, 0, Side, Side});
        benchmark::DoNotOptimize(bitmap.ScanLine(0));
    }
    state.counters["pixels"] = benchmark::Counter(double(Side) * Side * double(state.iterations()),
                                                  benchmark::Counter::kIsRate);
}
BENCHMARK(BM_Ellipse);

void BM_StretchDraw(benchmark::State& state)
{
    kv::TBitmap source(Side / 2, Side / 2, kv::TPixelFormat(state.range(0)));
    kv::TBitmap bitmap(Side, Side, kv::pf24bit);
    kv::TCanvas canvas(bitmap);
    for (auto _ : state) {
        canvas.StretchDraw({0, 0, Side, Side}, source);
        benchmark::DoNotOptimize(bitmap.ScanLine(0));
    }
    state.counters["pixels"] = benchmark::Counter(double(Side) * Side * double(state.iterations()),
                                                  benchmark::Counter::kIsRate);
}
BENCHMARK(BM_StretchDraw)->Arg(kv::pf24bit)->Arg(kv::pf8bit);

} // namespace
