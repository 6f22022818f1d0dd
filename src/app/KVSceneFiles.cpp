// The scene-file commands of the main window: loading and saving the whole scene (*.txml),
// DirectX files, and the model exports for other 3D tools.

#include "app/KVMain.h"

#include "glview/GLViewer.h"
#include "scenefiles/GLXFileReader.h"
#include "scenefiles/GLXFileWriter.h"
#include "scenefiles/GLXMLReader.h"
#include "scenefiles/GLXMLWriter.h"
#include "scenefiles/ModelExport.h"

#include <QDir>
#include <QFileInfo>
#include <QProgressBar>
#include <QTabWidget>

namespace kv {

namespace {

const QString TerrainFilter = QStringLiteral("Mesh Files (*.txml);;All Files (*)");
const QString XFilter = QStringLiteral("X Files (*.X *.x);;All Files (*)");

} // namespace

TProgressCallback TForm1::ProgressToBar()
{
    return [this](int32_t percent) {
        ProgressBar1_->setValue(percent);
        ProgressBar1_->repaint();
    };
}

void TForm1::ReadIntoScene(const std::function<void(TGLBaseFrame&)>& read, bool prepare, bool resetAfterRead)
{
    TGLViewer& viewer = *GLViewer_;
    TGLBaseFrame& base = viewer.BaseFrame();
    // The figure lives in the first mesh: it must not come back over what the file holds.
    viewer.SetShowDefaultScene(false);
    if (prepare) {
        if (TerrainMesh_)
            TerrainMesh_->ResetAll();
        if (BaseMesh_)
            BaseMesh_->ResetAll();
        base.Reset();
    }
    // No frame is drawn from a half-read scene; rendering comes back however the read ends.
    struct TRenderingSuspended {
        TGLViewer& Viewer;
        ~TRenderingSuspended()
        {
            Viewer.SetRenderEnabled(true);
            Viewer.update();
        }
    } suspended{viewer};
    viewer.SetRenderEnabled(false);
    try {
        read(base);
    } catch (...) {
        if (resetAfterRead)
            base.Reset();
        ProgressBar1_->setValue(0);
        throw;
    }
    // A scene file brings the base frame's own pose; the scene starts from the neutral one.
    if (resetAfterRead)
        base.Reset();
    ProgressBar1_->setValue(0);
    if (prepare) {
        if (TerrainMesh_)
            TerrainMesh_->CalcNormals(true, 50.0);
        MainPageControl_->setCurrentIndex(2);
        // Fitting needs the view's size, which the viewer learns with its context: a scene loaded
        // before the 3D page was ever shown is fitted when the context is made.
        if (viewer.ContextCreated())
            viewer.FitToView();
        else
            connect(&viewer, &TGLViewer::WindowCreated, &viewer, [&viewer] { viewer.FitToView(); },
                    Qt::SingleShotConnection);
    }
}

void TForm1::LoadTerrainFile(const QString& fileName)
{
    const std::filesystem::path path = fileName.toStdString();
    ReadIntoScene([&](TGLBaseFrame& base) { LoadXMLScene(base, path, ProgressToBar()); }, true, true);
}

void TForm1::LoadXFile(const QString& fileName, bool prepare)
{
    const std::filesystem::path path = fileName.toStdString();
    ReadIntoScene(
        [&](TGLBaseFrame& base) { kv::LoadXFile(base, path, prepare ? ProgressToBar() : TProgressCallback{}); },
        prepare, false);
}

void TForm1::ChooseTerrainFileToLoad()
{
    const QString path =
        Services_.Files.OpenFile({QStringLiteral("Load Terrain File"), TerrainFilter, QDir::currentPath(),
                                  QStringLiteral("*.txml"), QStringLiteral("txml")});
    if (!path.isEmpty())
        LoadTerrainFile(path);
}

void TForm1::SaveTerrainFile()
{
    const QString path =
        Services_.Files.SaveFile({QStringLiteral("Save Terrain File"), TerrainFilter, QDir::currentPath(),
                                  QStringLiteral("*.txml"), QStringLiteral("txml")});
    if (path.isEmpty())
        return;
    SaveXMLScene(GLViewer_->BaseFrame(), path.toStdString(), ProgressToBar());
    ProgressBar1_->setValue(0);
}

void TForm1::ChooseXFileToLoad()
{
    const QString path = Services_.Files.OpenFile(
        {QStringLiteral("Load X File"), XFilter, QDir::currentPath(), QStringLiteral("*.x"), QStringLiteral("x")});
    if (!path.isEmpty())
        LoadXFile(path, true);
}

void TForm1::SaveXFile()
{
    const QString path = Services_.Files.SaveFile(
        {QStringLiteral("Save X File"), XFilter, QDir::currentPath(), QStringLiteral("*.x"), QStringLiteral("x")});
    if (!path.isEmpty())
        kv::SaveXFile(GLViewer_->BaseFrame(), path.toStdString());
}

void TForm1::ExportModelFile()
{
    const QString path = Services_.Files.SaveFile(
        {QStringLiteral("Export Model"),
         QStringLiteral("glTF Binary (*.glb);;Wavefront OBJ (*.obj);;Stanford PLY (*.ply);;DirectX X File (*.x)"),
         QDir::currentPath(), QStringLiteral("model.glb"), QStringLiteral("glb")});
    if (!path.isEmpty())
        ExportModel(GLViewer_->BaseFrame(), path.toStdString());
}

} // namespace kv
