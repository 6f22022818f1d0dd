// Throughput of the mesh work that a terrain conversion and every draw go through, on a grid
// mesh of 1,000,000 triangles (500 x 1000 quads over a rolling surface): building it, the normals
// (face normals alone, and smoothed vertex normals with and without the position sort), the
// spatial grid, the per-corner arrays, their folding into shared vertices and a frame's indices.
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

// The same with the room reserved first, as a conversion that knows its triangle count does.
void BM_BuildGridMeshReserved(benchmark::State& state)
{
    for (auto _ : state) {
        kv::TGLMesh mesh;
        mesh.Reserve(static_cast<int32_t>(Triangles));
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

kv::TFrustum Everything()
{
    kv::TFrustum everything;
    everything.fill(kv::TFrustumPlane{0, 0, 0, 1});
    return everything;
}

// A frame's drawing order with everything in view: the cells' visibility and the face list.
void BM_DrawOrder(benchmark::State& state)
{
    kv::TGLMesh& mesh = GridMesh();
    mesh.PrepareDraw();
    for (auto _ : state) {
        const std::vector<int32_t> faces = mesh.DrawOrder(Everything());
        benchmark::DoNotOptimize(faces.data());
    }
    state.SetItemsProcessed(state.iterations() * Triangles);
}

// A frame's per-corner arrays, smooth shading, into arrays the viewer keeps from frame to frame.
void BM_SmoothDrawArrays(benchmark::State& state)
{
    kv::TGLMesh& mesh = GridMesh();
    mesh.SetRenderMode(kv::rmSmooth);
    const std::vector<int32_t> faces = mesh.DrawOrder(Everything());
    kv::TMeshDrawArrays arrays;
    for (auto _ : state) {
        mesh.DrawArrays(faces, arrays);
        benchmark::DoNotOptimize(arrays.Vertices.data());
    }
    state.SetItemsProcessed(state.iterations() * Triangles);
}

// Folding every corner into shared vertices (done once per change), smooth and flat shading.
void FoldAfterEachChange(benchmark::State& state, uint8_t mode)
{
    kv::TGLMesh& mesh = GridMesh();
    mesh.SetRenderMode(mode);
    mesh.PrepareDraw();
    for (auto _ : state) {
        mesh.DataChanged();
        benchmark::DoNotOptimize(mesh.IndexedArrays().FaceCorners.data());
    }
    state.counters["vertices"] = static_cast<double>(mesh.IndexedArrays().Shared.Vertices.size());
    state.SetItemsProcessed(state.iterations() * Triangles);
}

void BM_FoldSmooth(benchmark::State& state)
{
    FoldAfterEachChange(state, kv::rmSmooth);
}

void BM_FoldFlat(benchmark::State& state)
{
    FoldAfterEachChange(state, kv::rmFlat);
}

// A frame's indices for the faces the grid keeps, all of them here.
void BM_FaceIndices(benchmark::State& state)
{
    kv::TGLMesh& mesh = GridMesh();
    mesh.SetRenderMode(kv::rmSmooth);
    const std::vector<int32_t> faces = mesh.DrawOrder(Everything());
    const kv::TMeshIndexedArrays& arrays = mesh.IndexedArrays();
    std::vector<uint32_t> indices;
    for (auto _ : state) {
        kv::FaceIndices(arrays, faces, false, indices);
        benchmark::DoNotOptimize(indices.data());
    }
    state.SetItemsProcessed(state.iterations() * Triangles);
}

} // namespace

BENCHMARK(BM_FoldSmooth)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FoldFlat)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FaceIndices)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BuildGridMesh)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BuildGridMeshReserved)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FaceNormals)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SmoothNormals)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SmoothNormalsSorted)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BuildSpatialGrid)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DrawOrder)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SmoothDrawArrays)->Unit(benchmark::kMillisecond);
