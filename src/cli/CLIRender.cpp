// The command-line tool's pictures and movies, drawn by the desktop program's viewer in a window
// that never shows. Only this file of the tool uses Qt.

#include "cli/CLIRender.h"

#include "capture/avilib.h"
#include "gl/GLQuatLib.h"
#include "glview/GLOffscreen.h"
#include "scenefiles/GLXFileReader.h"
#include "scenefiles/GLXMLReader.h"
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

// The converted terrain in the scene.
void ConvertInto(TGLBaseFrame& scene, const TTerrainSource& source, const TTerrainSettings& settings,
                 const TTerrainDressing& dress)
{
    const TTerrainObjects objects = CreateTerrainObjects(scene);
    TConvertProgress progress;
    progress.ResetScene = [&] { scene.Reset(); };
    ConvertTerrain(source, settings, *objects.Terrain, *objects.Base, progress);
    if (dress)
        dress(*objects.Terrain);
}

// One full turn of the scene `build` makes, fitted first, as a movie.
void RenderSpin(const std::function<void(TGLBaseFrame&)>& build, const TSpinMovie& movie)
{
    CheckRenderPossible();
    const auto application = StartApplication();
    TOffscreenView view(movie.Width, movie.Height);
    TGLViewer& viewer = view.Viewer();
    TGLBaseFrame& scene = viewer.BaseFrame();
    build(scene);
    viewer.FitToView();

    TVideoWriter writer;
    writer.FrameRate = movie.FramesPerSecond;
    writer.Quality = movie.Quality;
    const double step = 360.0 / movie.Frames;
    try {
        for (int32_t frame = 0; frame < movie.Frames; ++frame) {
            // Turned about the scene's own vertical axis (a converted terrain is centred on the
            // frame's origin), then tilted so the view looks down on it as a fly-around would,
            // not edge on.
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
    ConvertInto(view.Viewer().BaseFrame(), source, settings, dress);
    view.Viewer().FitToView();
    SavePNG(view.Grab(), fileName);
}

void RenderTerrainSpin(const TTerrainSource& source, const TTerrainSettings& settings, const TSpinMovie& movie,
                       const TTerrainDressing& dress)
{
    RenderSpin([&](TGLBaseFrame& scene) { ConvertInto(scene, source, settings, dress); }, movie);
}

void RenderSceneFileSpin(const std::filesystem::path& sceneFile, bool xmlScene, const TSpinMovie& movie)
{
    RenderSpin(
        [&](TGLBaseFrame& scene) {
            if (xmlScene) {
                LoadXMLScene(scene, sceneFile);
                scene.Reset(); // the scene starts from the neutral pose, as in the window
            } else {
                LoadXFile(scene, sceneFile);
            }
        },
        movie);
}

} // namespace kv::cli
