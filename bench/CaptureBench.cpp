// Frames per second of capturing the 3D view: the soccer ball rendered by the viewer, read back
// from OpenGL, copied and encoded, for MS Video 1 (AVI) and H.264 (MP4) at 1280 x 720 and
// 640 x 480; and the parts apart: render with read-back alone, encoding alone (a synthetic
// picture that changes every frame). Needs a display: run under xvfb-run (Mesa llvmpipe).
#include "capture/avilib.h"
#include "glview/GLViewer.h"

#include <QApplication>
#include <QImage>
#include <QTest>

#include <benchmark/benchmark.h>

#include <cstring>
#include <filesystem>
#include <memory>

namespace {

using namespace kv;

const char* const Extensions[] = {".avi", ".mp4"}; // argument 0: MS Video 1, 1: H.264

std::filesystem::path MovieName(int64_t codec, int64_t width)
{
    return std::filesystem::temp_directory_path() /
           ("CaptureBench-" + std::to_string(width) + Extensions[codec]);
}

// Made on first use, destroyed before the application object.
std::unique_ptr<TGLViewer> TheViewer;

// The viewer at exactly width x height device pixels, showing the default soccer ball.
TGLViewer& Viewer(int width, int height)
{
    if (!TheViewer) {
        TheViewer = std::make_unique<TGLViewer>();
        TheViewer->SetShowDefaultScene(true);
        TheViewer->show();
        (void)QTest::qWaitForWindowExposed(TheViewer.get());
    }
    TheViewer->setFixedSize(width, height);
    QApplication::processEvents();
    return *TheViewer;
}

// Renders one turned frame and reads it back into `picture` as the window does.
void RenderAndReadBack(TGLViewer& viewer, TBitmap& picture)
{
    viewer.BaseFrame().RotateBy(0, 3, 0);
    const QImage image = viewer.grabFramebuffer().convertToFormat(QImage::Format_RGB32);
    if (picture.Width() != image.width() || picture.Height() != image.height())
        picture = TBitmap(image.width(), image.height(), pf32bit);
    for (int y = 0; y < image.height(); ++y)
        std::memcpy(picture.ScanLine(y), image.constScanLine(y), size_t(image.width()) * 4);
}

void BM_CaptureRendered(benchmark::State& state)
{
    const auto width = static_cast<int32_t>(state.range(1)), height = static_cast<int32_t>(state.range(2));
    TGLViewer& viewer = Viewer(width, height);
    TBitmap picture;
    TVideoCapture capture;
    capture.Start(MovieName(state.range(0), width), 6500, 18, width, height);
    for (auto _ : state) {
        RenderAndReadBack(viewer, picture);
        capture.CaptureFrame(picture);
    }
    capture.Stop();
    state.SetItemsProcessed(state.iterations());
    state.SetLabel("frames/s");
}

void BM_RenderAndReadBack(benchmark::State& state)
{
    TGLViewer& viewer = Viewer(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    TBitmap picture;
    for (auto _ : state)
        RenderAndReadBack(viewer, picture);
    state.SetItemsProcessed(state.iterations());
    state.SetLabel("frames/s");
}

// A shaded picture with a bright square moving across it.
void Synthetic(TBitmap& picture, int64_t frame)
{
    for (int32_t y = 0; y < picture.Height(); ++y) {
        uint8_t* row = picture.ScanLine(y);
        for (int32_t x = 0; x < picture.Width(); ++x, row += 3) {
            const bool square = (x - frame * 8) % picture.Width() < 120 && y > 100 && y < 220;
            row[0] = square ? 30 : static_cast<uint8_t>(x * 255 / picture.Width());
            row[1] = square ? 220 : static_cast<uint8_t>(y * 255 / picture.Height());
            row[2] = square ? 250 : 60;
        }
    }
}

void BM_EncodeSynthetic(benchmark::State& state)
{
    const auto width = static_cast<int32_t>(state.range(1)), height = static_cast<int32_t>(state.range(2));
    TBitmap picture(width, height, pf24bit);
    TVideoWriter writer;
    writer.Open(picture, MovieName(state.range(0), width));
    int64_t frame = 0;
    for (auto _ : state) {
        state.PauseTiming();
        Synthetic(picture, frame++);
        state.ResumeTiming();
        writer.WriteFrame(picture);
    }
    writer.Close();
    state.SetItemsProcessed(state.iterations());
    state.SetLabel("frames/s");
}

void Cases(benchmark::internal::Benchmark* bench)
{
    bench->ArgNames({"codec", "w", "h"})->Unit(benchmark::kMillisecond)->UseRealTime();
    for (int64_t codec : {0, 1})
        bench->Args({codec, 1280, 720})->Args({codec, 640, 480});
}

BENCHMARK(BM_CaptureRendered)->Apply(Cases);
BENCHMARK(BM_RenderAndReadBack)->Args({1280, 720})->Args({640, 480})->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_EncodeSynthetic)->Apply(Cases);

} // namespace

int main(int argc, char** argv)
{
    SetDefaultSurfaceFormat();
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    TheViewer.reset();
    return 0;
}
