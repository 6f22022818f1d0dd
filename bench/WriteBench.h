#pragma once
// The loop the file-writer benchmarks share: a writer that returns the whole file as a string,
// timed over the benchmark's iterations, reported as bytes per second and the file's size in MB.

#include <benchmark/benchmark.h>

#include <cstddef>
#include <cstdint>
#include <string>

namespace kv::bench {

template <class TWrite> void MeasureWrite(benchmark::State& state, TWrite write)
{
    size_t bytes = 0;
    for (auto _ : state) {
        const std::string data = write();
        bytes = data.size();
        benchmark::DoNotOptimize(data.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
    state.counters["MB"] = static_cast<double>(bytes) / 1e6;
}

} // namespace kv::bench
