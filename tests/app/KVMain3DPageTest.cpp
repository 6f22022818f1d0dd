// The "3D Model Editor" page driven as a user drives it: menu commands, tool buttons, the mouse
// on the viewer, the shading group and the scene settings.

#include "app/KVMain.h"

#include "AppTestSupport.h"
#include "app/KVSceneSettings.h"
#include "glview/GLViewer.h"
#include "platform/BMPFile.h"
#include "platform/Bitmap.h"
#include "support/TestData.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QImage>
#include <QMouseEvent>
#include <QProcess>
#include <QProcessEnvironment>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>

namespace kv {
namespace {

using test::TRecorder;
using test::TTempDir;

class KVMain3DPageTest : public ::testing::Test {
protected:
    void SetUp() override { test::TestApplication(); }

    // The window shown on the 3D page after its first frame.
    TForm1& Form()
    {
        TMainOptions options;
        options.SettingsFolder = Settings.Path();
        options.Services = Recorder.Services();
        options.Services->ChooseColor = [this](uint32_t& color) {
            ColorPresets.push_back(color);
            if (ColorAnswers.empty())
                return false;
            color = ColorAnswers.front();
            ColorAnswers.erase(ColorAnswers.begin());
            return true;
        };
        Form_ = std::make_unique<TForm1>(std::move(options));
        Form_->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(Form_.get()));
        Form_->ShowPage(2);
        EXPECT_TRUE(QTest::qWaitFor([&] { return Form_->GLViewer().FrameCount() > 0; }));
        return *Form_;
    }
    QAction* Command(const char* name) const { return Form_->findChild<QAction*>(QLatin1String(name)); }
    QString Text(const char* label) const { return Form_->findChild<QLabel*>(QLatin1String(label))->text(); }
    TGLObject& BaseFrame() const { return Form_->GLViewer().BaseFrame(); }
    // Waits for the frame after the current one, so the statistics are fresh.
    void NextFrame()
    {
        const int64_t frames = Form_->GLViewer().FrameCount();
        Form_->GLViewer().update();
        EXPECT_TRUE(QTest::qWaitFor([&] { return Form_->GLViewer().FrameCount() > frames; }));
    }

    // A mouse event on the viewer at (x, y) with `buttons` held.
    void Mouse(QEvent::Type type, int x, int y, Qt::MouseButtons buttons)
    {
        TGLViewer& viewer = Form_->GLViewer();
        const QPointF at(x, y);
        QMouseEvent event(type, at, viewer.mapToGlobal(at), type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                          buttons, Qt::NoModifier);
        QApplication::sendEvent(&viewer, &event);
    }

    TTempDir Settings;
    TRecorder Recorder;
    std::vector<uint32_t> ColorAnswers;
    std::vector<uint32_t> ColorPresets; // the colour each chooser started at
    std::unique_ptr<TForm1> Form_;
};

TEST_F(KVMain3DPageTest, TestObjectsShowTheirFigureOnThe3DPage)
{
    TForm1& form = Form();
    EXPECT_EQ(form.GLViewer().TriangleCount(), 180) << "the soccer ball is the start figure";
    form.ShowPage(0);
    Command("Torus1")->trigger();
    EXPECT_EQ(form.findChild<QTabWidget*>("MainPageControl")->currentIndex(), 2);
    EXPECT_EQ(form.GLViewer().SceneType(), stTorus);
    NextFrame();
    EXPECT_EQ(Text("TriangleDis"), "242");
    Command("SoccerBall1")->trigger();
    NextFrame();
    EXPECT_EQ(Text("TriangleDis"), "180");
    EXPECT_FALSE(Text("FPSDis").isEmpty());
}

TEST_F(KVMain3DPageTest, FirstActivationMakesTheTerrainMeshesAndTheirColoursFollowTheChooser)
{
    TForm1& form = Form();
    EXPECT_TRUE(QTest::qWaitFor([&] { return form.TerrainMesh() != nullptr; }));
    const TGLMeshList& meshes = form.GLViewer().BaseFrame().Meshes();
    ASSERT_EQ(meshes.Count(), 2);
    EXPECT_EQ(meshes.Mesh(0), form.TerrainMesh());
    EXPECT_EQ(form.TerrainMesh()->Name(), "Terrain Mesh");
    EXPECT_EQ(form.TerrainMesh()->RenderMode(), rmSmooth);
    EXPECT_EQ(form.BaseMesh()->Name(), "Base Mesh");
    EXPECT_EQ(form.BaseMesh()->RenderMode(), rmFlat);
    EXPECT_EQ(form.TerrainMesh()->FaceCount(), 180) << "the figure lives in the first mesh";
    EXPECT_EQ(form.BaseMesh()->FaceCount(), 0);

    ColorAnswers = {0x00FF00};
    Command("SetTerrainColor1")->trigger();
    Command("SetBaseColor1")->trigger(); // cancelled: nothing changes
    EXPECT_EQ(ColorPresets, (std::vector<uint32_t>{0x000000, 0xFFFFFF})) << "first face's colour; white when empty";
    EXPECT_EQ(form.TerrainMesh()->GetColor(), 0x00FF00u);
    EXPECT_EQ(form.TerrainMesh()->FaceColor.FaceColor(179), 0x00FF00u);
    EXPECT_EQ(form.BaseMesh()->FaceCount(), 0);
}

TEST_F(KVMain3DPageTest, ToolButtonsMoveAndTurnTheBaseFrameByTheIncrement)
{
    Form();
    // At the start the figure's centre lies 10 units from the eye: 100 pixels per unit.
    const struct {
        const char* Button;
        Vector3D Position;
        Vector3D Angles; // x (pitch), y (yaw), z (roll)
    } rows[] = {
        {"ZoomInBtn", {0, 0, 0.05}, {}},    {"ZoomOutBtn", {0, 0, -0.05}, {}}, {"PanLeftBtn", {0.05, 0, 0}, {}},
        {"PanRightBtn", {-0.05, 0, 0}, {}}, {"PanUpBtn", {0, -0.05, 0}, {}},   {"PanDownBtn", {0, 0.05, 0}, {}},
        {"YawRightBtn", {}, {0, -5, 0}},    {"YawLeftBtn", {}, {0, 5, 0}},     {"PitchUpBtn", {}, {-5, 0, 0}},
        {"PitchDownBtn", {}, {5, 0, 0}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.Button);
        Command("ResetScaleBtn")->trigger();
        NextFrame();
        Command(row.Button)->trigger();
        const Vector3D p = BaseFrame().Position;
        const Vector3D a = QuaternionToEuler(BaseFrame().Orientation);
        EXPECT_NEAR(p.x, row.Position.x, 1e-9);
        EXPECT_NEAR(p.y, row.Position.y, 1e-9);
        EXPECT_NEAR(p.z, row.Position.z, 1e-9);
        EXPECT_NEAR(a.x, row.Angles.x, 1e-9);
        EXPECT_NEAR(a.y, row.Angles.y, 1e-9);
        EXPECT_NEAR(a.z, row.Angles.z, 1e-9);
    }
    NextFrame();
    EXPECT_EQ(Text("PitchDis"), "5.0");
    EXPECT_EQ(Text("YawDis"), "0.0");
}

TEST_F(KVMain3DPageTest, AnimateSpinsByTheLastDragStepUntilStopped)
{
    TForm1& form = Form();
    Mouse(QEvent::MouseButtonPress, 100, 100, Qt::LeftButton);
    Mouse(QEvent::MouseMove, 103, 100, Qt::LeftButton);
    Command("AnimateBtn")->trigger();
    EXPECT_TRUE(Command("AnimateBtn")->isChecked());
    EXPECT_TRUE(form.AnimationTimer().isActive());
    EXPECT_EQ(form.AnimationTimer().interval(), 10);
    EXPECT_TRUE(QTest::qWaitFor([&] { return QuaternionToEuler(BaseFrame().Orientation).y > 20; }));
    Command("StopBtn")->trigger();
    EXPECT_FALSE(form.AnimationTimer().isActive());
    EXPECT_FALSE(Command("AnimateBtn")->isChecked());
    // Pressing "Animate" again releases it and stops as well.
    Command("AnimateBtn")->trigger();
    EXPECT_TRUE(form.AnimationTimer().isActive());
    Command("AnimateBtn")->trigger();
    EXPECT_FALSE(form.AnimationTimer().isActive());
}

TEST_F(KVMain3DPageTest, DraggingWithTheLeftButtonTurnsTheScene)
{
    Form();
    Mouse(QEvent::MouseButtonPress, 100, 100, Qt::LeftButton);
    Mouse(QEvent::MouseMove, 120, 100, Qt::LeftButton);
    EXPECT_NEAR(QuaternionToEuler(BaseFrame().Orientation).y, 20, 1e-9);
    // A move with no button or key held does nothing.
    Mouse(QEvent::MouseMove, 150, 100, Qt::NoButton);
    EXPECT_NEAR(QuaternionToEuler(BaseFrame().Orientation).y, 20, 1e-9);
}

TEST_F(KVMain3DPageTest, ShadingSetsTheRenderModeAndTheWireFrameLight)
{
    TForm1& form = Form();
    ASSERT_TRUE(QTest::qWaitFor([&] { return form.TerrainMesh() != nullptr; }));
    const struct {
        const char* Button;
        uint8_t Mode;
        bool WireLight;
    } rows[] = {{"WireBtn", rmWire, true},
                {"FlatBtn", rmFlat, false},
                {"WireBtn", rmWire, true},
                {"SmoothBtn", rmSmooth, false}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.Button);
        QTest::mouseClick(form.findChild<QRadioButton*>(QLatin1String(row.Button)), Qt::LeftButton);
        EXPECT_EQ(form.TerrainMesh()->RenderMode(), row.Mode);
        EXPECT_EQ(form.BaseMesh()->RenderMode(), row.Mode);
        EXPECT_EQ(form.GLViewer().WireFrameLight(), row.WireLight);
    }
}

TEST_F(KVMain3DPageTest, SceneSettingsSetFogAndBackground)
{
    TForm1& form = Form();
    TGLFog& fog = form.GLViewer().Fog();
    EXPECT_EQ(fog.FogMode(), fmExp2);
    ColorAnswers = {0x336699, 0x0000FF};
    Recorder.OnDialog = [](QDialog& dialog) {
        // Only "Enable Fog" changes: the rest of the form's defaults come with it.
        dialog.findChild<QCheckBox*>("EnableFogChk")->setChecked(true);
        dialog.findChild<QPushButton*>("BackColorBtn")->click();
        dialog.findChild<QPushButton*>("FogColorBtn")->click();
        return int(QDialog::Rejected);
    };
    Command("SceneSettings1")->trigger();
    EXPECT_TRUE(fog.Enabled());
    EXPECT_EQ(fog.FogMode(), fmLinear);
    EXPECT_EQ(fog.FogStart(), 0.0);
    EXPECT_EQ(fog.FogEnd(), 10.0);
    EXPECT_EQ(fog.Density(), 1.0);
    EXPECT_EQ(fog.FogColor(), 0x0000FFu);
    EXPECT_EQ(form.GLViewer().ScreenColor(), 0x336699u);

    // The form starts at its defaults again, whatever the fog holds now.
    Recorder.OnDialog = [](QDialog& dialog) {
        EXPECT_FALSE(dialog.findChild<QCheckBox*>("EnableFogChk")->isChecked());
        return int(QDialog::Rejected);
    };
    Command("SceneSettings1")->trigger();
    EXPECT_TRUE(fog.Enabled());
}

TEST_F(KVMain3DPageTest, BackgroundImageComesFromTheChosenPicture)
{
    TForm1& form = Form();
    TTempDir files;
    TBitmap bitmap(4, 2, pf24bit);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x)
            bitmap.SetPixel(x, y, y == 0 ? 0x0000FF : 0x00FF00);
    const std::filesystem::path picture = files / "back.bmp";
    SaveBMPFile(picture, bitmap);
    Recorder.OpenAnswers = {QString::fromStdString(picture.string())};
    Recorder.OnDialog = [](QDialog& dialog) {
        dialog.findChild<QPushButton*>("BackImageBtn")->click();
        return int(QDialog::Rejected);
    };
    Command("SceneSettings1")->trigger();
    EXPECT_EQ(Recorder.FileRequests, QStringList{"Open Bitmap Image"});
    const TGLBackTexture& back = form.GLViewer().BackTexture();
    EXPECT_TRUE(back.Enabled);
    ASSERT_EQ(back.Width, 4);
    ASSERT_EQ(back.Height, 2);
    // Rows bottom first: the picture's top row (red) is the second row.
    EXPECT_EQ(back.Image.Get(0), 0);
    EXPECT_EQ(back.Image.Get(1), 255);
    EXPECT_EQ(back.Image.Get(16), 255);
    EXPECT_EQ(back.Image.Get(17), 0);
    EXPECT_EQ(back.Image.Get(19), 255);
}

// The picture a user takes without a display: the 3D page with the lit soccer ball.
TEST(KVStartup3DTest, ScreenshotOfThe3DPageShowsTheSoccerBall)
{
    test::TestApplication();
    TTempDir folder;
    const QString picture = QString::fromStdString((folder / "3d.png").string());
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("XDG_CONFIG_HOME", QString::fromStdString(folder.Path().string()));
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(KV_APP_PATH), {"--screenshot", picture, "--page", "3d"});
    ASSERT_TRUE(program.waitForFinished(120000));
    EXPECT_EQ(program.exitCode(), 0) << program.readAllStandardError().toStdString();

    const QImage image = QImage(picture).convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(image.size(), QSize(640, 478));
    // The ball sits in the middle of the viewer, which fills the lower part of the page on black.
    int white = 0;
    int black = 0;
    for (int y = 200; y < 440; ++y)
        for (int x = 200; x < 440; ++x) {
            const QRgb p = image.pixel(x, y);
            white += qRed(p) > 200 && qGreen(p) > 200 && qBlue(p) > 200;
            black += qRed(p) < 40 && qGreen(p) < 40 && qBlue(p) < 40;
        }
    EXPECT_GT(white, 5000);
    EXPECT_GT(black, 5000);
}

} // namespace
} // namespace kv
