// The selection box: hit zones, the pixels it draws, exact restoring, and mouse drags.

#include "mapview/SelectBox.h"

#include "platform/Canvas.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>

namespace kv {
namespace {

TBitmap RandomPicture(int32_t width, int32_t height, TPixelFormat format, uint32_t seed)
{
    TBitmap bitmap(width, height, format);
    std::mt19937 random(seed);
    for (int32_t y = 0; y < height; ++y)
        for (size_t i = 0; i < bitmap.RowBytes(); ++i)
            bitmap.ScanLine(y)[i] = static_cast<uint8_t>(random());
    // The fourth byte of a 32-bit pixel and row padding are kept as they are; only colours matter.
    return bitmap;
}

bool SamePixels(const TBitmap& a, const TBitmap& b)
{
    for (int32_t y = 0; y < a.Height(); ++y)
        if (std::memcmp(a.ScanLine(y), b.ScanLine(y), a.RowBytes()) != 0)
            return false;
    return true;
}

TEST(SelectBox, HitZones)
{
    const TRect box{10, 20, 50, 60};
    struct TCase {
        int32_t X, Y;
        THitZone Zone;
    };
    const TCase cases[] = {
        {7, 17, hzTopLeft},   {12, 22, hzTopLeft},  {13, 23, hzInside}, // exclusive limit
        {47, 17, hzTopRight}, {52, 22, hzTopRight}, {53, 22, hzOutside}, {7, 57, hzBottomLeft}, {52, 62, hzBottomRight},
        {7, 23, hzLeft},      {7, 56, hzLeft},      {47, 40, hzRight},   {13, 17, hzTop},       {46, 22, hzTop},
        {30, 62, hzBottom},   {30, 63, hzOutside},  {30, 40, hzInside},  {6, 40, hzOutside},    {49, 59, hzBottomRight},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.X << "," << c.Y);
        EXPECT_EQ(SelectionHitTest(box, c.X, c.Y), c.Zone);
    }
    const std::pair<THitZone, TCursor> cursors[] = {
        {hzOutside, crDefault},      {hzTopLeft, crSizeNWSE}, {hzTopRight, crSizeNESW}, {hzBottomLeft, crSizeNESW},
        {hzBottomRight, crSizeNWSE}, {hzInside, crSizeAll},   {hzLeft, crSizeWE},       {hzRight, crSizeWE},
        {hzTop, crSizeNS},           {hzBottom, crSizeNS},
    };
    for (const auto& [zone, cursor] : cursors)
        EXPECT_EQ(SelectionCursor(zone), cursor) << int(zone);
}

TEST(SelectBox, DrawsOutlinesAndHandles)
{
    TBitmap surface(40, 40, pf32bit);
    TCanvas(surface).FillRect({0, 0, 40, 40}); // white
    TSelectionBox box;
    box.SetDrawingSurface(&surface);
    box.SetRect({10, 10, 30, 25});
    box.Show();
    EXPECT_EQ(surface.GetPixel(15, 10), clRed); // the box's own outline, corners included
    EXPECT_EQ(surface.GetPixel(30, 18), clRed);
    EXPECT_EQ(surface.GetPixel(20, 25), clRed);
    EXPECT_EQ(surface.GetPixel(15, 9), clBlack); // one pixel further out
    EXPECT_EQ(surface.GetPixel(31, 18), clBlack);
    EXPECT_EQ(surface.GetPixel(20, 26), clBlack);
    EXPECT_EQ(surface.GetPixel(15, 11), clWhite);
    // Handle at (10, 10): the square (7, 7) .. (12, 12), white rim, black inside.
    EXPECT_EQ(surface.GetPixel(7, 7), clWhite);
    EXPECT_EQ(surface.GetPixel(12, 12), clWhite);
    EXPECT_EQ(surface.GetPixel(8, 8), clBlack);
    EXPECT_EQ(surface.GetPixel(11, 11), clBlack);
    EXPECT_EQ(surface.GetPixel(30, 25), clBlack); // inside the bottom-right handle
    EXPECT_EQ(surface.GetPixel(6, 6), clWhite);   // the picture

    // Without sizing there are no handles.
    TBitmap plain(40, 40, pf32bit);
    TCanvas(plain).FillRect({0, 0, 40, 40});
    TSelectionBox fixed;
    fixed.UserSizeable = false;
    fixed.SetDrawingSurface(&plain);
    fixed.SetRect({10, 10, 30, 25});
    fixed.Show();
    EXPECT_EQ(plain.GetPixel(10, 10), clRed);
    EXPECT_EQ(plain.GetPixel(8, 8), clWhite);
}

TEST(SelectBox, HidingRestoresThePicturePixelForPixel)
{
    for (const TPixelFormat format : {pf32bit, pf24bit, pf8bit, pf1bit}) {
        SCOPED_TRACE(int(format));
        TBitmap surface = RandomPicture(61, 47, format, 7);
        const TBitmap original = surface;
        TSelectionBox box;
        box.SetDrawingSurface(&surface);
        box.SetRect({5, 6, 40, 30});
        box.Show();
        EXPECT_FALSE(SamePixels(surface, original));
        // Redrawn several times without hiding, across the edges and reversed.
        for (const TRect r : {TRect{-4, -2, 20, 20}, TRect{50, 40, 70, 60}, TRect{30, 30, 2, 3}, TRect{0, 0, 0, 0},
                              TRect{1, 1, 60, 46}, TRect{-10, 10, 70, 11}})
            box.SetRect(r);
        box.Hide();
        EXPECT_TRUE(SamePixels(surface, original));
        // A second hide changes nothing.
        box.Hide();
        EXPECT_TRUE(SamePixels(surface, original));
    }
}

TEST(SelectBox, DraggingANewBoxUpAndLeft)
{
    TBitmap surface(200, 200, pf32bit);
    TSelectionBox box;
    box.SetDrawingSurface(&surface);
    box.SetRect({10, 10, 30, 30});
    box.Show();
    box.MouseDown(100, 100); // outside: a new box at the press point, dragged by its bottom-right
    EXPECT_EQ(box.Rect(), (TRect{100, 100, 100, 100}));
    EXPECT_EQ(box.Cursor(), crDefault);
    box.MouseMove(120, 110);
    EXPECT_EQ(box.Mode(), hzBottomRight);
    EXPECT_EQ(box.Rect(), (TRect{100, 100, 120, 110}));
    box.MouseMove(80, 70); // past the anchor: flipped both ways, now held by its top-left
    EXPECT_EQ(box.Rect(), (TRect{80, 70, 100, 100}));
    EXPECT_EQ(box.Mode(), hzTopLeft);
    EXPECT_EQ(box.Cursor(), crSizeNWSE);
    box.MouseMove(90, 60);
    EXPECT_EQ(box.Rect(), (TRect{90, 60, 100, 100}));
    box.MouseUp();
    EXPECT_FALSE(box.Dragging());
}

TEST(SelectBox, MovingAndFlippingEdges)
{
    TBitmap surface(200, 200, pf32bit);
    TSelectionBox box;
    box.SetDrawingSurface(&surface);
    box.SetRect({50, 50, 100, 90});
    box.Show();
    box.MouseDown(70, 70); // inside: moves by the mouse's displacement
    box.MouseMove(75, 60);
    box.MouseMove(65, 58);
    EXPECT_EQ(box.Rect(), (TRect{45, 38, 95, 78}));
    box.MouseUp();

    box.MouseDown(45, 60); // the left edge, dragged past the right one
    EXPECT_EQ(box.Mode(), hzLeft);
    EXPECT_EQ(box.Cursor(), crSizeWE);
    box.MouseMove(120, 61);
    EXPECT_EQ(box.Rect(), (TRect{95, 38, 120, 78}));
    EXPECT_EQ(box.Mode(), hzRight);
    box.MouseUp();

    box.MouseDown(100, 38); // the top edge, dragged below the bottom
    EXPECT_EQ(box.Mode(), hzTop);
    box.MouseMove(100, 90);
    EXPECT_EQ(box.Rect(), (TRect{95, 78, 120, 90}));
    EXPECT_EQ(box.Mode(), hzBottom);
    box.MouseUp();

    box.MouseMove(110, 84); // hovering
    EXPECT_EQ(box.Cursor(), crSizeAll);
    box.MouseMove(150, 150);
    EXPECT_EQ(box.Cursor(), crDefault);
}

TEST(SelectBox, FixedBoxOnlyMoves)
{
    TBitmap surface(200, 200, pf32bit);
    TSelectionBox box;
    box.UserSizeable = false;
    box.SetDrawingSurface(&surface);
    box.SetRect({50, 50, 100, 90});
    box.Show();
    box.MouseDown(150, 150); // outside: no new box
    box.MouseMove(160, 170);
    EXPECT_EQ(box.Rect(), (TRect{50, 50, 100, 90}));
    box.MouseUp();
    box.MouseDown(70, 70); // inside: dragging changes nothing either
    box.MouseMove(80, 80);
    EXPECT_EQ(box.Rect(), (TRect{50, 50, 100, 90}));
    box.MouseUp();
    box.MouseMove(60, 60); // but hovering inside shows the move cursor
    EXPECT_EQ(box.Cursor(), crSizeAll);
}

TEST(SelectBox, HiddenBoxIgnoresTheMouse)
{
    TBitmap surface(100, 100, pf32bit);
    const TBitmap original = surface;
    TSelectionBox box;
    box.SetDrawingSurface(&surface);
    box.MouseDown(10, 10);
    box.MouseMove(50, 50);
    EXPECT_EQ(box.Rect(), TRect{});
    EXPECT_FALSE(box.Dragging());
    EXPECT_TRUE(SamePixels(surface, original));
}

class TFakeScroll : public TScrollHost {
public:
    TPoint Offset{0, 0};
    std::vector<TPoint> Scrolls;
    TPoint SurfaceOffset() const override { return Offset; }
    int32_t ClientWidth() const override { return 100; }
    int32_t ClientHeight() const override { return 80; }
    void ScrollBy(int32_t dx, int32_t dy) override { Scrolls.push_back({dx, dy}); }
};

TEST(SelectBox, DraggingBeyondTheWindowScrolls)
{
    TBitmap surface(300, 300, pf32bit);
    TFakeScroll scroll;
    TSelectionBox box;
    box.ScrollBox = &scroll;
    box.SetDrawingSurface(&surface);
    box.Show();
    box.MouseDown(20, 20);
    box.MouseMove(-10, 30);
    box.MouseMove(50, 90);
    scroll.Offset = {-40, -5}; // scrolled: the surface sits left of and above the client area
    box.MouseMove(150, 3);
    EXPECT_EQ(scroll.Scrolls, (std::vector<TPoint>{{-10, 0}, {0, 10}, {10, -2}}));
    box.MouseUp();
    box.MouseMove(-50, -50); // not dragging: no scrolling
    EXPECT_EQ(scroll.Scrolls.size(), 3u);
}

TEST(SelectBox, CentredResizeKeepsTheAspect)
{
    TBitmap surface(200, 100, pf32bit); // ratio 2
    TSelectionBox box;
    box.CenterMode = true;
    box.SetDrawingSurface(&surface);
    box.Show();
    box.MouseDown(50, 50); // a new box centred on the press point
    box.MouseMove(70, 55); // |20 / 5| > 2: the height follows the width
    EXPECT_EQ(box.Rect(), (TRect{30, 40, 70, 60}));
    box.MouseMove(55, 70); // |5 / 20| <= 2: the width follows the height
    EXPECT_EQ(box.Rect(), (TRect{10, 30, 90, 70}));
}

TEST(SelectBox, ScaledMousePositions)
{
    TBitmap surface(100, 100, pf32bit);
    TSelectionBox box;
    box.SetScale(2.0, 2.0);
    box.SetScale(-1.0, 0.0); // ignored
    box.SetDrawingSurface(&surface);
    box.SetRect({50, 50, 60, 60});
    box.Show();
    box.MouseDown(5, 5);  // 2.5 rounds to 2
    box.MouseMove(7, 21); // 3.5 to 4, 10.5 to 10
    EXPECT_EQ(box.Rect(), (TRect{2, 2, 4, 10}));
}

TEST(SelectBox, NewSurfaceTakesTheBoxAlong)
{
    TBitmap first = RandomPicture(50, 50, pf32bit, 1);
    TBitmap second = RandomPicture(50, 50, pf32bit, 2);
    const TBitmap firstOriginal = first;
    TSelectionBox box;
    box.SetDrawingSurface(&first);
    box.SetRect({5, 5, 20, 20});
    box.Show();
    box.SetDrawingSurface(&second);
    EXPECT_TRUE(SamePixels(first, firstOriginal));
    EXPECT_TRUE(box.Active());
    EXPECT_EQ(second.GetPixel(10, 5), clRed);
}

} // namespace
} // namespace kv
