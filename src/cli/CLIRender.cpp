// The convert command's picture: the converted scene drawn by the desktop program's viewer in a
// window that never shows. Only this file of the tool uses Qt.

#include "cli/CLICommon.h"

#include "glview/GLOffscreen.h"
#include "platform/KVError.h"
#include "terrain/KVMesh.h"
#include "terrain/KVOpenGL.h"

#include <QApplication>

namespace kv::cli {

void CheckRenderPossible()
{
    if (!DisplayAvailable())
        throw EKorvelaError("--render needs a display for OpenGL; run the command under xvfb-run.");
}

void RenderTerrain(const TTerrainSource& source, const TTerrainSettings& settings,
                   const std::filesystem::path& fileName)
{
    CheckRenderPossible();
    static int argc = 1;
    static char name[] = "korvela3d-cli";
    static char* argv[] = {name, nullptr};
    SetDefaultSurfaceFormat();
    QApplication application(argc, argv);
    TOffscreenView view(1024, 768);
    TGLViewer& viewer = view.Viewer();
    const TTerrainObjects objects = CreateTerrainObjects(viewer.BaseFrame());
    TConvertProgress progress;
    progress.ResetScene = [&] { viewer.BaseFrame().Reset(); };
    ConvertTerrain(source, settings, *objects.Terrain, *objects.Base, progress);
    viewer.FitToView();
    SavePNG(view.Grab(), fileName);
}

} // namespace kv::cli
