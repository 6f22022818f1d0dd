// Model exports of a draped terrain: a 1,000,000-triangle grid scene carrying a 1024 x 1024
// picture with turned (object-linear) coordinates, as the overlay gives a rotated alignment,
// written as .glb in memory; and the corner coordinates alone.
#include "SceneBenchGrid.h"
#include "WriteBench.h"
#include "gl/GLTextureCoords.h"
#include "scenefiles/ModelExport.h"

#include <benchmark/benchmark.h>

namespace {

const kv::TGLBaseFrame& DrapedScene()
{
    static const auto scene = [] {
        auto base = kv::bench::GridScene(500, 1000);
        kv::TBitmap picture(1024, 1024, kv::pf24bit);
        for (int32_t y = 0; y < picture.Height(); ++y)
            for (int32_t x = 0; x < picture.Width(); ++x)
                picture.SetPixel(x, y, kv::TColor((x ^ y) & 0xFF) | kv::TColor(x & 0xFF) << 8);
        kv::TGLObjectTexture& texture = *base->Meshes().Mesh(0)->Texture;
        texture.LoadFromBitmap(picture);
        texture.TextureMode = kv::tmGenerated;
        texture.AutoTextureMap = kv::amObjectLinear;
        texture.SetSPlane(kv::MakeFloat4(0.8e-4, 0, 0.6e-4, 0.5));
        texture.SetTPlane(kv::MakeFloat4(-0.6e-4, 0, 0.8e-4, 0.5));
        texture.Enabled = true;
        return base;
    }();
    return *scene;
}

void BM_CornerTexCoords(benchmark::State& state)
{
    const kv::TGLMesh& mesh = *DrapedScene().Meshes().Mesh(0);
    for (auto _ : state) {
        const std::vector<kv::Vector2D> coords = kv::CornerTexCoords(mesh);
        benchmark::DoNotOptimize(coords.data());
    }
    state.SetItemsProcessed(state.iterations() * 3 * mesh.FaceCount());
}
BENCHMARK(BM_CornerTexCoords)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_GLBDrapedModel(benchmark::State& state)
{
    kv::bench::MeasureWrite(state, [] { return kv::GLBModelData(DrapedScene()); });
}
BENCHMARK(BM_GLBDrapedModel)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
