// Frames per second of the viewer drawn by Mesa (llvmpipe) at 1280 x 720: a lit terrain-like grid
// of 1,000,000 triangles in wire, flat and smooth mode, fitted into the view, and the soccer
// ball. Needs a display: run it under xvfb-run. Each iteration is one whole render (the viewer
// finishes its drawing before it returns).
#include "glview/GLViewer.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>

namespace {

constexpr int QuadsX = 500;
constexpr int QuadsY = 1000;
constexpr int64_t GridTriangles = int64_t{2} * QuadsX * QuadsY;

kv::Vector3D Surface(int x, int y)
{
    return {x * 10.0 - QuadsX * 5.0, y * 10.0 - QuadsY * 5.0, 50 * std::sin(x * 0.05) * std::cos(y * 0.03)};
}

QApplication& Application()
{
    static int argc = 1;
    static char name[] = "GLViewerBench";
    static char* argv[] = {name, nullptr};
    static const std::unique_ptr<QApplication> application = [] {
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
    viewer.repaint(); // builds what the first frame needs (grid, arrays) outside the timing
    double renderSeconds = 0;
    for (auto _ : state) {
        viewer.repaint();
        renderSeconds += viewer.FrameTime();
    }
    // The viewer's own measure of its render (clear to glFinish), without Qt's composition.
    state.counters["render_ms"] = 1000 * renderSeconds / static_cast<double>(state.iterations());
    state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["triangles"] = static_cast<double>(viewer.TriangleCount());
    state.SetItemsProcessed(state.iterations() * viewer.TriangleCount());
}

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
