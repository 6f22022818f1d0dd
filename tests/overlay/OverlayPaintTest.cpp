// The overlay picture: contour levels, where the contours land for unturned and turned grids,
// the frame, hiding, dragging, the clip range, the abort hook and the readouts.

#include "overlay/OverlayPaint.h"

#include "platform/Canvas.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace kv {
namespace {

constexpr TColor Red = 0x0000FF;

// A white 1024 x 512 picture under a fitted 100 x 50 grid that rises 10 m per column eastwards
// (contours at 50 m run north-south through every fifth column).
struct TScene {
    TOverlayDocument Doc;
    TTopoGrid Grid;
    TBitmap Screen;
    TOverlayPaintOptions Options;

    TScene()
    {
        Doc.OverlayBitmap = TBitmap(1024, 512, pf24bit);
        TCanvas(Doc.OverlayBitmap).FillRect({0, 0, 1024, 512});
        Grid.SetSize(100, 50);
        for (int32_t c = 0; c < 100; ++c)
            for (int32_t r = 0; r < 50; ++r)
                Grid.Set(c, r, 10.0 * c + 3.0);
        FitOverlay(Doc, 100, 50);
        Options.IntervalMetres = 50.0;
    }
    bool Paint() { return PaintOverlay(Doc, Grid, Screen, Options); }
    int CountColor(TColor color, const TRect& area) const
    {
        int count = 0;
        for (int32_t y = std::max(area.Top, 0); y < std::min(area.Bottom, Screen.Height()); ++y)
            for (int32_t x = std::max(area.Left, 0); x < std::min(area.Right, Screen.Width()); ++x)
                count += Screen.GetPixel(x, y) == color;
        return count;
    }
};

TEST(OverlayPaintTest, FirstLevelIsAMultipleNotBelowTheLowestPoint)
{
    const double cases[][3] = {
        {7.5, 5, 10},  {-7.5, 5, -5}, {10, 5, 10},   {-10, 5, -10},
        {10.5, 5, 15}, {3.2, 0.5, 4}, {-0.5, 50, 0}, {0, 50, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(OverlayFirstLevel(c[0], c[1]), c[2]) << c[0] << " by " << c[1];
}

TEST(OverlayPaintTest, ContoursLieOnTheGridPointsTheyPassThrough)
{
    // The 50 m level passes between columns: 10 c + 3 = 50 at c = 4.7, and 1000 + ... every 5.
    for (double rotation : {0.0, 30.0, -90.0}) {
        TScene scene;
        scene.Doc.Rotation = rotation;
        ASSERT_TRUE(scene.Paint());
        const TOverlayLayout layout = OverlayLayoutFor(scene.Doc, 100, 50);
        int checked = 0;
        for (double c : {4.7, 24.7, 74.7}) {
            for (double r : {10.0, 25.0, 40.0}) {
                const TPointD p = GridPointOnPicture(layout, c, r);
                const int32_t x = int32_t(p.X), y = int32_t(p.Y);
                if (x < 2 || y < 2 || x > 1021 || y > 509)
                    continue; // turned off the picture
                ++checked;
                EXPECT_GT(scene.CountColor(Red, {x - 1, y - 1, x + 2, y + 2}), 0)
                    << "rotation " << rotation << " at column " << c << " row " << r;
            }
        }
        EXPECT_GE(checked, 3) << rotation;
        // Half-way between two levels there is no line.
        const TPointD gap = GridPointOnPicture(layout, 7.2, 25.0);
        EXPECT_EQ(
            scene.CountColor(Red, {int32_t(gap.X) - 3, int32_t(gap.Y) - 3, int32_t(gap.X) + 4, int32_t(gap.Y) + 4}), 0)
            << rotation;
    }
}

TEST(OverlayPaintTest, FrameAndHandlesOnlyWhileContoursShow)
{
    TScene scene;
    ASSERT_TRUE(scene.Paint());
    const TOverlayFrame frame = scene.Doc.Frame;
    ASSERT_TRUE(frame.Valid);
    // Corner handle: black inside, white outline; rotation handle green.
    EXPECT_EQ(scene.Screen.GetPixel(frame.Corner[1].X, frame.Corner[1].Y), clBlack);
    EXPECT_EQ(scene.Screen.GetPixel(frame.Corner[1].X - 5, frame.Corner[1].Y), clWhite);
    EXPECT_EQ(scene.Screen.GetPixel(frame.RotationHandle.X, frame.RotationHandle.Y), TColor(0x00FF00));

    TScene hidden;
    hidden.Options.HideContours = true;
    hidden.Doc.Frame = frame;
    hidden.Doc.OffsetX = -0.3; // moved, but the frame is not recomputed while hidden
    ASSERT_TRUE(hidden.Paint());
    EXPECT_EQ(hidden.CountColor(Red, {0, 0, 1024, 512}), 0);
    EXPECT_EQ(hidden.Doc.Frame.Corner[0], frame.Corner[0]);
    EXPECT_EQ(hidden.CountColor(clWhite, {0, 0, 1024, 512}), 1024 * 512);

    TScene inverted;
    inverted.Options.InvertImage = true;
    inverted.Options.HideContours = true;
    ASSERT_TRUE(inverted.Paint());
    EXPECT_EQ(inverted.CountColor(clBlack, {0, 0, 1024, 512}), 1024 * 512);
}

TEST(OverlayPaintTest, DraggingDrawsTheFrameWithoutContours)
{
    TScene scene;
    scene.Doc.Dragging = true;
    ASSERT_TRUE(scene.Paint());
    const TOverlayLayout layout = OverlayLayoutFor(scene.Doc, 100, 50);
    const TPointD p = GridPointOnPicture(layout, 24.7, 25.0);
    EXPECT_EQ(scene.CountColor(Red, {int32_t(p.X) - 2, int32_t(p.Y) - 2, int32_t(p.X) + 3, int32_t(p.Y) + 3}), 0);
    EXPECT_GT(scene.CountColor(Red, {0, 0, 1024, 512}), 1000); // the frame
}

TEST(OverlayPaintTest, UnturnedGridTracesOnlyCellsUnderTheClip)
{
    TScene scene;
    scene.Options.Clip = TRect{600, 0, 700, 512};
    ASSERT_TRUE(scene.Paint());
    // Columns 4.7 (x about 53) and 94.7 (x about 975) lie far outside the clip and its margin.
    EXPECT_EQ(scene.CountColor(Red, {40, 100, 70, 400}), 0);
    EXPECT_EQ(scene.CountColor(Red, {960, 100, 990, 400}), 0);
    EXPECT_GT(scene.CountColor(Red, {600, 100, 700, 400}), 0);
    // A turned grid ignores the clip.
    TScene turned;
    turned.Doc.Rotation = 1.0;
    turned.Options.Clip = TRect{600, 0, 700, 512};
    ASSERT_TRUE(turned.Paint());
    EXPECT_GT(turned.CountColor(Red, {40, 100, 70, 400}), 0);
}

TEST(OverlayPaintTest, AbortStopsTheTrace)
{
    TScene scene;
    int rows = 0;
    EXPECT_FALSE(PaintOverlay(scene.Doc, scene.Grid, scene.Screen, scene.Options, [&] { return ++rows == 3; }));
    EXPECT_EQ(rows, 3);
    TOverlayDocument empty;
    EXPECT_TRUE(PaintOverlay(empty, scene.Grid, scene.Screen, scene.Options));
    EXPECT_TRUE(scene.Screen.Empty());
}

TEST(OverlayPaintTest, ReadoutsShowAlignmentPerMetre)
{
    TOverlayDocument doc;
    doc.OffsetX = -0.5;
    doc.OffsetY = -0.25;
    doc.ScaleX = 0.01;
    doc.ScaleY = 0.02;
    doc.Rotation = -3.0;
    const TOverlayReadouts metres = OverlayReadouts(doc, 30.0, 20.0, 1.0);
    EXPECT_EQ(metres.Origin, "-0.5000 -0.2500");
    EXPECT_EQ(metres.Scale, "0.00033333 0.00100000");
    EXPECT_EQ(metres.Rotation, "-3.0");
    EXPECT_EQ(OverlayReadouts(doc, 30.0, 20.0, 1 / 0.3048).Scale, "0.00010160 0.00030480");
    const TOverlayReadouts unknown = OverlayReadouts(doc, 0.0, 20.0, 1.0);
    EXPECT_FALSE(unknown.HasScale);
    EXPECT_EQ(unknown.Origin, "-0.5000 -0.2500");
}

} // namespace
} // namespace kv
