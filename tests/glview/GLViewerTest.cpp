// The viewer rendered by Mesa under a virtual display: pictures compared with committed
// baselines, and the properties a picture must have whatever the baseline says.

#include "glview/GLViewer.h"

#include "platform/Bitmap.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QOpenGLContext>
#include <QTest>

#include <GL/gl.h>
#include <GL/glu.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <memory>

namespace kv {
namespace {

// The application, with the viewer's surface format set before it, for all tests.
class TGLEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        static int argc = 1;
        static char name[] = "kv_glview_tests";
        static char* argv[] = {name, nullptr};
        SetDefaultSurfaceFormat();
        Application = std::make_unique<QApplication>(argc, argv);
    }
    void TearDown() override { Application.reset(); }
    std::unique_ptr<QApplication> Application;
};

[[maybe_unused]] const auto* const Environment = ::testing::AddGlobalTestEnvironment(new TGLEnvironment);

constexpr int ViewWidth = 320;
constexpr int ViewHeight = 240;

class GLViewerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Viewer_ = std::make_unique<TGLViewer>();
        Viewer_->setFixedSize(ViewWidth, ViewHeight);
        Viewer_->SetShowDefaultScene(true);
        // Every frame must leave no OpenGL error behind.
        QObject::connect(Viewer_.get(), &TGLViewer::DisplayChange, [this] {
            if (const GLenum error = glGetError(); error != GL_NO_ERROR)
                GLErrors_.push_back(error);
        });
        Viewer_->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(Viewer_.get()));
        EXPECT_TRUE(QTest::qWaitFor([&] { return Viewer_->FrameCount() > 0; }));
    }
    void TearDown() override { EXPECT_TRUE(GLErrors_.empty()) << "OpenGL error 0x" << std::hex << GLErrors_.front(); }

    QImage Frame() { return Viewer_->grabFramebuffer().convertToFormat(QImage::Format_RGB32); }

    std::unique_ptr<TGLViewer> Viewer_;
    std::vector<GLenum> GLErrors_;
};

int Brightness(QRgb p)
{
    return qRed(p) + qGreen(p) + qBlue(p);
}

// The mean brightness of the pixels that differ from the background colour, and their number.
struct TCoverage {
    int Pixels = 0;
    double MeanBrightness = 0;
};

TCoverage Coverage(const QImage& image, QRgb background)
{
    TCoverage c;
    double sum = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            if ((p & 0xFFFFFF) == (background & 0xFFFFFF))
                continue;
            ++c.Pixels;
            sum += Brightness(p);
        }
    c.MeanBrightness = c.Pixels ? sum / c.Pixels : 0;
    return c;
}

// Compares with tests/data/baselines/<name>.png: a pixel differs when a channel is more than 24
// apart, and at most 1% of the pixels may differ (Mesa versions round lighting differently).
// KV_UPDATE_BASELINES=1 writes the baseline instead. On failure the actual picture and the
// difference are written beside the test for a look.
::testing::AssertionResult MatchesBaseline(const QImage& actual, const char* name)
{
    const QString baselinePath = QStringLiteral(KV_TEST_DATA_DIR "/baselines/%1.png").arg(QLatin1String(name));
    if (std::getenv("KV_UPDATE_BASELINES")) {
        actual.save(baselinePath, "PNG");
        return ::testing::AssertionSuccess();
    }
    const QImage baseline = QImage(baselinePath).convertToFormat(QImage::Format_RGB32);
    const QString failureDir = QDir::current().absoluteFilePath(QStringLiteral("glview-failures"));
    const auto fail = [&](const QString& why, const QImage* diff) {
        QDir().mkpath(failureDir);
        actual.save(failureDir + QStringLiteral("/%1.actual.png").arg(QLatin1String(name)), "PNG");
        if (diff)
            diff->save(failureDir + QStringLiteral("/%1.diff.png").arg(QLatin1String(name)), "PNG");
        return ::testing::AssertionFailure() << why.toStdString() << "; pictures in " << failureDir.toStdString();
    };
    if (baseline.isNull())
        return fail(QStringLiteral("no baseline %1").arg(baselinePath), nullptr);
    if (baseline.size() != actual.size())
        return fail(QStringLiteral("the baseline is %1x%2, the picture %3x%4")
                        .arg(baseline.width())
                        .arg(baseline.height())
                        .arg(actual.width())
                        .arg(actual.height()),
                    nullptr);
    QImage diff(actual.size(), QImage::Format_RGB32);
    int differing = 0;
    for (int y = 0; y < actual.height(); ++y)
        for (int x = 0; x < actual.width(); ++x) {
            const QRgb a = actual.pixel(x, y);
            const QRgb b = baseline.pixel(x, y);
            const int d =
                std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)), std::abs(qBlue(a) - qBlue(b))});
            diff.setPixel(x, y, qRgb(std::min(255, d * 4), 0, 0));
            if (d > 24)
                ++differing;
        }
    const int allowed = actual.width() * actual.height() / 100;
    if (differing > allowed)
        return fail(QStringLiteral("%1 pixels differ from %2 (at most %3 may)").arg(differing).arg(name).arg(allowed),
                    &diff);
    return ::testing::AssertionSuccess();
}

void SetRenderMode(TGLViewer& viewer, uint8_t mode)
{
    viewer.FirstMesh()->SetRenderMode(mode);
    viewer.SetWireFrameLight(mode == rmWire);
}

TEST_F(GLViewerTest, FiguresInEveryShadingModeMatchTheirBaselines)
{
    const struct {
        const char* Name;
        std::function<void(TGLViewer&)> Setup;
    } rows[] = {
        {"soccer_smooth", [](TGLViewer&) {}},
        {"soccer_flat", [](TGLViewer& v) { SetRenderMode(v, rmFlat); }},
        {"soccer_wire", [](TGLViewer& v) { SetRenderMode(v, rmWire); }},
        {"torus_smooth", [](TGLViewer& v) { v.SetSceneType(stTorus); }},
        {"torus_flat",
         [](TGLViewer& v) {
             v.SetSceneType(stTorus);
             SetRenderMode(v, rmFlat);
         }},
        {"torus_wire",
         [](TGLViewer& v) {
             v.SetSceneType(stTorus);
             SetRenderMode(v, rmWire);
         }},
        {"soccer_turned_fitted",
         [](TGLViewer& v) {
             v.FitToView();
             v.BaseFrame().RotateBy(30, 20, 0);
             v.SetScreenColor(0x404040);
         }},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.Name);
        Viewer_->SetSceneType(stSoccerBall);
        Viewer_->BaseFrame().Reset();
        SetRenderMode(*Viewer_, rmSmooth);
        Viewer_->SetScreenColor(0);
        row.Setup(*Viewer_);
        EXPECT_TRUE(MatchesBaseline(Frame(), row.Name));
    }
}

TEST_F(GLViewerTest, SoccerBallShowsBlackAndWhiteFaces)
{
    Viewer_->SetScreenColor(0xFF0000); // blue, so black faces stand out
    const QImage image = Frame();
    int dark = 0;
    int bright = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            if (qBlue(p) < 60 && Brightness(p) < 120)
                ++dark;
            if (qRed(p) > 180 && qGreen(p) > 180 && qBlue(p) > 180)
                ++bright;
        }
    EXPECT_GT(dark, 50);
    EXPECT_GT(bright, 50);
    EXPECT_EQ(image.pixel(2, 2), qRgb(0, 0, 255));
}

TEST_F(GLViewerTest, SwitchingTheOnlyLightOffDarkensTheFigure)
{
    const TCoverage lit = Coverage(Frame(), qRgb(0, 0, 0));
    Viewer_->Lights()[0].Enabled = false;
    const TCoverage dark = Coverage(Frame(), qRgb(0, 0, 0));
    ASSERT_GT(lit.Pixels, 1000);
    EXPECT_LT(dark.MeanBrightness, lit.MeanBrightness / 3);
}

TEST_F(GLViewerTest, LinearFogTintsTheFigureWithTheFogColour)
{
    const QRgb clear = Frame().pixel(ViewWidth / 2, ViewHeight / 2);
    TGLFog& fog = Viewer_->Fog();
    fog.SetFogColor(0x0000FF); // red
    fog.SetFogMode(fmLinear);
    fog.SetFogStart(0);
    fog.SetFogEnd(10.5); // the ball's front lies about 9.5 units from the eye
    fog.SetEnabled(true);
    const QRgb fogged = Frame().pixel(ViewWidth / 2, ViewHeight / 2);
    EXPECT_GT(qRed(fogged), 200);
    EXPECT_LT(qGreen(fogged) + qBlue(fogged), qGreen(clear) + qBlue(clear) - 100);
    // The background is cleared, not fogged.
    EXPECT_EQ(Frame().pixel(1, 1), qRgb(0, 0, 0));
}

TEST_F(GLViewerTest, WireModeDrawsLinesOnly)
{
    Viewer_->SetScreenColor(0x808080);
    const TCoverage smooth = Coverage(Frame(), qRgb(128, 128, 128));
    SetRenderMode(*Viewer_, rmWire);
    const QImage wire = Frame();
    const TCoverage lines = Coverage(wire, qRgb(128, 128, 128));
    EXPECT_GT(lines.Pixels, 200);
    EXPECT_LT(lines.Pixels, smooth.Pixels / 2);
}

TEST_F(GLViewerTest, FacesWoundClockwiseAreCulled)
{
    TGLMesh& mesh = *Viewer_->FirstMesh();
    mesh.ResetAll();
    mesh.AddTriangle(Vector3D{-0.9, -0.9, 0}, Vector3D{-0.1, -0.9, 0}, Vector3D{-0.5, -0.1, 0}, 0xFFFFFF);
    mesh.AddTriangle(Vector3D{0.1, -0.9, 0}, Vector3D{0.5, -0.1, 0}, Vector3D{0.9, -0.9, 0}, 0xFFFFFF);
    mesh.CalcNormals();
    mesh.ResetPose();
    const QImage image = Frame();
    // World (-0.5, -0.5) and (0.5, -0.5) at distance 10: 50 pixels left and right of the centre,
    // 50 below it.
    EXPECT_GT(Brightness(image.pixel(ViewWidth / 2 - 50, ViewHeight / 2 + 40)), 300);
    EXPECT_EQ(image.pixel(ViewWidth / 2 + 50, ViewHeight / 2 + 40), qRgb(0, 0, 0));
}

TEST_F(GLViewerTest, BackgroundPictureStartsAtTheCentreOfTheView)
{
    Viewer_->SetShowDefaultScene(false);
    TBitmap bitmap(20, 10, pf24bit);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 20; ++x)
            bitmap.SetPixel(x, y, y == 0 ? 0x00FF00 : 0x0000FF); // green top row, red below
    TGLBackTexture& back = Viewer_->BackTexture();
    back.LoadFromBitmap(bitmap);
    back.Enabled = true;
    const QImage image = Frame();
    EXPECT_EQ(image.pixel(ViewWidth / 2 + 1, ViewHeight / 2 - 1), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(ViewWidth / 2 + 19, ViewHeight / 2 - 10), qRgb(0, 255, 0));
    EXPECT_EQ(image.pixel(ViewWidth / 2 + 21, ViewHeight / 2 - 1), qRgb(0, 0, 0));
    EXPECT_EQ(image.pixel(ViewWidth / 2 - 2, ViewHeight / 2 + 2), qRgb(0, 0, 0));
}

TEST_F(GLViewerTest, CameraAndProjectionAreTheOnesOpenGLMakes)
{
    Viewer_->setFixedSize(800, 600);
    EXPECT_TRUE(QTest::qWaitFor([&] { return Viewer_->ViewWidth() == 8.0; }));
    Viewer_->makeCurrent();
    double projection[16];
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    EXPECT_NEAR(projection[0], 2 / 0.8, 1e-6); // OpenGL keeps singles
    EXPECT_NEAR(projection[5], 2 / 0.6, 1e-6);
    const TGLCamera& camera = Viewer_->Camera();
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    gluLookAt(camera.Eye.x, camera.Eye.y, camera.Eye.z, camera.Center.x, camera.Center.y, camera.Center.z, camera.Up.x,
              camera.Up.y, camera.Up.z);
    Matrix4x4 fromGL;
    glGetDoublev(GL_MODELVIEW_MATRIX, fromGL.Data());
    glPopMatrix();
    Viewer_->doneCurrent();
    const Matrix4x4 ours = camera.LookAtMatrix();
    for (int k = 0; k < 16; ++k)
        EXPECT_NEAR(ours[k], fromGL[k], 1e-12) << "element " << k;
    EXPECT_DOUBLE_EQ(Viewer_->ViewHeight(), 6.0);
}

TEST_F(GLViewerTest, DefaultSceneFollowsItsSwitchAndType)
{
    EXPECT_EQ(Viewer_->TriangleCount(), 180);
    Viewer_->SetSceneType(stTorus);
    EXPECT_EQ(Viewer_->TriangleCount(), 242);
    Viewer_->SetShowDefaultScene(false);
    EXPECT_EQ(Viewer_->TriangleCount(), 0);
    EXPECT_EQ(Coverage(Frame(), qRgb(0, 0, 0)).Pixels, 0);
}

TEST_F(GLViewerTest, FrameStatisticsFollowEachRender)
{
    int changes = 0;
    QObject::connect(Viewer_.get(), &TGLViewer::Change, [&] { ++changes; });
    const int64_t frames = Viewer_->FrameCount();
    Viewer_->update();
    EXPECT_TRUE(QTest::qWaitFor([&] { return Viewer_->FrameCount() > frames; }));
    EXPECT_GE(changes, 1);
    EXPECT_GT(Viewer_->FrameTime(), 0);
    EXPECT_NEAR(Viewer_->FPS(), 1 / Viewer_->FrameTime(), 1e-9);
}

} // namespace
} // namespace kv
