// The graph box: tick ranges, the mapping between pixels and graph coordinates, the readout
// under the mouse and what it paints.

#include "controls/GraphBox.h"

#include <QApplication>
#include <QImage>
#include <QSignalSpy>
#include <QtTest/QTest>

#include <gtest/gtest.h>

namespace kv {
namespace {

QApplication& App()
{
    static int argc = 1;
    static char name[] = "kv_controls_tests";
    static char* argv[] = {name, nullptr};
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication* app = new QApplication(argc, argv); // lives until the process ends
    return *app;
}

TEST(GraphBoxTest, AxisRangesWidenToRoundSteps)
{
    struct TCase {
        const char* Name;
        double Low, High;
        TAxisRange Expected;
    };
    const TCase cases[] = {
        {"ratios up to 4", 0.87, 4.0, {0.0, 4.0, 1.0}},
        {"negative to positive", -3.0, 12.0, {-5.0, 15.0, 5.0}},
        {"small span", 1.03, 1.09, {1.02, 1.1, 0.02}},
        {"reversed", 4.0, 0.0, {0.0, 4.0, 1.0}},
        {"no extent", 2.0, 2.0, {1.5, 2.5, 0.5}},
        {"all zero", 0.0, 0.0, {-0.2, 0.2, 0.2}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const TAxisRange range = RoundedAxisRange(c.Low, c.High, 5);
        EXPECT_NEAR(range.Min, c.Expected.Min, 1e-12);
        EXPECT_NEAR(range.Max, c.Expected.Max, 1e-12);
        EXPECT_NEAR(range.Step, c.Expected.Step, 1e-12);
        EXPECT_LE(range.Min, std::min(c.Low, c.High));
        EXPECT_GE(range.Max, std::max(c.Low, c.High));
    }
}

TEST(GraphBoxTest, MouseReadoutGivesTheGraphPointUnderIt)
{
    App();
    TGraphBox box(nullptr);
    box.resize(400, 240);
    box.SetXAxis(0.0, 100.0, 5);
    box.FitYAxis(0.5, 4.0);
    box.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
    QSignalSpy spy(&box, &TGraphBox::GraphMouseMove);
    const QPointF pixel = box.ToPixel({25.0, 3.0});
    EXPECT_TRUE(box.PlotArea().contains(pixel.toPoint()));
    QTest::mouseMove(&box, pixel.toPoint());
    ASSERT_GE(spy.count(), 1);
    // One pixel is about 0.27 along x and 0.02 along y here.
    EXPECT_NEAR(spy.last().at(0).toDouble(), 25.0, 0.3);
    EXPECT_NEAR(spy.last().at(1).toDouble(), 3.0, 0.03);
    // The axis ends sit on the plot area's edges.
    EXPECT_EQ(box.ToPixel({0.0, 0.0}), QPointF(box.PlotArea().bottomLeft()));
    EXPECT_EQ(box.ToPixel({100.0, 4.0}), QPointF(box.PlotArea().topRight()));
}

TEST(GraphBoxTest, PaintsTheSeriesInItsColourOnWhite)
{
    App();
    TGraphBox box(nullptr);
    box.resize(300, 200);
    box.SetXAxis(0.0, 10.0, 5);
    box.FitYAxis(0.0, 4.0);
    box.AddSeries({{{0.0, 1.0}, {10.0, 1.0}}, QColor(255, 0, 0), 1});
    const QImage picture = box.grab().toImage();
    const QPoint onLine = box.ToPixel({3.3, 1.0}).toPoint();
    EXPECT_EQ(picture.pixelColor(onLine), QColor(255, 0, 0));
    const QPoint offLine = box.ToPixel({3.3, 2.5}).toPoint();
    EXPECT_EQ(picture.pixelColor(offLine), QColor(Qt::white));

    box.Clear();
    EXPECT_NE(box.grab().toImage().pixelColor(onLine), QColor(255, 0, 0));
}

} // namespace
} // namespace kv
