// Throughput of the huge arrays on their hot paths: appending a million items from a small
// start (so growth is part of the cost) and sorting a million doubles.
#include "platform/HugeArry.h"

#include <benchmark/benchmark.h>

#include <random>

namespace {

constexpr int32_t ItemCount = 1000000;

void BM_AddDoubles(benchmark::State& state)
{
    for (auto _ : state) {
        kv::THugeDouble array(16);
        for (int32_t i = 0; i < ItemCount; ++i)
            array.Add(i * 0.5);
        benchmark::DoNotOptimize(array.Data());
    }
    state.SetItemsProcessed(state.iterations() * ItemCount);
}
BENCHMARK(BM_AddDoubles)->Unit(benchmark::kMillisecond);

void BM_Add3DVectors(benchmark::State& state)
{
    for (auto _ : state) {
        kv::THuge3DVector array(16);
        for (int32_t i = 0; i < ItemCount; ++i)
            array.Add(kv::THuge3DVectorItem{i * 1.0, i * 2.0, i * 0.25});
        benchmark::DoNotOptimize(array.Data());
    }
    state.SetItemsProcessed(state.iterations() * ItemCount);
}
BENCHMARK(BM_Add3DVectors)->Unit(benchmark::kMillisecond);

void BM_SortDoubles(benchmark::State& state)
{
    kv::THugeDouble unsorted(ItemCount);
    std::mt19937_64 random(42);
    std::uniform_real_distribution<double> value(-1e4, 1e4);
    for (int32_t i = 0; i < ItemCount; ++i)
        unsorted.Add(value(random));
    kv::THugeDouble array(ItemCount);
    for (auto _ : state) {
        state.PauseTiming();
        array.Assign(unsorted);
        state.ResumeTiming();
        array.Sort();
        benchmark::DoNotOptimize(array.Data());
    }
    state.SetItemsProcessed(state.iterations() * ItemCount);
}
BENCHMARK(BM_SortDoubles)->Unit(benchmark::kMillisecond);

} // namespace
