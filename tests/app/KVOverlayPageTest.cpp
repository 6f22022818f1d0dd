// The "Overlay Editor" page driven as a user drives it: loading a map picture of the sample DEM
// (drawn by the command-line tool), the contours of the same ground over it, the buttons, the
// mouse, the options dialog and "Apply Overlay" onto a terrain mesh.

#include "app/KVMain.h"

#include "AppTestSupport.h"
#include "app/KVOverlayDlg.h"
#include "app/KVOverlayPage.h"
#include "dem/KVDemReader.h"
#include "gl/GLMesh.h"
#include "glview/GLViewer.h"
#include "imaging/ImageLib.h"
#include "overlay/OverlayLayout.h"
#include "support/TestData.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <memory>
#include <optional>

namespace kv {
namespace {

using test::TRecorder;
using test::TTempDir;

class KVOverlayPageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        test::TestApplication();
        LoadDEMByExtension(test::SamplesDir() / "jacksboro.dem", Dem);
        Topo = std::make_unique<TTopoDocument>();
        ASSERT_EQ(LoadSelection(*Topo, Dem, {0, 0, Dem.Cols(), Dem.Rows()}, TUnits{}), loLoaded);
        MapFile = (Scratch / "map.png").string();
        QProcess cli;
        cli.start(QStringLiteral(KV_CLI_PATH),
                  {QStringLiteral("map"), QString::fromStdString((test::SamplesDir() / "jacksboro.dem").string()),
                   QString::fromStdString(MapFile), QStringLiteral("--shaded"), QStringLiteral("--contoured"),
                   QStringLiteral("--meters")});
        ASSERT_TRUE(cli.waitForFinished(60000));
        ASSERT_EQ(cli.exitCode(), 0) << cli.readAllStandardError().toStdString();

        TMainOptions options;
        options.SettingsFolder = Settings.Path();
        options.Services = Recorder.Services();
        Form_ = std::make_unique<TForm1>(std::move(options));
        Form_->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(Form_.get()));
        Form_->OverlayPage().SetTopoSource([this] { return Topo.get(); });
        Form_->ShowPage(3);
    }

    TOverlayPage& Page() { return Form_->OverlayPage(); }
    template <typename T> T* Find(const char* name) { return Form_->findChild<T*>(QLatin1String(name)); }
    void Click(const char* name) { Find<QPushButton>(name)->click(); }
    void Mouse(QEvent::Type type, int x, int y, Qt::MouseButtons buttons)
    {
        QWidget* box = Find<QWidget>("OverPaintBox");
        const QPointF at(x, y);
        QMouseEvent event(type, at, box->mapToGlobal(at), type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                          buttons, Qt::NoModifier);
        QApplication::sendEvent(box, &event);
    }
    void LoadMap()
    {
        Recorder.OpenAnswers = {QString::fromStdString(MapFile)};
        Recorder.ConfirmAnswer = true;
        Click("LoadBtn");
        ASSERT_TRUE(Recorder.Errors.isEmpty()) << Recorder.Errors.join(" ").toStdString();
    }

    TDEMArray Dem;
    std::unique_ptr<TTopoDocument> Topo;
    TTempDir Scratch;
    std::string MapFile;
    TTempDir Settings;
    TRecorder Recorder;
    std::unique_ptr<TForm1> Form_;
};

TEST_F(KVOverlayPageTest, LoadingAPicturePreparesItAndFitsTheGrid)
{
    EXPECT_FALSE(Find<QPushButton>("ApplyOverBtn")->isEnabled());
    LoadMap();
    EXPECT_EQ(Recorder.FileRequests, QStringList{"Open Bitmap Overlay Files"});
    EXPECT_EQ(Recorder.Questions, QStringList{"Reset Parameters?"});
    TBitmap map;
    LoadImageFile(map, MapFile);
    const TOverlayDocument& doc = Page().Document();
    const std::vector<TOverlaySize> sizes = OverlaySizeList(map.Width(), map.Height());
    const TOverlaySize chosen = sizes[size_t(DefaultOverlaySizeIndex(sizes, map.Width(), map.Height()))];
    EXPECT_EQ(doc.OverlayBitmap.Width(), PowerOfTwoAtLeast(chosen.Width));
    EXPECT_EQ(doc.OverlayBitmap.Height(), PowerOfTwoAtLeast(chosen.Height));
    EXPECT_EQ(Find<QWidget>("OverPaintBox")->size(), QSize(doc.OverlayBitmap.Width(), doc.OverlayBitmap.Height()));
    EXPECT_EQ(Page().OptionsDlg().DisSize1->text().toStdString(), OverlayDimensionsText(map.Width(), map.Height()));
    EXPECT_EQ(Page().OptionsDlg().SizeList->count(), 11);
    EXPECT_DOUBLE_EQ(doc.OffsetX, -0.5);
    EXPECT_EQ(Find<QLabel>("OriginDis")->text(), "-0.5000 -0.5000");
    EXPECT_EQ(Find<QLabel>("RotationDis")->text(), "0.0");
    // The contours are drawn in red over the picture.
    int red = 0;
    const QImage& picture = Page().Picture();
    for (int y = 0; y < picture.height(); y += 2)
        for (int x = 0; x < picture.width(); x += 2)
            red += picture.pixel(x, y) == qRgb(255, 0, 0);
    EXPECT_GT(red, 500);
    if (const char* folder = std::getenv("KV_OVERLAY_SCREENSHOT")) {
        // For a look by eye: the page, and the picture at a coarser interval.
        Form_->grab().save(QString::fromLocal8Bit(folder) + QStringLiteral("/overlay-page.png"));
        Find<QSpinBox>("OverlayIntervalSpin")->setValue(400);
        Page().Picture().save(QString::fromLocal8Bit(folder) + QStringLiteral("/overlay-picture.png"));
    }

    // A picture that cannot be read leaves the overlay as it was.
    test::WriteFileText(Scratch / "bad.png", "no picture");
    Recorder.OpenAnswers = {QString::fromStdString((Scratch / "bad.png").string())};
    Click("LoadBtn");
    EXPECT_EQ(Recorder.Errors.size(), 1);
    EXPECT_EQ(Page().Document().OverlayFileName, MapFile);
}

TEST_F(KVOverlayPageTest, ButtonsAndMouseMoveTheGrid)
{
    LoadMap();
    TOverlayDocument& doc = Page().Document();
    Click("OverlayPanRightBtn");
    EXPECT_DOUBLE_EQ(doc.OffsetX, -0.5 - 0.05 * 0.5);
    Click("OverlayRotLeftBtn");
    EXPECT_EQ(Find<QLabel>("RotationDis")->text(), "3.0");
    Click("ResetOverlayBtn");
    EXPECT_DOUBLE_EQ(doc.OffsetX, -0.5);
    EXPECT_EQ(doc.Rotation, 0.0);

    // Dragging inside the frame pans pixel for pixel; the contours come back on release.
    const TPoint centre = doc.Frame.Centre;
    Mouse(QEvent::MouseButtonPress, centre.X, centre.Y, Qt::LeftButton);
    EXPECT_TRUE(doc.Dragging);
    Mouse(QEvent::MouseMove, centre.X + 20, centre.Y + 10, Qt::LeftButton);
    EXPECT_EQ(Find<QLabel>("MouseDis")->text(), QString("%1 %2").arg(centre.X + 20).arg(centre.Y + 10));
    Mouse(QEvent::MouseButtonRelease, centre.X + 20, centre.Y + 10, Qt::NoButton);
    EXPECT_FALSE(doc.Dragging);
    EXPECT_DOUBLE_EQ(doc.OffsetX, -0.5 - 20.0 / doc.OverlayBitmap.Width());
    EXPECT_DOUBLE_EQ(doc.OffsetY, -0.5 - 10.0 / doc.OverlayBitmap.Height());

    Find<QCheckBox>("HideContourChk")->setChecked(true);
    EXPECT_EQ(Page().Picture().pixel(centre.X, centre.Y + 20) == qRgb(255, 0, 0), false);
}

TEST_F(KVOverlayPageTest, OptionsResampleToTheChosenSize)
{
    LoadMap();
    TOverlayDlg& dlg = Page().OptionsDlg();
    dlg.SizeList->setCurrentRow(10);
    dlg.OverResizeBtn->click();
    TOverlaySize smallest;
    ASSERT_TRUE(dlg.SelectedSize(smallest));
    EXPECT_EQ(Page().Document().OverlayBitmap.Width(), PowerOfTwoAtLeast(smallest.Width));
    EXPECT_EQ(dlg.DisSize2->text().toStdString(),
              OverlayDimensionsText(PowerOfTwoAtLeast(smallest.Width), PowerOfTwoAtLeast(smallest.Height)));
    dlg.Format[1]->setChecked(true);
    dlg.NewOverlayColorBtn->click();
    EXPECT_EQ(Page().Document().OverlayBitmap.PixelFormat(), pf8bit);
    EXPECT_EQ(dlg.CurFormatDis->text(), "8 Bit Color Format");
}

TEST_F(KVOverlayPageTest, ApplyDrapesThePictureOverTheTerrain)
{
    LoadMap();
    TGLMesh* mesh = Form_->TerrainMesh();
    ASSERT_NE(mesh, nullptr);
    mesh->ResetAll();
    Page().UpdateApplyEnabled();
    EXPECT_FALSE(Find<QPushButton>("ApplyOverBtn")->isEnabled()) << "no terrain yet";
    mesh->AddTriangle({-10, 0, -10}, {-10, 0, 10}, {10, 0, -10}, 0xC0C0C0);
    Page().UpdateApplyEnabled();
    ASSERT_TRUE(Find<QPushButton>("ApplyOverBtn")->isEnabled());
    Click("ApplyOverBtn");
    EXPECT_TRUE(Recorder.Errors.isEmpty()) << Recorder.Errors.join(" ").toStdString();
    EXPECT_EQ(Find<QTabWidget>("MainPageControl")->currentIndex(), 2);
    EXPECT_TRUE(mesh->Texture->Enabled);
    EXPECT_EQ(mesh->Texture->Width, Page().Document().OverlayBitmap.Width());
}

// A checkerboard of red and blue squares, 16 pixels a side.
TBitmap Checkerboard(int32_t size)
{
    TBitmap picture(size, size, pf24bit);
    for (int32_t y = 0; y < size; ++y)
        for (int32_t x = 0; x < size; ++x)
            picture.SetPixel(x, y, ((x / 16 + y / 16) % 2 == 0) ? clRed : clBlue);
    return picture;
}

// Whether the picture is red (true) or blue (false) all around (x, y); nothing near an edge.
std::optional<bool> RedAround(const TBitmap& picture, double x, double y)
{
    std::optional<bool> red;
    for (int dy = -3; dy <= 3; ++dy)
        for (int dx = -3; dx <= 3; ++dx) {
            const TColor color = picture.GetPixel(int32_t(std::floor(x)) + dx, int32_t(std::floor(y)) + dy);
            if (color == clNone)
                return std::nullopt;
            const bool here = RedOf(color) > BlueOf(color);
            if (red && *red != here)
                return std::nullopt;
            red = here;
        }
    return red;
}

// Where OpenGL draws the object point p: through the object's model-view matrix of the last
// draw, the projection and the viewport. Nothing for a point behind the eye.
std::optional<QPointF> ScreenPoint(const Matrix4x4& modelView, const std::array<double, 16>& projection,
                                   const Vector3D& p, QSize viewport)
{
    const double in[4] = {p.x, p.y, p.z, 1.0};
    double eye[4] = {};
    double clip[4] = {};
    for (int row = 0; row < 4; ++row)
        for (int k = 0; k < 4; ++k)
            eye[row] += modelView[k * 4 + row] * in[k];
    for (int row = 0; row < 4; ++row)
        for (int k = 0; k < 4; ++k)
            clip[row] += projection[size_t(k * 4 + row)] * eye[k];
    if (clip[3] <= 0.0)
        return std::nullopt;
    return QPointF((clip[0] / clip[3] + 1.0) / 2.0 * viewport.width(),
                   (1.0 - clip[1] / clip[3]) / 2.0 * viewport.height());
}

// A turned alignment, applied to a converted terrain and looked at from above: at the terrain's
// points the view shows the colour the editor showed under them. The classification by the
// picture's colour ignores the light's shading; points near a square's edge are left out.
TEST_F(KVOverlayPageTest, ATurnedDrapeShowsOnTheTerrainWhereTheEditorShowedIt)
{
    Page().SetTopoSource([this] { return static_cast<const TTopoDocument*>(&Form_->TopoDocument()); });
    Form_->OpenDEMFile(QString::fromStdString((test::SamplesDir() / "jacksboro.dem").string()));
    ASSERT_TRUE(Form_->WaitForOpen(60000));
    Recorder.OnDialog = [](QDialog&) { return int(QDialog::Accepted); }; // the conversion's defaults
    ASSERT_TRUE(Form_->ConvertSelection(TRect{60, 40, 260, 190}));
    Form_->ShowPage(3);
    Page().SetOverlayPicture(Checkerboard(256), QString());
    for (int i = 0; i < 10; ++i)
        Click("OverlayRotLeftBtn");
    Click("OverlayPanRightBtn");
    const TOverlayDocument& doc = Page().Document();
    ASSERT_EQ(doc.Rotation, 30.0);
    Click("ApplyOverBtn");
    ASSERT_TRUE(Recorder.Errors.isEmpty()) << Recorder.Errors.join(" ").toStdString();

    TGLViewer& viewer = Form_->GLViewer();
    Form_->BaseMesh()->Visible = false;
    viewer.BaseFrame().RotateBy(90.0, 0.0, 0.0); // the terrain's top towards the eye
    const QImage view = viewer.grabFramebuffer().convertToFormat(QImage::Format_RGB32);
    std::array<double, 16> projection{};
    viewer.makeCurrent();
    glGetDoublev(GL_PROJECTION_MATRIX, projection.data());
    viewer.doneCurrent();

    const TTopoDocument& topo = Form_->TopoDocument();
    const int32_t cols = topo.Grid.Cols(), rows = topo.Grid.Rows();
    const double f = Form_->Document().Units().UnitFactor();
    const TOverlayLayout layout = OverlayLayoutFor(doc, cols, rows);
    TOverlayDocument unturned = doc;
    unturned.Rotation = 0.0;
    const TOverlayLayout unturnedLayout = OverlayLayoutFor(unturned, cols, rows);
    const TGLMesh& terrain = *Form_->TerrainMesh();
    int checked = 0, agreeing = 0, agreeingUnturned = 0;
    for (int32_t i = 0; i < terrain.Vertices.Count(); i += 7) {
        const Vector3D v = terrain.Vertices.Get(i);
        const double c = v.x / (topo.Spacing.East * f) + (cols - 1) / 2.0;
        const double r = v.z / (topo.Spacing.North * f) + (rows - 1) / 2.0;
        const TPointD shown = GridPointOnPicture(layout, c, r);
        const TPointD shownUnturned = GridPointOnPicture(unturnedLayout, c, r);
        const std::optional<bool> red = RedAround(doc.OverlayBitmap, shown.X, shown.Y);
        const std::optional<bool> redUnturned = RedAround(doc.OverlayBitmap, shownUnturned.X, shownUnturned.Y);
        const std::optional<QPointF> at = ScreenPoint(terrain.ModelMatrix, projection, v, view.size());
        if (!red || !redUnturned || !at || !view.rect().contains(at->toPoint()))
            continue;
        const QRgb pixel = view.pixel(at->toPoint());
        const bool drawnRed = qRed(pixel) > qBlue(pixel);
        ++checked;
        agreeing += drawnRed == *red;
        agreeingUnturned += drawnRed == *redUnturned;
    }
    ASSERT_GT(checked, 100);
    EXPECT_GT(agreeing, checked * 97 / 100) << checked << " points checked";
    // The check can tell: the picture as it lay before the turn agrees far less.
    EXPECT_LT(agreeingUnturned, checked * 80 / 100);
    if (const char* folder = std::getenv("KV_OVERLAY_SCREENSHOT"))
        view.save(QString::fromLocal8Bit(folder) + QStringLiteral("/turned-drape-from-above.png"));
}

// The page a user sees after opening the sample, selecting a box, "Edit", "Convert 3D" and
// loading the map picture, taken without a display: the picture with the box's contours over it.
TEST_F(KVOverlayPageTest, ScreenshotShowsTheLoadedPictureUnderTheContours)
{
    const QString picture = QString::fromStdString((Scratch / "overlay.png").string());
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("XDG_CONFIG_HOME", QString::fromStdString(Settings.Path().string()));
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(KV_APP_PATH),
                  {"--screenshot", picture, "--page", "overlay", "--box", "60,40,260,190", "--overlay",
                   QString::fromStdString(MapFile), QString::fromStdString((test::SamplesDir() / "jacksboro.dem").string())});
    ASSERT_TRUE(program.waitForFinished(120000));
    ASSERT_EQ(program.exitCode(), 0) << program.readAllStandardError().toStdString();

    const QImage image = QImage(picture).convertToFormat(QImage::Format_RGB32);
    ASSERT_FALSE(image.isNull());
    int red = 0, grey = 0;
    for (int y = image.height() / 2; y < image.height(); ++y)
        for (int x = 0; x < image.width() * 3 / 4; ++x) {
            const QRgb p = image.pixel(x, y);
            red += p == qRgb(255, 0, 0);
            grey += qRed(p) == qGreen(p) && qGreen(p) == qBlue(p) && qRed(p) > 40 && qRed(p) < 200;
        }
    EXPECT_GT(red, 5000) << "the contours";
    EXPECT_GT(grey, 1000) << "the shaded map under them";

    // A picture that cannot be read fails the run with the reader's message.
    program.start(QStringLiteral(KV_APP_PATH), {"--screenshot", picture, "--page", "overlay", "--overlay",
                                                QString::fromStdString((Scratch / "missing.png").string())});
    ASSERT_TRUE(program.waitForFinished(120000));
    EXPECT_EQ(program.exitCode(), 1);
}

} // namespace
} // namespace kv
