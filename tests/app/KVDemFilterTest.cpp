// "Filter Data" driven as a user drives it: the profile graph and its readout, the direction,
// and "Smooth Data" on the topo grid.

#include "app/KVDemFilter.h"

#include "AppTestSupport.h"
#include "controls/GraphBox.h"

#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include <functional>

namespace kv {
namespace {

using test::TRecorder;

class KVDemFilterTest : public ::testing::Test {
protected:
    void SetUp() override { test::TestApplication(); }

    bool Run(const std::function<void(TFilterDlg&)>& user)
    {
        Recorder.OnDialog = [&](QDialog& dialog) {
            dialog.show();
            EXPECT_TRUE(QTest::qWaitForWindowExposed(&dialog));
            user(Dlg);
            dialog.hide();
            return int(QDialog::Rejected);
        };
        return Dlg.ShowFilter(Doc);
    }

    template <typename T>
    T* Child(const char* name)
    {
        return Dlg.findChild<T*>(QLatin1String(name));
    }

    TRecorder Recorder;
    TTopoDocument Doc;
    TFilterDlg Dlg{nullptr, Recorder.Services()};
};

TEST_F(KVDemFilterTest, EmptyTopoGridIsRefused)
{
    bool shown = false;
    EXPECT_FALSE(Run([&](TFilterDlg&) { shown = true; }));
    EXPECT_FALSE(shown);
    EXPECT_EQ(Recorder.Errors, QStringList{QLatin1String(NoTerrainLoadedMessage)});
}

TEST_F(KVDemFilterTest, SmoothDataFlattensTheChosenDirectionInPlace)
{
    // Row 0: 0, 0, 9, 0, 0; column 0 (downwards): 0, 6, 0.
    Doc.Grid.SetSize(5, 3);
    Doc.Grid.Set(2, 0, 9.0);
    Doc.Grid.Set(0, 1, 6.0);
    const bool smoothed = Run([&](TFilterDlg& dlg) {
        EXPECT_EQ(dlg.windowTitle(), "Filter Data");
        QTest::mouseClick(Child<QPushButton>("SmoothBtn"), Qt::LeftButton);
        QTest::mouseClick(Child<QRadioButton>("SouthNorthRadio"), Qt::LeftButton);
        EXPECT_EQ(dlg.Direction(), fdSouthNorth);
        QTest::mouseClick(Child<QPushButton>("SmoothBtn"), Qt::LeftButton);
    });
    EXPECT_TRUE(smoothed);
    // West-East first: each mean uses the smoothed western neighbour.
    EXPECT_DOUBLE_EQ(Doc.Grid.Get(1, 0), 3.0);
    EXPECT_DOUBLE_EQ(Doc.Grid.Get(2, 0), 4.0);
    EXPECT_NEAR(Doc.Grid.Get(3, 0), 4.0 / 3.0, 1e-12);
    EXPECT_DOUBLE_EQ(Doc.Grid.Get(4, 0), 0.0);
    // Row 1 was 6, 0, 0, 0, 0 and became 6, 2, 2/3, 2/9, 0; then South-North down column 0
    // (0, 6, 0) and column 1 (3, 2, 0).
    EXPECT_DOUBLE_EQ(Doc.Grid.Get(0, 1), 2.0);
    EXPECT_NEAR(Doc.Grid.Get(1, 1), 5.0 / 3.0, 1e-12);
}

TEST_F(KVDemFilterTest, GraphShowsTheProfileOfTheDirectionAndTheMousePosition)
{
    // Steps of 1 along the rows with a step of 6 after every third column: stripes.
    Doc.Grid.SetSize(24, 12);
    for (int c = 0; c < 24; ++c)
        for (int r = 0; r < 12; ++r)
            Doc.Grid.Set(c, r, c + 5.0 * (c / 3) + r);
    Run([&](TFilterDlg& dlg) {
        const TGraphBox& graph = dlg.GraphBox();
        ASSERT_EQ(graph.Series().size(), 1u);
        EXPECT_EQ(graph.Series()[0].Points.size(), 20u);
        EXPECT_EQ(graph.Series()[0].Color, QColor(255, 0, 0));
        EXPECT_EQ(graph.XMax(), 20.0);
        // The stripes' peaks reach far above 4 and the axis follows them.
        double highest = 0.0;
        for (const QPointF& point : graph.Series()[0].Points)
            highest = std::max(highest, point.y());
        EXPECT_GT(highest, 4.0);
        EXPECT_GE(graph.YAxis().Max, highest);

        const QPointF pixel = graph.ToPixel({10.4, 1.5});
        QMouseEvent move(QEvent::MouseMove, pixel, dlg.GraphBox().mapToGlobal(pixel), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QApplication::sendEvent(&dlg.GraphBox(), &move);
        const QString readout = Child<QLabel>("DisCursor")->text();
        EXPECT_TRUE(readout.startsWith(QStringLiteral("10 1."))) << readout.toStdString();

        QTest::mouseClick(Child<QRadioButton>("SouthNorthRadio"), Qt::LeftButton);
        ASSERT_EQ(graph.Series().size(), 1u);
        EXPECT_EQ(graph.Series()[0].Points.size(), 8u);
    });
}

} // namespace
} // namespace kv
