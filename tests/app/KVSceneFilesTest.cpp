// The scene-file commands of the main window driven as a user drives them: the file choosers
// answered by the test, the scene checked in the viewer.

#include "app/KVMain.h"

#include "AppTestSupport.h"
#include "gl/GLTestFigures.h"
#include "glview/GLViewer.h"
#include "scenefiles/ModelExport.h"
#include "support/TestData.h"

#include <QAction>
#include <QProgressBar>
#include <QTabWidget>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace kv {
namespace {

using test::TRecorder;
using test::TTempDir;

class KVSceneFilesTest : public ::testing::Test {
protected:
    void SetUp() override { test::TestApplication(); }

    TForm1& Form(const QString& commandLineFile = QString())
    {
        TMainOptions options;
        options.SettingsFolder = Settings.Path();
        options.Services = Recorder.Services();
        options.CommandLineFile = commandLineFile;
        Form_ = std::make_unique<TForm1>(std::move(options));
        Form_->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(Form_.get()));
        EXPECT_TRUE(QTest::qWaitFor([&] { return Form_->TerrainMesh() != nullptr; }));
        return *Form_;
    }
    void Trigger(const char* command) { Form_->findChild<QAction*>(QLatin1String(command))->trigger(); }
    int Page() const { return Form_->findChild<QTabWidget*>("MainPageControl")->currentIndex(); }
    // A torus in the terrain mesh and a soccer ball in the base mesh, the scene turned.
    void FillScene()
    {
        Form_->GLViewer().SetShowDefaultScene(false); // empties the first mesh, the terrain mesh
        BuildTestFigure(*Form_->TerrainMesh(), stTorus);
        BuildTestFigure(*Form_->BaseMesh(), stSoccerBall);
        Form_->GLViewer().BaseFrame().Position = {1, 2, 3};
    }
    QString File(const char* name) const { return QString::fromStdString((Files / name).string()); }

    TTempDir Settings;
    TTempDir Files;
    TRecorder Recorder;
    std::unique_ptr<TForm1> Form_;
};

TEST_F(KVSceneFilesTest, TerrainFileSavedAndLoadedBringsTheSceneBack)
{
    TForm1& form = Form();
    FillScene();
    std::vector<int> progress;
    QObject::connect(form.findChild<QProgressBar*>("ProgressBar1"), &QProgressBar::valueChanged,
                     [&](int value) { progress.push_back(value); });
    Recorder.SaveAnswers << File("scene.txml");
    Trigger("SaveTerrainFile1");
    EXPECT_FALSE(progress.empty());
    EXPECT_EQ(Recorder.Errors, QStringList());

    form.ShowPage(0);
    Recorder.OpenAnswers << File("scene.txml");
    Trigger("LoadTerrainFile1");
    EXPECT_EQ(Recorder.Errors, QStringList());
    EXPECT_EQ(Recorder.FileRequests, (QStringList{"Save Terrain File", "Load Terrain File"}));
    EXPECT_EQ(Page(), 2);
    // The two terrain meshes are emptied and the file's two meshes appended after them.
    const TGLMeshList& meshes = form.GLViewer().BaseFrame().Meshes();
    ASSERT_EQ(meshes.Count(), 4);
    EXPECT_EQ(form.TerrainMesh()->FaceCount(), 0);
    EXPECT_EQ(meshes.Mesh(2)->FaceCount(), 242);
    EXPECT_EQ(meshes.Mesh(3)->FaceCount(), 180);
    EXPECT_EQ(form.GLViewer().BaseFrame().Position, (Vector3D{0, 0, 0})) << "the base frame is reset";
    EXPECT_TRUE(form.GLViewer().RenderEnabled());
}

TEST_F(KVSceneFilesTest, XFileRefillsTheTerrainMeshesAndExportsWrite)
{
    TForm1& form = Form();
    FillScene();
    Recorder.SaveAnswers << File("scene.x") << File("model.glb") << File("model.obj");
    Trigger("SaveXFile1");
    Trigger("ExportModel1");
    Trigger("ExportModel1");
    EXPECT_TRUE(std::filesystem::exists(Files / "model.glb"));
    EXPECT_TRUE(std::filesystem::exists(Files / "model.mtl"));

    form.TerrainMesh()->ResetAll();
    form.ShowPage(0);
    Recorder.OpenAnswers << File("scene.x");
    Trigger("LoadXFile1");
    EXPECT_EQ(Recorder.Errors, QStringList());
    EXPECT_EQ(Page(), 2);
    ASSERT_EQ(form.GLViewer().BaseFrame().Meshes().Count(), 2);
    EXPECT_EQ(form.TerrainMesh()->FaceCount(), 242);
    EXPECT_EQ(form.TerrainMesh()->Name(), "Terrain_Mesh");
    EXPECT_EQ(form.BaseMesh()->FaceCount(), 180);
    EXPECT_EQ(form.TerrainMesh()->RenderMode(), rmSmooth);
}

TEST_F(KVSceneFilesTest, AFailedLoadIsReportedAndRenderingComesBack)
{
    test::WriteFileText(Files / "broken.x", "xof 0302bzip0032");
    TForm1& form = Form();
    Recorder.OpenAnswers << File("broken.x");
    Trigger("LoadXFile1");
    EXPECT_EQ(Recorder.Errors, QStringList{"File Type Unsupported: BZip"});
    EXPECT_TRUE(form.GLViewer().RenderEnabled());
}

TEST_F(KVSceneFilesTest, XFileNamedOnTheCommandLineIsReadIntoTheScene)
{
    {
        TGLBaseFrame scene;
        BuildTestFigure(*scene.Meshes().NewMesh(), stTorus);
        test::WriteFileText(Files / "torus.x", "");
        ExportModel(scene, Files / "torus.x");
    }
    TForm1& form = Form(File("torus.x"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return form.TerrainMesh()->FaceCount() == 242; }));
    form.ShowPage(2);
    EXPECT_TRUE(QTest::qWaitFor([&] { return form.GLViewer().FrameCount() > 0; }));
    EXPECT_EQ(form.TerrainMesh()->FaceCount(), 242) << "the viewer's first frame keeps the loaded mesh";
    EXPECT_EQ(Recorder.Errors, QStringList());
}

} // namespace
} // namespace kv
