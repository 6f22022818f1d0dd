#include "platform/Canvas.h"

#include <gtest/gtest.h>

#include <random>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace kv {
namespace {

using TArt = std::vector<std::string>;

// A white 24-bit bitmap of the size.
TBitmap WhiteBitmap(int32_t width, int32_t height)
{
    TBitmap bitmap(width, height, pf24bit);
    TCanvas canvas(bitmap);
    canvas.FillRect({0, 0, width, height});
    return bitmap;
}

// The picture as text: '.' for white, '#' for black, 'o' for any other colour.
TArt Art(const TBitmap& bitmap)
{
    TArt art;
    for (int32_t y = 0; y < bitmap.Height(); ++y) {
        std::string row;
        for (int32_t x = 0; x < bitmap.Width(); ++x) {
            const TColor c = bitmap.GetPixel(x, y);
            row += c == clWhite ? '.' : c == clBlack ? '#' : 'o';
        }
        art.push_back(row);
    }
    return art;
}

// Every stored byte of the rows.
std::string Bytes(const TBitmap& bitmap)
{
    std::string bytes;
    for (int32_t y = 0; y < bitmap.Height(); ++y)
        bytes.append(reinterpret_cast<const char*>(bitmap.ScanLine(y)), bitmap.RowBytes());
    return bytes;
}

std::set<std::pair<int32_t, int32_t>> DrawnPixels(const TBitmap& bitmap)
{
    std::set<std::pair<int32_t, int32_t>> pixels;
    for (int32_t y = 0; y < bitmap.Height(); ++y)
        for (int32_t x = 0; x < bitmap.Width(); ++x)
            if (bitmap.GetPixel(x, y) != clWhite)
                pixels.insert({x, y});
    return pixels;
}

TEST(Canvas, LinesCoverTheirEndPixelOnlyWhenAsked)
{
    struct Case {
        const char* name;
        TPoint from, to;
        TLineEnd end;
        TArt expected;
    };
    const Case cases[] = {
        {"flat, with end", {0, 0}, {4, 0}, leDrawLast, {"#####", ".....", "....."}},
        {"flat, without end", {0, 0}, {4, 0}, leOmitLast, {"####.", ".....", "....."}},
        {"backwards without end leaves out the left pixel", {4, 0}, {0, 0}, leOmitLast, {".####", ".....", "....."}},
        // y = x / 4: the half-way point at x = 2 goes to the smaller y, whichever way it is drawn.
        {"shallow tie", {0, 0}, {4, 1}, leDrawLast, {"###..", "...##", "....."}},
        {"shallow tie backwards", {4, 1}, {0, 0}, leDrawLast, {"###..", "...##", "....."}},
        {"shallow tie rising", {0, 1}, {4, 0}, leDrawLast, {"..###", "##...", "....."}},
        {"steep", {1, 0}, {2, 2}, leDrawLast, {".#...", ".#...", "..#.."}},
        {"steep without end", {1, 0}, {2, 2}, leOmitLast, {".#...", ".#...", "....."}},
        {"diagonal", {0, 0}, {2, 2}, leDrawLast, {"#....", ".#...", "..#.."}},
        {"point with end", {3, 1}, {3, 1}, leDrawLast, {".....", "...#.", "....."}},
        {"point without end", {3, 1}, {3, 1}, leOmitLast, {".....", ".....", "....."}},
        {"clipped by the bitmap", {-3, -1}, {7, 4}, leDrawLast, {"#....", ".##..", "...##"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TBitmap bitmap = WhiteBitmap(5, 3);
        TCanvas canvas(bitmap);
        canvas.Line(c.from, c.to, c.end);
        EXPECT_EQ(Art(bitmap), c.expected);
    }
}

TEST(Canvas, LinesDoNotDependOnTheirDirection)
{
    std::mt19937 random(7);
    std::uniform_int_distribution<int32_t> coordinate(-5, 24);
    for (int i = 0; i < 500; ++i) {
        const TPoint a{coordinate(random), coordinate(random)};
        const TPoint b{coordinate(random), coordinate(random)};
        SCOPED_TRACE(testing::Message() << a.X << "," << a.Y << " - " << b.X << "," << b.Y);
        TBitmap forward = WhiteBitmap(20, 20), backward = WhiteBitmap(20, 20), open = WhiteBitmap(20, 20);
        TCanvas(forward).Line(a, b, leDrawLast);
        TCanvas(backward).Line(b, a, leDrawLast);
        TCanvas(open).Line(a, b, leOmitLast);
        ASSERT_EQ(Art(forward), Art(backward));
        // Without the end pixel: exactly the same pixels except b.
        std::set<std::pair<int32_t, int32_t>> expected = DrawnPixels(forward);
        expected.erase({b.X, b.Y});
        ASSERT_EQ(DrawnPixels(open), expected);
        // One pixel per step along the longer axis, inside the bitmap.
        if (a.X >= 0 && a.X < 20 && a.Y >= 0 && a.Y < 20 && b.X >= 0 && b.X < 20 && b.Y >= 0 && b.Y < 20) {
            ASSERT_EQ(DrawnPixels(forward).size(), size_t(std::max(std::abs(a.X - b.X), std::abs(a.Y - b.Y)) + 1));
        }
    }
}

TEST(Canvas, WidePensRepeatTheLineAcrossIt)
{
    TBitmap bitmap = WhiteBitmap(6, 5);
    TCanvas canvas(bitmap);
    canvas.Pen.Width = 3;
    canvas.Line({1, 2}, {4, 2}, leDrawLast);
    canvas.Pen.Width = 2;
    canvas.Line({0, 0}, {0, 4}, leOmitLast);
    EXPECT_EQ(Art(bitmap), (TArt{"##....", "#####.", "#####.", "#####.", "......"}));
}

TEST(Canvas, DottedPenDrawsEveryOtherPixelFromTheStart)
{
    struct Case {
        const char* name;
        TPoint from, to;
        TLineEnd end;
        TArt expected;
    };
    const Case cases[] = {
        {"left to right", {0, 0}, {5, 0}, leDrawLast, {"#.#.#."}},
        {"right to left starts at the right", {5, 0}, {0, 0}, leDrawLast, {".#.#.#"}},
        {"without end", {0, 0}, {4, 0}, leOmitLast, {"#.#..."}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TBitmap bitmap = WhiteBitmap(6, 1);
        TCanvas canvas(bitmap);
        canvas.Pen.Style = psDot;
        canvas.Line(c.from, c.to, c.end);
        EXPECT_EQ(Art(bitmap), c.expected);
    }
}

TEST(Canvas, DottedRectangleRunsItsPatternOnceAroundClockwise)
{
    TBitmap bitmap = WhiteBitmap(6, 5);
    TCanvas canvas(bitmap);
    canvas.Pen.Style = psDot;
    canvas.Brush.Style = bsClear;
    canvas.Rectangle({0, 0, 5, 4});
    EXPECT_EQ(Art(bitmap), (TArt{"#.#.#.", "......", "#...#.", ".#.#..", "......"}));
}

TEST(Canvas, RectangleOutlinesWithThePenInsideItsBoundsAndFillsWithTheBrush)
{
    struct Case {
        const char* name;
        int32_t penWidth;
        TBrushStyle brush;
        TRect rect;
        TArt expected;
    };
    const Case cases[] = {
        {"outline and fill", 1, bsSolid, {1, 1, 5, 4}, {"......", ".####.", ".#oo#.", ".####.", "......"}},
        {"clear brush", 1, bsClear, {1, 1, 5, 4}, {"......", ".####.", ".#..#.", ".####.", "......"}},
        {"corners swapped", 1, bsClear, {5, 4, 1, 1}, {"......", ".####.", ".#..#.", ".####.", "......"}},
        {"wide pen", 2, bsSolid, {0, 0, 6, 5}, {"######", "######", "##oo##", "######", "######"}},
        {"one row", 1, bsSolid, {1, 2, 5, 3}, {"......", "......", ".####.", "......", "......"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TBitmap bitmap = WhiteBitmap(6, 5);
        TCanvas canvas(bitmap);
        canvas.Pen.Width = c.penWidth;
        canvas.Brush = {clRed, c.brush};
        canvas.Rectangle(c.rect);
        EXPECT_EQ(Art(bitmap), c.expected);
    }
}

TEST(Canvas, FillRectCoversLeftTopUpToRightBottomExclusive)
{
    TBitmap bitmap = WhiteBitmap(5, 4);
    TCanvas canvas(bitmap);
    canvas.Brush = {clBlack, bsClear}; // FillRect paints whatever the style
    canvas.FillRect({1, 1, 3, 3});
    canvas.FillRect({4, 0, 3, 2}); // empty: nothing
    EXPECT_EQ(Art(bitmap), (TArt{".....", ".##..", ".##..", "....."}));
}

TEST(Canvas, ClipRectangleLimitsEveryOperation)
{
    TBitmap bitmap = WhiteBitmap(6, 4);
    TCanvas canvas(bitmap);
    canvas.SetClipRect({1, 1, 4, 3});
    canvas.Brush.Color = clBlack;
    canvas.Line({0, 0}, {5, 0}, leDrawLast);
    canvas.Line({0, 2}, {5, 2}, leDrawLast);
    canvas.SetPixel(5, 3, clBlack);
    canvas.Rectangle({3, 1, 9, 9});
    EXPECT_EQ(Art(bitmap), (TArt{"......", "...#..", ".###..", "......"}));
    const TBitmap white = WhiteBitmap(6, 4);
    canvas.CopyRect({0, 0, 6, 4}, white, {0, 0, 6, 4}, cmNotSrcCopy);
    EXPECT_EQ(Art(bitmap), (TArt{"......", ".###..", ".###..", "......"}));
    canvas.ClearClipRect();
    canvas.SetPixel(5, 3, clBlack);
    EXPECT_EQ(canvas.GetPixel(5, 3), clBlack);
    EXPECT_EQ(canvas.GetPixel(6, 0), clNone);
}

TEST(Canvas, InvertingTwiceRestoresThePictureInEveryFormat)
{
    for (TPixelFormat format : {pf1bit, pf4bit, pf8bit, pf15bit, pf24bit, pf32bit}) {
        SCOPED_TRACE(BitsPerPixel(format));
        TBitmap bitmap(23, 17, format);
        std::mt19937 random(3);
        for (int32_t y = 0; y < 17; ++y)
            for (int32_t x = 0; x < 23; ++x)
                bitmap.SetValue(x, y, uint32_t(random()) & (format == pf32bit ? 0xFFFFFFFFu : bitmap.ValueMask()));
        const TBitmap original = bitmap;
        TCanvas canvas(bitmap);
        canvas.Pen.Mode = pmNot;
        canvas.Brush.Style = bsClear;
        auto drawAll = [&] {
            canvas.Pen.Style = psSolid;
            canvas.Line({-2, 3}, {30, 11}, leDrawLast);
            canvas.Line({4, 0}, {9, 16}, leOmitLast);
            canvas.Rectangle({2, 2, 15, 12});
            canvas.Ellipse({1, 1, 22, 16});
            canvas.Pen.Style = psDot;
            canvas.Rectangle({3, 3, 20, 14});
            canvas.Pen.Width = 3;
            canvas.Ellipse({0, 0, 12, 9});
            canvas.Pen.Width = 1;
        };
        drawAll();
        EXPECT_NE(Bytes(bitmap), Bytes(original));
        drawAll();
        EXPECT_EQ(Bytes(bitmap), Bytes(original));
    }
}

TEST(Canvas, InvertModeFlipsColourBytesOrPaletteIndices)
{
    TBitmap rgb = WhiteBitmap(2, 1);
    TBitmap indexed(2, 1, pf8bit);
    indexed.SetValue(0, 0, 5);
    for (TBitmap* bitmap : {&rgb, &indexed}) {
        TCanvas canvas(*bitmap);
        canvas.Pen.Mode = pmNot;
        canvas.Pen.Color = clRed; // ignored when inverting
        canvas.Line({0, 0}, {0, 0}, leDrawLast);
    }
    EXPECT_EQ(rgb.GetPixel(0, 0), clBlack);
    EXPECT_EQ(rgb.GetPixel(1, 0), clWhite);
    EXPECT_EQ(indexed.GetValue(0, 0), 250u);
}

TEST(Canvas, EllipseOfTenByTenIsTheRoundShape)
{
    TBitmap bitmap = WhiteBitmap(10, 10);
    TCanvas canvas(bitmap);
    canvas.Brush.Color = clRed;
    canvas.Ellipse({0, 0, 10, 10});
    EXPECT_EQ(Art(bitmap), (TArt{"...####...", "..#oooo#..", ".#oooooo#.", "#oooooooo#", "#oooooooo#",
                                 "#oooooooo#", "#oooooooo#", ".#oooooo#.", "..#oooo#..", "...####..."}));
}

TEST(Canvas, EllipsesAreSymmetricTouchTheirBoxAndCloseTheirOutline)
{
    for (int32_t w = 1; w <= 14; ++w)
        for (int32_t h = 1; h <= 14; ++h)
            for (int32_t penWidth : {1, 2}) {
                SCOPED_TRACE(testing::Message() << w << " x " << h << ", pen " << penWidth);
                TBitmap bitmap = WhiteBitmap(w + 2, h + 2);
                TCanvas canvas(bitmap);
                canvas.Pen.Width = penWidth;
                canvas.Brush.Color = clRed;
                canvas.Ellipse({1, 1, w + 1, h + 1});
                const TArt art = Art(bitmap);
                // Left-right and top-bottom mirror images of themselves.
                for (int32_t y = 0; y < h + 2; ++y)
                    ASSERT_EQ(art[size_t(y)], std::string(art[size_t(y)].rbegin(), art[size_t(y)].rend()));
                ASSERT_EQ(art, TArt(art.rbegin(), art.rend()));
                // The w x h box turned by a quarter gives the transposed picture.
                TBitmap turned = WhiteBitmap(h + 2, w + 2);
                TCanvas turnedCanvas(turned);
                turnedCanvas.Pen.Width = penWidth;
                turnedCanvas.Brush.Color = clRed;
                turnedCanvas.Ellipse({1, 1, h + 1, w + 1});
                const TArt turnedArt = Art(turned);
                for (int32_t y = 0; y < h + 2; ++y)
                    for (int32_t x = 0; x < w + 2; ++x)
                        ASSERT_EQ(art[size_t(y)][size_t(x)], turnedArt[size_t(x)][size_t(y)]);
                // Nothing outside the box; every side of the box touched by the outline.
                ASSERT_EQ(art.front(), std::string(size_t(w + 2), '.'));
                ASSERT_EQ(art[1].find('#') != std::string::npos, true);
                ASSERT_EQ(art[size_t(h)].find('#') != std::string::npos, true);
                bool left = false, right = false;
                for (int32_t y = 1; y <= h; ++y) {
                    ASSERT_EQ(art[size_t(y)][0], '.');
                    left = left || art[size_t(y)][1] == '#';
                    right = right || art[size_t(y)][size_t(w)] == '#';
                }
                ASSERT_TRUE(left && right);
                // The fill never touches the outside: every fill pixel's four neighbours are drawn.
                for (int32_t y = 1; y <= h; ++y)
                    for (int32_t x = 1; x <= w; ++x)
                        if (art[size_t(y)][size_t(x)] == 'o') {
                            ASSERT_NE(art[size_t(y - 1)][size_t(x)], '.');
                            ASSERT_NE(art[size_t(y + 1)][size_t(x)], '.');
                            ASSERT_NE(art[size_t(y)][size_t(x - 1)], '.');
                            ASSERT_NE(art[size_t(y)][size_t(x + 1)], '.');
                        }
            }
}

TEST(Canvas, CopyRectConvertsStretchesAndInverts)
{
    TBitmap source(2, 2, pf8bit);
    source.SetPalette({clBlack, clRed, clLime, clBlue});
    source.SetValue(0, 0, 1);
    source.SetValue(1, 0, 2);
    source.SetValue(0, 1, 3);
    TBitmap dest = WhiteBitmap(5, 5);
    TCanvas canvas(dest);
    canvas.CopyRect({0, 0, 4, 4}, source, {0, 0, 2, 2});
    EXPECT_EQ(dest.GetPixel(1, 1), clRed);
    EXPECT_EQ(dest.GetPixel(2, 1), clLime);
    EXPECT_EQ(dest.GetPixel(1, 2), clBlue);
    EXPECT_EQ(dest.GetPixel(3, 3), clBlack);
    EXPECT_EQ(dest.GetPixel(4, 4), clWhite);
    canvas.CopyRect({4, 4, 5, 5}, source, {0, 0, 1, 1}, cmNotSrcCopy);
    EXPECT_EQ(dest.GetPixel(4, 4), InvertedColor(clRed));
    // Shrinking takes the pixel under each destination pixel's centre.
    TBitmap stripes(6, 1, pf24bit);
    for (int32_t x = 0; x < 6; ++x)
        stripes.SetPixel(x, 0, RGBColor(uint8_t(x), 0, 0));
    TBitmap small = WhiteBitmap(3, 1);
    TCanvas(small).StretchDraw({0, 0, 3, 1}, stripes);
    EXPECT_EQ(small.GetPixel(0, 0), 1u);
    EXPECT_EQ(small.GetPixel(1, 0), 3u);
    EXPECT_EQ(small.GetPixel(2, 0), 5u);
}

TEST(Canvas, CopyRectOutsideTheSourceLeavesTheDestinationAndMayOverlapItself)
{
    TBitmap bitmap = WhiteBitmap(4, 3);
    TCanvas canvas(bitmap);
    canvas.SetPixel(0, 0, clBlack);
    canvas.SetPixel(1, 0, clRed);
    canvas.Brush.Color = clLime;
    canvas.FillRect({0, 2, 4, 3});
    canvas.CopyRect({1, 0, 4, 2}, bitmap, {0, 0, 3, 2});
    EXPECT_EQ(Art(bitmap), (TArt{"##o.", "....", "oooo"}));
    // Source rows 2 and 3: row 3 lies beyond the bitmap and leaves its destination row alone.
    canvas.CopyRect({0, 1, 4, 3}, bitmap, {0, 2, 4, 4});
    EXPECT_EQ(Art(bitmap), (TArt{"##o.", "oooo", "oooo"}));
}

} // namespace
} // namespace kv
