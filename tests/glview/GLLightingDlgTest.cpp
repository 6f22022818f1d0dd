// The lighting dialog on a viewer: its controls follow and edit the lights.

#include "glview/GLLightingDlg.h"

#include "glview/GLLightControls.h"
#include "glview/GLViewer.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTest>

#include <gtest/gtest.h>

namespace kv {
namespace {

TEST(GLLightingDlgTest, AmbientSliderMapsToMinusTwoToTwo)
{
    // The stored single 0.1 lies just above 0.1, so (0.1 + 2) * 25 rounds up.
    EXPECT_EQ(TLightingDlg::AmbientPosition(0.1f), 53);
    EXPECT_EQ(TLightingDlg::AmbientOfPosition(0), -2.0f);
    EXPECT_EQ(TLightingDlg::AmbientOfPosition(100), 2.0f);
    EXPECT_EQ(TLightingDlg::AmbientOfPosition(50), 0.0f);
}

TEST(GLLightingDlgTest, ControlsEditTheSelectedLightAndResetAllTouchesOnlyEnabledOnes)
{
    TGLViewer viewer;
    TLightingDlg dialog(nullptr);
    viewer.Lights()[3].Enabled = true;
    viewer.Lights()[3].LightPosition = {1, 2, 3, 1};
    viewer.Lights()[5].LightPosition = {4, 5, 6, 1};
    dialog.Show(viewer);
    auto* list = dialog.findChild<QListWidget*>("LightList");
    EXPECT_EQ(list->currentRow(), 0);
    EXPECT_EQ(list->item(0)->checkState(), Qt::Checked);
    EXPECT_EQ(list->item(3)->checkState(), Qt::Checked);
    EXPECT_EQ(list->item(5)->checkState(), Qt::Unchecked);
    EXPECT_EQ(dialog.findChild<QSlider*>("AmbientSlider")->value(), 53);

    list->setCurrentRow(3);
    EXPECT_EQ(dialog.findChild<QDoubleSpinBox*>("PosZSpin")->value(), 3.0);
    dialog.findChild<QDoubleSpinBox*>("PosXSpin")->setValue(-7);
    dialog.findChild<QRadioButton*>("DirectionalBtn")->setChecked(true);
    EXPECT_EQ(viewer.Lights()[3].LightPosition, (Float4{-7, 2, 3, 1}));
    EXPECT_EQ(viewer.Lights()[3].LightType, ltDirectional);
    EXPECT_EQ(viewer.Lights()[3].GLPosition(), (Float4{0, 0, 1, 0})) << "a directional light sends its direction";

    list->item(5)->setCheckState(Qt::Checked);
    EXPECT_TRUE(viewer.Lights()[5].Enabled);
    list->item(5)->setCheckState(Qt::Unchecked);
    EXPECT_FALSE(viewer.Lights()[5].Enabled);

    dialog.findChild<QPushButton*>("ResetAllBtn")->click();
    EXPECT_EQ(viewer.Lights()[3].LightPosition, (Float4{8, 8, 16, 1}));
    EXPECT_EQ(viewer.Lights()[3].LightType, ltPoint);
    EXPECT_TRUE(viewer.Lights()[3].Enabled);
    EXPECT_EQ(viewer.Lights()[5].LightPosition, (Float4{4, 5, 6, 1})) << "disabled lights keep their values";

    dialog.findChild<QSlider*>("AmbientSlider")->setValue(0);
    EXPECT_EQ(viewer.NormalAmbient(), (Float4{-2, -2, -2, -2}));
}

TEST(GLLightingDlgTest, PickersAndGraphsEditTheSelectedLight)
{
    TGLViewer viewer;
    TLightingDlg dialog(nullptr);
    viewer.Lights()[0].SpotDirection = {0.6f, 0, -0.8f};
    viewer.Lights()[0].Direction = {0, 0.6f, 0.8f, 0};
    dialog.Show(viewer);
    auto* spot = dialog.findChild<TDirectionPicker*>("SpotDirectionPicker");
    auto* directional = dialog.findChild<TDirectionPicker*>("DirectionPicker");
    spot->resize(100, 100);
    directional->resize(100, 100);
    // The pickers show x negated.
    EXPECT_NEAR(spot->Direction().x, -0.6, 1e-6);
    EXPECT_NEAR(spot->Direction().z, -0.8, 1e-6);
    EXPECT_NEAR(directional->Direction().y, 0.6, 1e-6);
    EXPECT_TRUE(dialog.findChild<QCheckBox*>("DirectionPickerPositiveZ")->isChecked());

    // A click on the right of the spot picker's rim points the light to the left of the eye.
    QTest::mouseClick(spot, Qt::LeftButton, {}, QPoint(99, 50));
    const Vector3F& d = viewer.Lights()[0].SpotDirection;
    EXPECT_LT(d.x, -0.95f);
    EXPECT_NEAR(d.x * d.x + d.y * d.y + d.z * d.z, 1.0f, 1e-5f);
    // The centre of the directional picker on its +z side: straight from the eye's direction.
    QTest::mouseClick(directional, Qt::LeftButton, {}, QPoint(50, 50));
    EXPECT_NEAR(viewer.Lights()[0].Direction.b, 1.0f, 1e-3f);
    EXPECT_EQ(viewer.Lights()[0].Direction.a, 0.0f);
    dialog.findChild<QCheckBox*>("DirectionPickerPositiveZ")->setChecked(false);
    EXPECT_NEAR(viewer.Lights()[0].Direction.b, -1.0f, 1e-3f);

    // Dragging on the graphs sets x and y from the front, x and z from above.
    auto* front = dialog.findChild<TPositionGraph*>("FrontGraph");
    auto* above = dialog.findChild<TPositionGraph*>("AboveGraph");
    front->resize(140, 140);
    above->resize(140, 140);
    QTest::mousePress(front, Qt::LeftButton, {}, QPoint(100, 40));
    const QPointF xy = front->GraphAt(QPointF(100, 40));
    EXPECT_GT(xy.x(), 0);
    EXPECT_GT(xy.y(), 0) << "up is positive on the front graph";
    EXPECT_NEAR(viewer.Lights()[0].LightPosition.r, xy.x(), 0.01);
    EXPECT_NEAR(viewer.Lights()[0].LightPosition.g, xy.y(), 0.01);
    QTest::mousePress(above, Qt::LeftButton, {}, QPoint(30, 40));
    const QPointF xz = above->GraphAt(QPointF(30, 40));
    EXPECT_LT(xz.y(), 0) << "up is negative on the graph from above";
    EXPECT_NEAR(viewer.Lights()[0].LightPosition.r, xz.x(), 0.01);
    EXPECT_NEAR(viewer.Lights()[0].LightPosition.g, xy.y(), 0.01);
    EXPECT_NEAR(viewer.Lights()[0].LightPosition.b, xz.y(), 0.01);
    EXPECT_EQ(front->Marker().x(), above->Marker().x());
}

} // namespace
} // namespace kv
