// The lighting dialog on a viewer: its controls follow and edit the lights.

#include "glview/GLLightingDlg.h"

#include "glview/GLViewer.h"

#include <QDoubleSpinBox>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>

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

} // namespace
} // namespace kv
