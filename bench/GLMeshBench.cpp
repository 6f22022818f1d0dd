// Throughput of the mesh work that a terrain conversion and every draw go through, on a grid
// mesh of 1,000,000 triangles (500 x 1000 quads over a rolling surface): building it, the normals
// (face normals alone, and smoothed vertex normals with and without the position sort), the
// spatial grid and the per-corner arrays the viewer draws from.
#include "gl/GLMesh.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>

namespace {

constexpr int QuadsX = 500;
constexpr int QuadsY = 1000;
constexpr int64_t Triangles = int64_t{2} * QuadsX * QuadsY;

kv::Vector3D Surface(int x, int y)
{
    return {x * 10.0, y * 10.0, 50 * std::sin(x * 0.05) * std::cos(y * 0.03)};
}

void FillGrid(kv::TGLMesh& mesh)
{
    for (int y = 0; y < QuadsY; ++y)
        for (int x = 0; x < QuadsX; ++x)
            mesh.AddQuad(Surface(x, y), Surface(x + 1, y), Surface(x + 1, y + 1), Surface(x, y + 1), 0x00A000);
}

kv::TGLMesh& GridMesh()
{
    static const std::unique_ptr<kv::TGLMesh> mesh = [] {
        auto m = std::make_unique<kv::TGLMesh>();
        FillGrid(*m);
        m->CalcNormals();
        return m;
    }();
    return *mesh;
}

void BM_BuildGridMesh(benchmark::State& state)
{
    for (auto _ : state) {
        kv::TGLMesh mesh;
        FillGrid(mesh);
        benchmark::DoNotOptimize(mesh.ExtentMax);
    }
    state.SetItemsProcessed(state.iterations() * Triangles);
}

void BM_FaceNormals(benchmark::State& state)
{
    kv::TGLMesh& mesh = GridMesh();
    for (auto _ : state)
        mesh.CalcNormals(false, 89);
    state.SetItemsProcessed(state.iterations() * Triangles);
}

// The normals as a conversion computes them: the positions are sorted first.
void BM_SmoothNormals(benchmark::State& state)
{
    kv::TGLMesh& mesh = GridMesh();
    for (auto _ : state) {
        mesh.Sorted = false;
        mesh.CalcNormals(true, 89);
    }
    state.SetItemsProcessed(state.iterations() * Triangles);
}

// Again over unchanged vertices: the sort is kept.
void BM_SmoothNormalsSorted(benchmark::State& state)
{
    kv::TGLMesh& mesh = GridMesh();
    mesh.CalcNormals(true, 89);
    for (auto _ : state)
        mesh.CalcNormals(true, 89);
    state.SetItemsProcessed(state.iterations() * Triangles);
}

void BM_BuildSpatialGrid(benchmark::State& state)
{
    kv::TGLMesh& mesh = GridMesh();
    for (auto _ : state) {
        mesh.OctTreeValid = false;
        mesh.PrepareDraw();
    }
    state.SetItemsProcessed(state.iterations() * Triangles);
}

// What one smooth-shaded frame costs on the model's side with everything in view.
void BM_SmoothDrawArrays(benchmark::State& state)
{
    kv::TGLMesh& mesh = GridMesh();
    mesh.SetRenderMode(kv::rmSmooth);
    kv::TFrustum everything;
    everything.fill(kv::TFrustumPlane{0, 0, 0, 1});
    for (auto _ : state) {
        const std::vector<int32_t> faces = mesh.DrawOrder(everything);
        const kv::TMeshDrawArrays arrays = mesh.DrawArrays(faces);
        benchmark::DoNotOptimize(arrays.Vertices.data());
    }
    state.SetItemsProcessed(state.iterations() * Triangles);
}

} // namespace

BENCHMARK(BM_BuildGridMesh)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FaceNormals)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SmoothNormals)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SmoothNormalsSorted)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BuildSpatialGrid)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SmoothDrawArrays)->Unit(benchmark::kMillisecond);
