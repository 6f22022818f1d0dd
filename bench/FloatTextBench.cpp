// Throughput of the number texts: a scene file writes and reads every vertex, normal and colour
// through them, so numbers/s here bound the scene files' speed.
#include "gl/FloatText.h"
#include "gl/Vector.h"

#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <vector>

namespace {

constexpr int NumberCount = 100000;

std::vector<double> TerrainLikeNumbers()
{
    std::mt19937_64 random(5);
    std::uniform_real_distribution<double> coordinate(-5000.0, 5000.0);
    std::vector<double> numbers(NumberCount);
    for (double& n : numbers)
        n = coordinate(random);
    return numbers;
}

void BM_FormatGeneral(benchmark::State& state)
{
    const std::vector<double> numbers = TerrainLikeNumbers();
    int64_t bytes = 0;
    for (auto _ : state)
        for (double n : numbers) {
            const std::string text = kv::FormatGeneral(n);
            bytes += static_cast<int64_t>(text.size());
            benchmark::DoNotOptimize(text.data());
        }
    state.SetItemsProcessed(state.iterations() * NumberCount);
    state.SetBytesProcessed(bytes);
}
BENCHMARK(BM_FormatGeneral)->Unit(benchmark::kMillisecond);

void BM_ParseVector3D(benchmark::State& state)
{
    const std::vector<double> numbers = TerrainLikeNumbers();
    std::vector<std::string> texts;
    for (size_t i = 0; i + 2 < numbers.size(); i += 3)
        texts.push_back(kv::Vector3DToStr({numbers[i], numbers[i + 1], numbers[i + 2]}));
    for (auto _ : state)
        for (const std::string& text : texts)
            benchmark::DoNotOptimize(kv::StrToVector3D(text));
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(texts.size()) * 3);
}
BENCHMARK(BM_ParseVector3D)->Unit(benchmark::kMillisecond);

} // namespace
