// The overlay document without a window: the size list and default size, resampling and
// padding, the fit of the grid to the picture and the button steps.

#include "overlay/KVOverlay.h"

#include "overlay/OverlayLayout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace kv {
namespace {

TOverlayDocument WithPicture(int32_t width, int32_t height)
{
    TOverlayDocument doc;
    doc.OverlayBitmap = TBitmap(width, height, pf24bit);
    return doc;
}

TEST(KVOverlayTest, SizeListAlternatesSidesFromTheLongerOne)
{
    const std::vector<TOverlaySize> wide = OverlaySizeList(1000, 750);
    ASSERT_EQ(wide.size(), 11u);
    EXPECT_EQ(wide[0], (TOverlaySize{4096, 3072}));
    EXPECT_EQ(wide[1], (TOverlaySize{2730, 2048}));
    EXPECT_EQ(wide[2], (TOverlaySize{2048, 1536}));
    EXPECT_EQ(wide[3], (TOverlaySize{1365, 1024}));
    EXPECT_EQ(wide[4], (TOverlaySize{1024, 768}));
    EXPECT_EQ(wide[10], (TOverlaySize{128, 96}));
    // A tall picture starts with its height.
    const std::vector<TOverlaySize> tall = OverlaySizeList(750, 1000);
    EXPECT_EQ(tall[0], (TOverlaySize{3072, 4096}));
    EXPECT_EQ(tall[1], (TOverlaySize{2048, 2730}));

    EXPECT_EQ(OverlaySizeText({512, 384}), " 512 X  384");
    EXPECT_EQ(OverlaySizeText({4096, 3072}), "4096 X 3072");
    EXPECT_EQ(OverlayDimensionsText(1000, 750), "1000X750");
}

TEST(KVOverlayTest, DefaultSizeKeepsTheSideThatLosesLess)
{
    struct TCase {
        int32_t Width;
        int32_t Height;
        TOverlaySize Expected;
    };
    const TCase cases[] = {
        {1000, 750, {1024, 768}}, // 750 is nearest 512: the width's power loses less
        {750, 1000, {768, 1024}},
        {5000, 4000, {2560, 2048}}, // a tie keeps the height, at most 2048
        {1024, 512, {1024, 512}},
    };
    for (const TCase& c : cases) {
        EXPECT_EQ(DefaultOverlaySize(c.Width, c.Height), c.Expected) << c.Width << " x " << c.Height;
        const std::vector<TOverlaySize> list = OverlaySizeList(c.Width, c.Height);
        const int index = DefaultOverlaySizeIndex(list, c.Width, c.Height);
        if (std::find(list.begin(), list.end(), c.Expected) != list.end())
            EXPECT_EQ(list[size_t(index)], c.Expected);
        else
            EXPECT_EQ(index, 0);
    }
    EXPECT_EQ(DefaultOverlaySizeIndex(OverlaySizeList(1000, 750), 1000, 750), 4);
}

TEST(KVOverlayTest, ResampledPictureIsCentredOnPowersOfTwo)
{
    TBitmap loaded(70, 50, pf24bit);
    for (int32_t y = 0; y < 50; ++y)
        for (int32_t x = 0; x < 70; ++x)
            loaded.SetPixel(x, y, RGBColor(200, 30, 30));
    const TBitmap padded = ResampleAndPad(loaded, {700, 525}, 5, pf24bit);
    ASSERT_EQ(padded.Width(), 1024);
    ASSERT_EQ(padded.Height(), 1024);
    // The picture covers (162, 249) .. (862, 774); the rest stays white.
    EXPECT_EQ(padded.GetPixel(161, 500), clWhite);
    EXPECT_EQ(padded.GetPixel(500, 248), clWhite);
    EXPECT_EQ(padded.GetPixel(862, 500), clWhite);
    EXPECT_EQ(padded.GetPixel(500, 774), clWhite);
    for (const TPoint p : {TPoint{162, 249}, TPoint{861, 773}, TPoint{500, 500}}) {
        const TColor color = padded.GetPixel(p.X, p.Y);
        EXPECT_NEAR(RedOf(color), 200, 3) << p.X << "," << p.Y;
        EXPECT_NEAR(GreenOf(color), 30, 3) << p.X << "," << p.Y;
    }
    EXPECT_EQ(ResampleAndPad(loaded, {64, 32}, 4, pf8bit).PixelFormat(), pf8bit);
}

TEST(KVOverlayTest, PreparedFormatWidensFormatsWithoutTexture)
{
    EXPECT_EQ(PreparedFormatFor(pf1bit), pf8bit);
    EXPECT_EQ(PreparedFormatFor(pf15bit), pf24bit);
    EXPECT_EQ(PreparedFormatFor(pf4bit), pf4bit);
    EXPECT_EQ(PreparedFormatFor(pf32bit), pf32bit);
    EXPECT_EQ(PixelFormatName(pf8bit), "8 Bit Color Format");
}

TEST(KVOverlayTest, FitSpansThePictureWithSquareCells)
{
    // C / R = 2 equals W / H = 2.
    TOverlayDocument doc = WithPicture(1024, 512);
    FitOverlay(doc, 100, 50);
    EXPECT_DOUBLE_EQ(doc.ScaleY, 1.0 / 50);
    EXPECT_DOUBLE_EQ(doc.ScaleX, 0.01);
    EXPECT_DOUBLE_EQ(doc.OffsetX, -0.5);
    EXPECT_DOUBLE_EQ(doc.DefaultScaleX, 0.01);
    TOverlayLayout layout = OverlayLayoutFor(doc, 100, 50);
    EXPECT_DOUBLE_EQ(layout.StepX, 10.24);
    EXPECT_DOUBLE_EQ(layout.StepY, 10.24);
    EXPECT_NEAR(layout.OriginX + 99 * layout.StepX / 2, 512.0, 1e-9);
    EXPECT_NEAR(layout.OriginY + 49 * layout.StepY / 2, 256.0, 1e-9);

    // A grid wider than the picture fits its width, a taller one its height; cells stay square.
    struct TCase {
        int32_t Cols;
        int32_t Rows;
        bool FitsWidth;
    };
    for (const TCase c : {TCase{300, 50, true}, TCase{60, 100, false}}) {
        FitOverlay(doc, c.Cols, c.Rows);
        layout = OverlayLayoutFor(doc, c.Cols, c.Rows);
        EXPECT_NEAR(layout.StepX, layout.StepY, 1e-9);
        if (c.FitsWidth)
            EXPECT_NEAR(layout.StepX * c.Cols, 1024.0, 1e-9);
        else
            EXPECT_NEAR(layout.StepY * c.Rows, 512.0, 1e-9);
    }
}

TEST(KVOverlayTest, ButtonStepsMoveByTheFittedValues)
{
    TOverlayDocument doc = WithPicture(1024, 512);
    FitOverlay(doc, 100, 50);
    const TOverlayLayout before = OverlayLayoutFor(doc, 100, 50);
    struct TCase {
        TOverlayStep Step;
        double DX; // grid shift, pixels
        double DY;
        double Scale; // factor on the fitted scale
        double Turn;  // degrees
    };
    const TCase cases[] = {
        {osPanRight, 0.025 * 1024, 0, 1, 0}, {osPanLeft, -0.025 * 1024, 0, 1, 0}, {osPanDown, 0, 0.025 * 512, 1, 0},
        {osPanUp, 0, -0.025 * 512, 1, 0},    {osZoomIn, 0, 0, 1.05, 0},           {osZoomOut, 0, 0, 0.95, 0},
        {osRotateRight, 0, 0, 1, -3},        {osRotateLeft, 0, 0, 1, 3},
    };
    for (const TCase& c : cases) {
        TOverlayDocument stepped = doc;
        OverlayStep(stepped, c.Step, 5.0);
        const TOverlayLayout after = OverlayLayoutFor(stepped, 100, 50);
        const double middleBefore = before.OriginX + 99 * before.StepX / 2;
        const double middleAfter = after.OriginX + 99 * after.StepX / 2;
        EXPECT_NEAR(middleAfter - middleBefore, c.DX, 1e-9) << c.Step;
        EXPECT_NEAR((after.OriginY + 49 * after.StepY / 2) - (before.OriginY + 49 * before.StepY / 2), c.DY, 1e-9)
            << c.Step;
        EXPECT_NEAR(stepped.ScaleX, doc.ScaleX * c.Scale, 1e-12) << c.Step;
        EXPECT_NEAR(stepped.ScaleY, doc.ScaleY * c.Scale, 1e-12) << c.Step;
        EXPECT_NEAR(stepped.Rotation, c.Turn, 1e-12) << c.Step;
    }
}

TEST(KVOverlayTest, ShrinkThatWouldTurnAScaleNegativeIsRefused)
{
    TOverlayDocument doc = WithPicture(1024, 512);
    FitOverlay(doc, 100, 50);
    doc.ScaleX = 0.02 * doc.DefaultScaleX; // below one 5 % step
    const double scaleY = doc.ScaleY;
    OverlayStep(doc, osZoomOut, 5.0);
    EXPECT_DOUBLE_EQ(doc.ScaleX, 0.02 * doc.DefaultScaleX);
    EXPECT_DOUBLE_EQ(doc.ScaleY, scaleY);
}

TEST(KVOverlayTest, RotationStaysInRangeWhicheverWayItTurns)
{
    TOverlayDocument doc = WithPicture(64, 64);
    doc.Rotation = 179.0;
    OverlayStep(doc, osRotateLeft, 5.0);
    EXPECT_NEAR(doc.Rotation, -178.0, 1e-9);
    OverlayStep(doc, osRotateRight, 5.0);
    EXPECT_NEAR(doc.Rotation, 179.0, 1e-9);
    doc.Rotation = -179.0;
    OverlayStep(doc, osRotateRight, 5.0);
    EXPECT_NEAR(doc.Rotation, 178.0, 1e-9);

    const double cases[][2] = {{360, 0}, {270, -90}, {180, 180}, {-180, 180}, {90, 90}, {540, 180}, {-190, 170}};
    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ(WrapRotation(c[0]), c[1]) << c[0];
}

} // namespace
} // namespace kv
