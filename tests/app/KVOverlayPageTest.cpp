// The "Overlay Editor" page driven as a user drives it: loading a map picture of the sample DEM
// (drawn by the command-line tool), the contours of the same ground over it, the buttons, the
// mouse, the options dialog and "Apply Overlay" onto a terrain mesh.

#include "app/KVMain.h"

#include "AppTestSupport.h"
#include "app/KVOverlayDlg.h"
#include "app/KVOverlayPage.h"
#include "dem/KVDemReader.h"
#include "gl/GLMesh.h"
#include "imaging/ImageLib.h"
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

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

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

} // namespace
} // namespace kv
