// The materials dialog on a viewer's objects: slider rules and edits of the checked renderers.

#include "glview/GLMaterialsDlg.h"

#include "glview/GLViewer.h"

#include <QDoubleSpinBox>
#include <QGroupBox>
#include <QListWidget>
#include <QPushButton>
#include <QSlider>

#include <cmath>

#include <gtest/gtest.h>

namespace kv {
namespace {

TEST(GLMaterialsDlgTest, SlidersMapExponentiallyAndBack)
{
    const struct {
        int Position;
        float Shininess, Specular;
    } rows[] = {{0, 0, 0}, {50, std::sqrt(128.0f) - 1, 15}, {100, 127, 255}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.Position);
        EXPECT_NEAR(TMaterialsDlg::ShininessOfPosition(row.Position), row.Shininess, 1e-4);
        EXPECT_NEAR(TMaterialsDlg::SpecularOfPosition(row.Position), row.Specular, 1e-4);
        EXPECT_EQ(TMaterialsDlg::PositionOfShininess(row.Shininess), row.Position);
        EXPECT_EQ(TMaterialsDlg::PositionOfSpecular(row.Specular), row.Position);
    }
    // The defaults: shininess 10 and specular 0.5.
    EXPECT_EQ(TMaterialsDlg::PositionOfShininess(10), 49);
    EXPECT_EQ(TMaterialsDlg::PositionOfSpecular(0.5f), 7);
}

TEST(GLMaterialsDlgTest, BlendFactorsFollowTheListOrder)
{
    EXPECT_EQ(TMaterialsDlg::BlendSourceOfIndex(2), 0x0306u); // GL_DST_COLOR
    EXPECT_EQ(TMaterialsDlg::BlendSourceOfIndex(8), 0x0308u); // GL_SRC_ALPHA_SATURATE
    EXPECT_EQ(TMaterialsDlg::BlendDestOfIndex(2), 0x0300u);   // GL_SRC_COLOR
    EXPECT_EQ(TMaterialsDlg::BlendDestOfIndex(5), 0x0303u);   // GL_ONE_MINUS_SRC_ALPHA
}

TEST(GLMaterialsDlgTest, EditsReachEveryCheckedRendererOnly)
{
    TGLViewer viewer;
    viewer.SetShowDefaultScene(true);
    viewer.RebuildDefaultScene();
    uint32_t chosen = 0x00FF00;
    TMaterialsDlg dialog(nullptr, [&](uint32_t& color) {
        color = chosen;
        return true;
    });
    dialog.Show(viewer);
    auto* list = dialog.findChild<QListWidget*>("SelectObjectList");
    ASSERT_EQ(list->count(), viewer.ObjectCount());
    EXPECT_EQ(list->item(0)->text(), "BaseMesh");
    EXPECT_EQ(dialog.findChild<QSlider*>("ShininessSlider")->value(), 49);

    TGLMesh& mesh = *viewer.FirstMesh();
    dialog.findChild<QSlider*>("SpecularSlider")->setValue(100);
    EXPECT_EQ(mesh.LightSpecular, (Float4{255, 255, 255, 255}));
    dialog.findChild<QDoubleSpinBox*>("EmissionRedSpin")->setValue(0.5);
    EXPECT_EQ(mesh.LightEmission, (Float4{0.5f, 0, 0, 1}));
    dialog.findChild<QGroupBox*>("TransparentGroup")->setChecked(true);
    EXPECT_TRUE(mesh.DoAlphaBlend);
    EXPECT_EQ(mesh.Transparency, 0) << "the slider shows the object's own transparency";
    dialog.findChild<QSlider*>("TransparencySlider")->setValue(30);
    EXPECT_EQ(mesh.Transparency, 30);
    EXPECT_EQ(mesh.BlendState().Dest, GLBlendOne) << "without Blend Background: source alpha, one";
    dialog.findChild<QPushButton*>("ChangeColorBtn")->click();
    EXPECT_EQ(mesh.GetColor(), 0x00FF00u);

    list->item(0)->setCheckState(Qt::Unchecked);
    dialog.findChild<QDoubleSpinBox*>("EmissionRedSpin")->setValue(1.0);
    EXPECT_EQ(mesh.LightEmission.r, 0.5f) << "an unchecked object keeps its values";
    EXPECT_TRUE(mesh.Selected()) << "check marks are not written back";

    list->item(0)->setCheckState(Qt::Checked);
    dialog.findChild<QPushButton*>("ResetBtn")->click();
    EXPECT_EQ(mesh.LightEmission, (Float4{0, 0, 0, 0}));
    EXPECT_EQ(mesh.LightSpecular, (Float4{0.5f, 0.5f, 0.5f, 1}));
    EXPECT_EQ(mesh.LightShininess, 10.0f);
}

} // namespace
} // namespace kv
