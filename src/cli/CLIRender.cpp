// The command-line tool's pictures and movies, drawn by the desktop program's viewer in a window
// that never shows. Only this file of the tool uses Qt.

#include "cli/CLIRender.h"

#include "capture/avilib.h"
#include "gl/GLQuatLib.h"
#include "glview/GLOffscreen.h"
#include "platform/KVError.h"
#include "platform/gui/QtBitmap.h"
#include "terrain/KVOpenGL.h"

#include <QApplication>

#include <memory>

namespace kv::cli {

namespace {

constexpr double SpinTiltDegrees = 30.0;

std::unique_ptr<QApplication> StartApplication()
{
    static int argc = 1;
    static char name[] = "korvela3d-cli";
    static char* argv[] = {name, nullptr};
    SetDefaultSurfaceFormat();
    return std::make_unique<QApplication>(argc, argv);
}

// The converted terrain in the view's scene, fitted into the view.
void ConvertInto(TGLViewer& viewer, const TTerrainSource& source, const TTerrainSettings& settings,
                 const TTerrainDressing& dress)
{
    const TTerrainObjects objects = CreateTerrainObjects(viewer.BaseFrame());
    TConvertProgress progress;
    progress.ResetScene = [&] { viewer.BaseFrame().Reset(); };
    ConvertTerrain(source, settings, *objects.Terrain, *objects.Base, progress);
    if (dress)
        dress(*objects.Terrain);
    viewer.FitToView();
}

} // namespace

void CheckRenderPossible()
{
    if (!DisplayAvailable())
        throw EKorvelaError("Drawing needs a display for OpenGL; run the command under xvfb-run.");
}

void RenderTerrain(const TTerrainSource& source, const TTerrainSettings& settings,
                   const std::filesystem::path& fileName, const TTerrainDressing& dress)
{
    CheckRenderPossible();
    const auto application = StartApplication();
    TOffscreenView view(1024, 768);
    ConvertInto(view.Viewer(), source, settings, dress);
    SavePNG(view.Grab(), fileName);
}

void RenderTerrainSpin(const TTerrainSource& source, const TTerrainSettings& settings, const TSpinMovie& movie,
                       const TTerrainDressing& dress)
{
    CheckRenderPossible();
    const auto application = StartApplication();
    TOffscreenView view(movie.Width, movie.Height);
    TGLViewer& viewer = view.Viewer();
    ConvertInto(viewer, source, settings, dress);
    TGLObject& scene = viewer.BaseFrame();

    TVideoWriter writer;
    writer.FrameRate = movie.FramesPerSecond;
    writer.Quality = movie.Quality;
    const double step = 360.0 / movie.Frames;
    try {
        for (int32_t frame = 0; frame < movie.Frames; ++frame) {
            // Turned about the terrain's own vertical axis (it is centred on the frame's origin),
            // then tilted so the view looks down on it as a fly-around would, not edge on.
            scene.Orientation = IdentityQuaternion();
            scene.RotateBy(0.0, frame * step, 0.0);
            scene.RotateBy(SpinTiltDegrees, 0.0, 0.0);
            const TBitmap picture = QImageToBitmap(view.Grab());
            if (frame == 0)
                writer.Open(picture, movie.File);
            writer.WriteFrame(picture);
        }
        writer.Close();
    } catch (...) {
        writer.Abandon();
        throw;
    }
}

} // namespace kv::cli
