// Saving and loading a 1,000,000-triangle scene as an XML scene file (*.txml): the text built
// from the scene, and the scene read back from the text (bytes per second of the text).
#include "SceneBenchGrid.h"
#include "WriteBench.h"
#include "scenefiles/GLXMLReader.h"
#include "scenefiles/GLXMLWriter.h"

#include <benchmark/benchmark.h>

namespace {

const kv::TGLBaseFrame& Scene()
{
    static const auto scene = kv::bench::GridScene(500, 1000);
    return *scene;
}

const std::string& Text()
{
    static const std::string text = kv::XMLSceneText(Scene());
    return text;
}

void BM_SaveXMLScene(benchmark::State& state)
{
    kv::bench::MeasureWrite(state, [] { return kv::XMLSceneText(Scene()); });
    state.counters["triangles"] = static_cast<double>(Scene().TriangleCount());
}
BENCHMARK(BM_SaveXMLScene)->Unit(benchmark::kMillisecond)->Iterations(2);

void BM_LoadXMLScene(benchmark::State& state)
{
    const std::string& text = Text();
    for (auto _ : state) {
        kv::TGLBaseFrame base;
        kv::ReadXMLScene(base, text);
        benchmark::DoNotOptimize(base.Meshes().Count());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_LoadXMLScene)->Unit(benchmark::kMillisecond)->Iterations(2);

} // namespace
