// Dragging on the overlay picture: what a press hits, and what moving with the button held does
// to the alignment (turning puts the rotation handle under the mouse, panning follows it).

#include "overlay/OverlayMouse.h"

#include "overlay/OverlayLayout.h"
#include "overlay/OverlayPaint.h"

#include <gtest/gtest.h>

#include <cmath>

namespace kv {
namespace {

// A 1024 x 512 picture with a fitted 100 x 50 grid and its painted frame.
TOverlayDocument Fitted()
{
    TOverlayDocument doc;
    doc.OverlayBitmap = TBitmap(1024, 512, pf24bit);
    FitOverlay(doc, 100, 50);
    doc.Frame = OverlayFrameFor(OverlayLayoutFor(doc, 100, 50));
    return doc;
}

TEST(OverlayMouseTest, PressHitsHandlesThenTheInside)
{
    const TOverlayDocument doc = Fitted();
    const TOverlayFrame& f = doc.Frame;
    struct TCase {
        TPoint At;
        TDragMode Mode;
    };
    const TCase cases[] = {
        {f.Corner[0], dmCorner1},
        {{f.Corner[1].X - 5, f.Corner[1].Y - 5}, dmCorner2},
        {{f.Corner[2].X + 4, f.Corner[2].Y + 4}, dmCorner3},
        {f.Corner[3], dmCorner4},
        {f.RotationHandle, dmRotate},
        {{f.RotationHandle.X + 5, f.RotationHandle.Y + 6}, dmPan}, // right edge excluded, inside
        {{512, 256}, dmPan},
        {{f.Corner[0].X - 6, 256}, dmNone},
        {{512, f.Corner[2].Y + 6}, dmNone},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(OverlayHitTest(f, c.At.X, c.At.Y), c.Mode) << c.At.X << "," << c.At.Y;

    // The inside of a turned frame: a point inside the unturned corner is outside after 45 degrees.
    TOverlayDocument turned = Fitted();
    turned.Rotation = 45.0;
    turned.Frame = OverlayFrameFor(OverlayLayoutFor(turned, 100, 50));
    EXPECT_EQ(OverlayHitTest(turned.Frame, 20, 20), dmNone);
    EXPECT_EQ(OverlayHitTest(turned.Frame, 512, 256), dmPan);
    EXPECT_EQ(OverlayHitTest(TOverlayFrame{}, 512, 256), dmNone);
}

TEST(OverlayMouseTest, RotationHandleFollowsTheMouse)
{
    struct TCase {
        int32_t DX; // mouse relative to the frame's centre
        int32_t DY;
        double Angle; // as dragged
        double Kept;  // as stored
    };
    const TCase cases[] = {
        {0, -100, 360, 0}, {100, 0, 270, -90}, {0, 100, 180, 180}, {-100, 0, 90, 90}, {70, -70, 315, -45},
    };
    for (const TCase& c : cases) {
        TOverlayDocument doc = Fitted();
        const TPoint centre = doc.Frame.Centre;
        EXPECT_DOUBLE_EQ(RotationHandleAngle(centre.X, centre.Y, centre.X + c.DX, centre.Y + c.DY), c.Angle);
        OverlayMouseDown(doc, doc.Frame.RotationHandle.X, doc.Frame.RotationHandle.Y);
        ASSERT_EQ(doc.DragMode, dmRotate);
        EXPECT_TRUE(OverlayMouseMove(doc, centre.X + c.DX, centre.Y + c.DY, true, 1024, 512));
        EXPECT_NEAR(doc.Rotation, c.Kept, 1e-9);
        // Repainted, the handle lies on the way from the centre to the mouse.
        const TOverlayFrame frame = OverlayFrameFor(OverlayLayoutFor(doc, 100, 50));
        const double handle = std::atan2(frame.RotationHandle.Y - centre.Y, frame.RotationHandle.X - centre.X);
        const double mouse = std::atan2(double(c.DY), double(c.DX));
        EXPECT_NEAR(std::remainder(handle - mouse, 2 * M_PI), 0.0, 0.02) << c.DX << "," << c.DY;
    }
}

TEST(OverlayMouseTest, PanningMovesTheGridWithTheMouse)
{
    TOverlayDocument doc = Fitted();
    const TOverlayLayout before = OverlayLayoutFor(doc, 100, 50);
    OverlayMouseDown(doc, 500, 250);
    ASSERT_EQ(doc.DragMode, dmPan);
    EXPECT_TRUE(OverlayMouseMove(doc, 530, 240, true, 1024, 512));
    EXPECT_TRUE(OverlayMouseMove(doc, 537, 238, true, 1024, 512));
    const TOverlayLayout after = OverlayLayoutFor(doc, 100, 50);
    EXPECT_NEAR(after.OriginX - before.OriginX, 37.0, 1e-9);
    EXPECT_NEAR(after.OriginY - before.OriginY, -12.0, 1e-9);
    // Without the button nothing changes, but the last point follows.
    EXPECT_FALSE(OverlayMouseMove(doc, 600, 300, false, 1024, 512));
    EXPECT_EQ(doc.LastMouse, (TPoint{600, 300}));
    OverlayMouseUp(doc);
    EXPECT_FALSE(doc.Dragging);
}

TEST(OverlayMouseTest, CornerDragsScaleByDistanceFromTheCentre)
{
    TOverlayDocument doc = Fitted();
    const TPoint corner = doc.Frame.Corner[2];
    const TPoint centre = doc.Frame.Centre;
    OverlayMouseDown(doc, corner.X, corner.Y);
    ASSERT_EQ(doc.DragMode, dmCorner3);
    // Straight down by 51.2 pixels would be 0.1 of the height; use a point on the same ray.
    const double d0 = std::hypot(corner.X - centre.X, corner.Y - centre.Y);
    const double grow = 51.2 / d0;
    const int32_t x = centre.X + int32_t(std::lround((corner.X - centre.X) * (1 + grow)));
    const int32_t y = centre.Y + int32_t(std::lround((corner.Y - centre.Y) * (1 + grow)));
    const double d = (std::hypot(x - centre.X, y - centre.Y) - d0) / 512.0;
    EXPECT_TRUE(OverlayMouseMove(doc, x, y, true, 1024, 512));
    EXPECT_NEAR(doc.ScaleX, doc.DefaultScaleX * (1 + 1.5 * d), 1e-12);
    EXPECT_NEAR(doc.ScaleY, doc.DefaultScaleY * (1 + 1.5 * d), 1e-12);
    // Dragged onto the centre the scales would turn negative: both stay.
    const double scaleX = doc.ScaleX;
    const double scaleY = doc.ScaleY;
    EXPECT_FALSE(OverlayMouseMove(doc, centre.X, centre.Y, true, 1024, 512));
    EXPECT_EQ(doc.ScaleX, scaleX);
    EXPECT_EQ(doc.ScaleY, scaleY);
}

} // namespace
} // namespace kv
