#include "platform/gui/CanvasText.h"
#include "GUITestApp.h"

#include <gtest/gtest.h>

#include <set>

namespace kv {
namespace {

TBitmap White(int32_t width, int32_t height, TPixelFormat format = pf24bit)
{
    TBitmap bitmap(width, height, format);
    TCanvas canvas(bitmap);
    canvas.FillRect({0, 0, width, height});
    return bitmap;
}

// The rectangle around every pixel that is not white; empty when all are.
TRect InkBounds(const TBitmap& bitmap, TColor background = clWhite)
{
    TRect ink{bitmap.Width(), bitmap.Height(), 0, 0};
    for (int32_t y = 0; y < bitmap.Height(); ++y)
        for (int32_t x = 0; x < bitmap.Width(); ++x)
            if (bitmap.GetPixel(x, y) != background)
                ink = {std::min(ink.Left, x), std::min(ink.Top, y), std::max(ink.Right, x + 1),
                       std::max(ink.Bottom, y + 1)};
    return ink.IsEmpty() ? TRect{} : ink;
}

TEST(CanvasText, MeasuresGrowWithTextAndSize)
{
    test::GUITestApp();
    TBitmap bitmap = White(1, 1);
    TCanvas canvas(bitmap);
    canvas.Font.Size = 8;
    const int32_t one = TextWidth(canvas, "M"), three = TextWidth(canvas, "MMM");
    EXPECT_GT(one, 0);
    EXPECT_NEAR(three, 3 * one, 2); // advances are fractional
    EXPECT_EQ(TextWidth(canvas, ""), 0);
    const int32_t height = TextHeight(canvas, "x");
    EXPECT_GE(height, 10); // 8 points are 11 pixels at 96 per inch; the line is at least that
    canvas.Font.Size = 16;
    EXPECT_GT(TextHeight(canvas, "x"), height * 3 / 2);
    EXPECT_GT(TextWidth(canvas, "MMM"), three * 3 / 2);
}

TEST(CanvasText, GlyphsAreTheFontColourOnlyAndStayInTheirLine)
{
    test::GUITestApp();
    for (TPixelFormat format : {pf4bit, pf8bit, pf24bit}) {
        SCOPED_TRACE(BitsPerPixel(format));
        TBitmap bitmap = White(120, 40, format);
        TCanvas canvas(bitmap);
        canvas.Font.Color = clRed;
        canvas.Font.Size = 12;
        canvas.Brush.Style = bsClear;
        TextOut(canvas, 10, 5, "Elevation 1234");
        std::set<TColor> colours;
        for (int32_t y = 0; y < 40; ++y)
            for (int32_t x = 0; x < 120; ++x)
                colours.insert(bitmap.GetPixel(x, y));
        EXPECT_EQ(colours, (std::set<TColor>{clRed, clWhite}));
        const TRect ink = InkBounds(bitmap);
        EXPECT_GE(ink.Left, 10);
        EXPECT_GE(ink.Top, 5);
        EXPECT_LE(ink.Right, 10 + TextWidth(canvas, "Elevation 1234"));
        EXPECT_LE(ink.Bottom, 5 + TextHeight(canvas, "E"));
        EXPECT_GT(ink.Width(), 60);
    }
}

TEST(CanvasText, SolidBrushFillsTheLineBoxAndClipLimitsTheText)
{
    test::GUITestApp();
    TBitmap bitmap = White(100, 30);
    TCanvas canvas(bitmap);
    canvas.Brush.Color = clBlue;
    TextOut(canvas, 3, 4, "42");
    const TRect box{3, 4, 3 + TextWidth(canvas, "42"), 4 + TextHeight(canvas, "42")};
    EXPECT_EQ(InkBounds(bitmap), box);
    EXPECT_EQ(bitmap.GetPixel(box.Left, box.Top), clBlue);
    // The same text with a clear brush, whole and clipped at row 10.
    TBitmap whole = White(100, 30), clipped = White(100, 30);
    TCanvas wholeCanvas(whole), clippedCanvas(clipped);
    wholeCanvas.Brush.Style = clippedCanvas.Brush.Style = bsClear;
    clippedCanvas.SetClipRect({0, 0, 100, 10});
    TextOut(wholeCanvas, 3, 4, "42");
    TextOut(clippedCanvas, 3, 4, "42");
    ASSERT_GT(InkBounds(whole).Bottom, 10);
    for (int32_t y = 0; y < 30; ++y)
        for (int32_t x = 0; x < 100; ++x)
            ASSERT_EQ(clipped.GetPixel(x, y), y < 10 ? whole.GetPixel(x, y) : clWhite) << x << "," << y;
}

} // namespace
} // namespace kv
