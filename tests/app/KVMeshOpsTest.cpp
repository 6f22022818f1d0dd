// "Convert 3D" through the window: the conversion settings dialog, the progress window and the
// terrain on the 3D page, then its colouring from "Special Effects...".

#include "app/KVMain.h"

#include "AppTestSupport.h"
#include "app/KVConvertProgress.h"
#include "app/KVMeshOps.h"
#include "app/KVSpecialEffects.h"
#include "glview/GLViewer.h"
#include "support/TestData.h"
#include "terrain/KVMesh.h"

#include <QDialog>
#include <QLabel>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace kv {
namespace {

using test::TRecorder;
using test::TTempDir;

class KVMeshOpsTest : public ::testing::Test {
protected:
    void SetUp() override { test::TestApplication(); }

    TForm1& Form()
    {
        TMainOptions options;
        options.SettingsFolder = Settings.Path();
        options.Services = Recorder.Services();
        Form_ = std::make_unique<TForm1>(std::move(options));
        Form_->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(Form_.get()));
        EXPECT_TRUE(QTest::qWaitFor([&] { return Form_->TerrainMesh() != nullptr; }));
        return *Form_;
    }
    void OpenSample()
    {
        Form_->OpenDEMFile(QString::fromStdString((test::SamplesDir() / "jacksboro.dem").string()));
        ASSERT_TRUE(Form_->WaitForOpen(60000));
    }
    QString Panel(QDialog& dialog, const char* name) { return dialog.findChild<QLabel*>(QLatin1String(name))->text(); }

    TTempDir Settings;
    TRecorder Recorder;
    std::unique_ptr<TForm1> Form_;
};

TEST_F(KVMeshOpsTest, AnEmptyTopoGridIsRefusedWithTheProgramsMessage)
{
    TForm1& form = Form();
    bool dialogShown = false;
    Recorder.OnDialog = [&](QDialog&) {
        dialogShown = true;
        return int(QDialog::Accepted);
    };
    EXPECT_FALSE(form.RunConversion(form.TopoDocument()));
    EXPECT_FALSE(dialogShown);
    ASSERT_EQ(Recorder.Errors.size(), 1);
    EXPECT_TRUE(Recorder.Errors[0].startsWith(QStringLiteral("No Terrain Loaded Into Topo Editor")));
}

TEST_F(KVMeshOpsTest, ProcessFileFillsBothMeshesFromTheSelection)
{
    TForm1& form = Form();
    OpenSample();
    QString faces;
    Recorder.OnDialog = [&](QDialog& dialog) {
        dialog.findChild<QSpinBox*>(QStringLiteral("SqrLimitSpin"))->setValue(20);
        faces = Panel(dialog, "FacesDis");
        EXPECT_EQ(Panel(dialog, "ArraySizeDis"), QStringLiteral("200 X 150 = 30000"));
        EXPECT_FALSE(Panel(dialog, "MemSizeDis").isEmpty());
        EXPECT_FALSE(form.Converting());
        return int(QDialog::Accepted);
    };
    ASSERT_TRUE(form.ConvertSelection(TRect{100, 50, 300, 200}));
    const TSampleCounts counts = SampleCounts(200, 150, 20);
    EXPECT_EQ(faces.toLongLong(), 2LL * (counts.NX - 1) * (counts.NY - 1));
    EXPECT_EQ(form.TerrainMesh()->FaceCount(), faces.toInt());
    EXPECT_EQ(form.BaseMesh()->FaceCount(), 2 + 4 * (counts.NX - 1) + 4 * (counts.NY - 1));
    EXPECT_EQ(form.TerrainMesh()->GetColor(), TerrainColor);
    EXPECT_EQ(form.BaseMesh()->GetColor(), BaseColor);
    EXPECT_EQ(form.findChild<QTabWidget*>(QStringLiteral("MainPageControl"))->currentIndex(), 2);
    EXPECT_FALSE(form.TrnProgressDlg().isVisible());
    EXPECT_EQ(form.TrnProgressDlg().findChild<QLabel*>(QStringLiteral("ActionDis"))->text(), QStringLiteral("Done"));
    EXPECT_FALSE(form.Converting());

    // Cancel leaves the terrain as it is; the dialog keeps the last values.
    Recorder.OnDialog = [&](QDialog& dialog) {
        EXPECT_EQ(dialog.findChild<QSpinBox*>(QStringLiteral("SqrLimitSpin"))->value(), 20);
        return int(QDialog::Rejected);
    };
    EXPECT_FALSE(form.RunConversion(form.TopoDocument()));
    EXPECT_EQ(form.TerrainMesh()->FaceCount(), faces.toInt());
}

// Calls the conversion again from every repaint of the progress window's step label, which
// happens while the first conversion runs.
class TReentry : public QObject {
public:
    explicit TReentry(std::function<void()> call) : Call_(std::move(call)) {}
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            Call_();
        return false;
    }

private:
    std::function<void()> Call_;
};

TEST_F(KVMeshOpsTest, NoSecondConversionStartsWhileOneRuns)
{
    TForm1& form = Form();
    OpenSample();
    int dialogs = 0;
    Recorder.OnDialog = [&](QDialog&) {
        ++dialogs;
        return int(QDialog::Accepted);
    };
    int attempts = 0;
    int started = 0;
    TReentry reentry([&] {
        ++attempts;
        started += form.RunConversion(form.TopoDocument());
    });
    form.TrnProgressDlg().findChild<QLabel*>(QStringLiteral("ActionDis"))->installEventFilter(&reentry);
    ASSERT_TRUE(form.ConvertSelection(TRect{100, 50, 200, 150}));
    EXPECT_GT(attempts, 0) << "the label repainted during the conversion";
    EXPECT_EQ(started, 0);
    EXPECT_EQ(dialogs, 1);
}

TEST_F(KVMeshOpsTest, SpecialEffectsRecolourTheConvertedTerrain)
{
    TForm1& form = Form();
    OpenSample();
    Recorder.OnDialog = [](QDialog&) { return int(QDialog::Accepted); };
    ASSERT_TRUE(form.ConvertSelection(TRect{100, 50, 200, 150}));
    TTerrainTextureDlg& effects = form.TerrainTextureDlg();
    effects.SetTarget(form.TerrainMesh(), [] {});
    TGLMesh& terrain = *form.TerrainMesh();

    effects.ColorBySlope();
    const int32_t faces = terrain.FaceCount();
    int32_t recoloured = 0;
    for (int32_t i = 0; i < faces; ++i)
        recoloured += terrain.FaceColor.FaceColor(i) != TerrainColor;
    EXPECT_EQ(recoloured, faces);

    effects.ColorDepth();
    EXPECT_TRUE(terrain.Texture->Enabled);
    EXPECT_EQ(terrain.GetColor(), 0xFFFFFFu);

    effects.ColorFaces();
    EXPECT_FALSE(terrain.Texture->Enabled);
    EXPECT_EQ(effects.DepthBar().Top(), terrain.GetExtentMax().y);
}

} // namespace
} // namespace kv
