// Frames per second of a converted terrain drawn by the viewer on Mesa (llvmpipe), in each
// shading mode: a 1500 x 1500 grid converted at the default budget (100 K) and at the largest
// (1000 K), drawn at 1280 x 720 in the fitted view with the default lights. Needs a display:
// run under xvfb-run (scripts/bench.sh does).
#include "glview/GLOffscreen.h"
#include "terrain/KVMesh.h"
#include "terrain/KVOpenGL.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>

namespace {

struct TScene {
    std::unique_ptr<kv::TOffscreenView> View;
    kv::TTerrainObjects Objects;
};

TScene& Scene(int32_t budgetK)
{
    static std::unique_ptr<kv::TTopoGrid> grid;
    static std::unique_ptr<TScene> scene;
    static int32_t builtFor = 0;
    if (!grid) {
        grid = std::make_unique<kv::TTopoGrid>();
        for (int32_t c = 0; c < kv::TopoCapacity; ++c)
            for (int32_t r = 0; r < kv::TopoCapacity; ++r)
                grid->Set(c, r,
                          800 + 300 * std::sin(c * 0.011) * std::cos(r * 0.007) + 20 * std::sin(c * 0.2 + r * 0.13));
        grid->SetSize(kv::TopoCapacity, kv::TopoCapacity);
    }
    if (!scene) {
        scene = std::make_unique<TScene>();
        scene->View = std::make_unique<kv::TOffscreenView>(1280, 720);
        scene->Objects = kv::CreateTerrainObjects(scene->View->Viewer().BaseFrame());
    }
    if (builtFor != budgetK) {
        kv::TTerrainSource source;
        source.Grid = grid.get();
        source.EastSpacing = 30;
        source.NorthSpacing = 30;
        kv::TTerrainSettings settings;
        settings.BudgetK = budgetK;
        kv::ConvertTerrain(source, settings, *scene->Objects.Terrain, *scene->Objects.Base);
        scene->View->Viewer().FitToView();
        // A view from above the south edge, so the whole terrain is in sight.
        scene->View->Viewer().BaseFrame().RotateBy(30, 0, 0);
        builtFor = budgetK;
    }
    return *scene;
}

void BM_DrawTerrain(benchmark::State& state)
{
    TScene& scene = Scene(int32_t(state.range(0)));
    const auto mode = uint8_t(state.range(1));
    scene.Objects.Terrain->SetRenderMode(mode);
    scene.Objects.Base->SetRenderMode(mode);
    scene.View->Viewer().SetWireFrameLight(mode == kv::rmWire);
    scene.View->Grab(); // the first frame after a change builds the drawing arrays
    double renderSeconds = 0;
    for (auto _ : state) {
        scene.View->Grab();
        renderSeconds += scene.View->Viewer().FrameTime();
    }
    const double triangles = double(scene.View->Viewer().TriangleCount());
    state.counters["triangles"] = triangles;
    state.counters["fps"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["render fps"] = double(state.iterations()) / renderSeconds;
    state.SetLabel(mode == 0 ? "wire" : mode == 1 ? "flat" : "smooth");
}
BENCHMARK(BM_DrawTerrain)
    ->ArgsProduct({{100, 1000}, {kv::rmWire, kv::rmFlat, kv::rmSmooth}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MinTime(2.0);

} // namespace

int main(int argc, char** argv)
{
    kv::SetDefaultSurfaceFormat();
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
