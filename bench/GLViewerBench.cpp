// Frames per second of the viewer drawn by Mesa (llvmpipe) at 1280 x 720: a lit terrain-like grid
// of 500,000 triangles in wire, flat and smooth mode, fitted into the view, and the soccer ball;
// and, in the same run, the same terrain under the same matrices drawn by the least a
// fixed-function program can do (bench/tools/MinimalTerrain), the yardstick for the viewer's own
// overhead. Needs a display: run it under xvfb-run. Each iteration is one whole render read back
// with grabFramebuffer, which always renders (a plain repaint may be held back by Qt and then
// measures nothing); the read-back of the 1280 x 720 picture is the same for both.
#include "glview/GLViewer.h"
#include "tools/MinimalTerrain.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <malloc.h>

#include <cmath>
#include <memory>

namespace {

constexpr int QuadsX = 500;
constexpr int QuadsY = 500;
constexpr int64_t GridTriangles = int64_t{2} * QuadsX * QuadsY;

constexpr double Spacing = 10;

double Height(int x, int y)
{
    return 50 * std::sin(x * 0.05) * std::cos(y * 0.03);
}

kv::Vector3D Surface(int x, int y)
{
    return {x * Spacing - QuadsX * Spacing / 2, y * Spacing - QuadsY * Spacing / 2, Height(x, y)};
}

QApplication& Application()
{
    static int argc = 1;
    static char name[] = "GLViewerBench";
    static char* argv[] = {name, nullptr};
    static const std::unique_ptr<QApplication> application = [] {
        // glibc moves its mmap threshold up as large blocks are freed and trims the heap's top:
        // Mesa's per-frame copies of client arrays then cost page faults or not depending on what
        // ran before (the minimal program's wire frames took 92 or 172 ms in otherwise equal
        // runs). Fixed thresholds keep every case's large blocks on a heap that is not trimmed.
        mallopt(M_MMAP_THRESHOLD, 32 << 20);
        mallopt(M_TRIM_THRESHOLD, 1 << 30);
        kv::SetDefaultSurfaceFormat();
        return std::make_unique<QApplication>(argc, argv);
    }();
    return *application;
}

kv::TGLViewer& Viewer()
{
    Application();
    static const std::unique_ptr<kv::TGLViewer> viewer = [] {
        auto v = std::make_unique<kv::TGLViewer>();
        v->setFixedSize(1280, 720);
        v->show();
        QApplication::processEvents();
        return v;
    }();
    return *viewer;
}

void ShowGrid(kv::TGLViewer& viewer, uint8_t mode)
{
    viewer.SetShowDefaultScene(false);
    kv::TGLMesh& mesh = *viewer.FirstMesh();
    if (mesh.TriangleCount() != GridTriangles) {
        mesh.ResetAll();
        mesh.Reserve(static_cast<int32_t>(GridTriangles));
        for (int y = 0; y < QuadsY; ++y)
            for (int x = 0; x < QuadsX; ++x)
                mesh.AddQuad(Surface(x, y), Surface(x + 1, y), Surface(x + 1, y + 1), Surface(x, y + 1), 0x00A000);
        mesh.CalcNormals();
    }
    mesh.SetRenderMode(mode);
    viewer.SetWireFrameLight(mode == kv::rmWire);
    viewer.FitToView();
}

void RenderFrames(benchmark::State& state, kv::TGLViewer& viewer)
{
    viewer.grabFramebuffer(); // builds what the first frame needs (grid, arrays) outside the timing
    double renderSeconds = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(viewer.grabFramebuffer());
        renderSeconds += viewer.FrameTime();
    }
    // The viewer's own measure of its render (clear to glFinish), without Qt's composition.
    state.counters["render_ms"] = 1000 * renderSeconds / static_cast<double>(state.iterations());
    state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["triangles"] = static_cast<double>(viewer.TriangleCount());
    // The shared vertices the mesh is drawn from (the minimal program has 251,001).
    if (!viewer.ShowDefaultScene())
        state.counters["vertices"] = static_cast<double>(viewer.FirstMesh()->IndexedArrays().Positions.size() / 3);
    state.SetItemsProcessed(state.iterations() * viewer.TriangleCount());
}

// The minimal program, sized and placed as the viewer shows the grid: the viewer's frustum and the
// grid's model-view matrix from a frame the viewer has drawn.
TMinimalTerrain& Minimal(TMinimalTerrain::TMode mode, bool specular = false, bool pointLight = false)
{
    static const std::unique_ptr<TMinimalTerrain> minimal = [] {
        kv::TGLViewer& viewer = Viewer();
        ShowGrid(viewer, kv::rmSmooth);
        viewer.grabFramebuffer();
        auto m = std::make_unique<TMinimalTerrain>();
        m->Build(QuadsX, QuadsY, Height, Spacing);
        const kv::TViewFrustum f = kv::ViewFrustum(1280, 720);
        const double frustum[6] = {f.Left, f.Right, f.Bottom, f.Top, f.Near, f.Far};
        m->SetView(viewer.FirstMesh()->ModelMatrix.Data(), frustum);
        m->setFixedSize(1280, 720);
        m->show();
        QApplication::processEvents();
        return m;
    }();
    minimal->SetMode(mode);
    minimal->SetSpecular(specular);
    minimal->SetPointLight(pointLight);
    return *minimal;
}

void RenderMinimal(benchmark::State& state, TMinimalTerrain& minimal)
{
    minimal.grabFramebuffer();
    for (auto _ : state)
        benchmark::DoNotOptimize(minimal.grabFramebuffer());
    state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["triangles"] = static_cast<double>(minimal.TriangleCount());
    state.counters["vertices"] = static_cast<double>(minimal.VertexCount());
    state.SetItemsProcessed(state.iterations() * minimal.TriangleCount());
}

// One light from the eye and no highlight; with the viewer's default material (0.5 grey specular,
// shininess 10), whose highlight costs llvmpipe time per vertex; and also with the viewer's default
// light, a point light: the lighting the viewer's frame pays for, so that what separates the two
// is the drawing path alone. Faceted draws the viewer's flat-mode picture (face normals).
void BM_Minimal(benchmark::State& state, TMinimalTerrain::TMode mode, bool specular, bool pointLight)
{
    RenderMinimal(state, Minimal(mode, specular, pointLight));
}

BENCHMARK_CAPTURE(BM_Minimal, Wire, TMinimalTerrain::mdWire, false, false)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_Minimal, Flat, TMinimalTerrain::mdFlat, false, false)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_Minimal, Smooth, TMinimalTerrain::mdSmooth, false, false)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_Minimal, SpecularWire, TMinimalTerrain::mdWire, true, false)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_Minimal, SpecularFlat, TMinimalTerrain::mdFlat, true, false)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_Minimal, SpecularSmooth, TMinimalTerrain::mdSmooth, true, false)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_Minimal, ViewerLightWire, TMinimalTerrain::mdWire, true, true)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_Minimal, ViewerLightFlat, TMinimalTerrain::mdFlat, true, true)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_Minimal, ViewerLightSmooth, TMinimalTerrain::mdSmooth, true, true)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_Minimal, ViewerLightFaceted, TMinimalTerrain::mdFaceted, true, true)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_GridWire(benchmark::State& state)
{
    ShowGrid(Viewer(), kv::rmWire);
    RenderFrames(state, Viewer());
}

void BM_GridFlat(benchmark::State& state)
{
    ShowGrid(Viewer(), kv::rmFlat);
    RenderFrames(state, Viewer());
}

void BM_GridSmooth(benchmark::State& state)
{
    ShowGrid(Viewer(), kv::rmSmooth);
    RenderFrames(state, Viewer());
}

void BM_SoccerBall(benchmark::State& state)
{
    kv::TGLViewer& viewer = Viewer();
    viewer.SetWireFrameLight(false);
    viewer.SetShowDefaultScene(true);
    viewer.SetSceneType(kv::stSoccerBall);
    viewer.BaseFrame().Reset();
    RenderFrames(state, viewer);
}

BENCHMARK(BM_GridWire)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_GridFlat)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_GridSmooth)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SoccerBall)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
