// The resampling kernels at hand-computed points, and Stretch on tiny pictures whose results
// follow from the kernels by hand: enlarging, shrinking with a widened kernel, mirrored edges,
// clamping, errors and progress.

#include "overlay/Resizebm.h"

#include "platform/KVError.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kv {
namespace {

TEST(ResizebmTest, KernelsHaveTheirShapes)
{
    struct TCase {
        int Filter;
        double X;
        double Expected;
    };
    const TCase cases[] = {
        {0, 0.5, 1.0},         {0, -0.5, 0.0},       {1, 0.25, 0.75},     {2, 0.5, 0.5},
        {3, 0.25, 0.6875},     {3, 1.0, 0.125},      {4, 0.0, 2.0 / 3.0}, {4, 1.5, 0.125 / 6.0},
        {5, 0.0, 16.0 / 18.0}, {5, 1.0, 1.0 / 18.0}, {6, 0.0, 1.0},       {6, 1.0, 0.0},
        {6, 0.5, 0.6079271},   {6, 3.0, 0.0},        {5, 2.0, 0.0},       {1, -1.0, 0.0},
    };
    for (const TCase& c : cases)
        EXPECT_NEAR(ResizeFilter(c.Filter).Kernel(c.X), c.Expected, 1e-6)
            << ResizeFilter(c.Filter).Name << " at " << c.X;
    EXPECT_STREQ(ResizeFilter(SharpnessFilter(shSoft)).Name, "B-Spline");
    EXPECT_STREQ(ResizeFilter(SharpnessFilter(shMedium)).Name, "Mitchell");
    EXPECT_STREQ(ResizeFilter(SharpnessFilter(shSharp)).Name, "Lanczos3");
}

TBitmap Grey(const std::vector<uint8_t>& values, bool asRow)
{
    const auto n = int32_t(values.size());
    TBitmap bitmap(asRow ? n : 1, asRow ? 1 : n, pf24bit);
    for (int32_t k = 0; k < n; ++k) {
        const uint8_t v = values[size_t(k)];
        bitmap.SetPixel(asRow ? k : 0, asRow ? 0 : k, RGBColor(v, v, v));
    }
    return bitmap;
}

std::vector<int> Greys(const TBitmap& bitmap)
{
    std::vector<int> values;
    for (int32_t y = 0; y < bitmap.Height(); ++y)
        for (int32_t x = 0; x < bitmap.Width(); ++x)
            values.push_back(RedOf(bitmap.GetPixel(x, y)));
    return values;
}

TEST(ResizebmTest, StretchesRowsAndColumnsByTheKernel)
{
    struct TCase {
        const char* Name;
        int Filter;
        std::vector<uint8_t> Source;
        int32_t NewSize;
        std::vector<int> Expected;
    };
    const TCase cases[] = {
        // Scale (5 - 1) / (3 - 1) = 2: targets sit at source 0, 0.5, 1, 1.5, 2.
        {"triangle enlarges linearly", 1, {0, 90, 180}, 5, {0, 45, 90, 135, 180}},
        // Scale 1/3: the box widens to 3 source pixels of weight 1/3; index -1 mirrors to 1 and
        // index 4 to 3.
        {"box shrinks by averaging", 0, {30, 60, 90, 120}, 2, {50, 110}},
        // Scale 1: the triangle is 0 at the neighbours, so nothing changes.
        {"same size keeps the pixels", 1, {7, 200, 13, 99}, 4, {7, 200, 13, 99}},
    };
    for (const TCase& c : cases) {
        for (bool asRow : {true, false}) {
            TBitmap bitmap = Grey(c.Source, asRow);
            Stretch(bitmap, asRow ? c.NewSize : 1, asRow ? 1 : c.NewSize, {}, c.Filter);
            EXPECT_EQ(bitmap.PixelFormat(), pf24bit);
            EXPECT_EQ(Greys(bitmap), c.Expected) << c.Name << (asRow ? " along a row" : " along a column");
        }
    }
}

TEST(ResizebmTest, SharpKernelsAreClampedNotWrapped)
{
    // Lanczos overshoots beside an edge: sums above 255 and below 0 must clamp.
    TBitmap bitmap = Grey({0, 0, 0, 255, 255, 255}, true);
    Stretch(bitmap, 16, 1, {}, 6);
    const std::vector<int> values = Greys(bitmap);
    for (size_t k = 0; k < values.size(); ++k) {
        if (k < 6) {
            EXPECT_LE(values[k], 40) << k;
        }
        if (k >= 10) {
            EXPECT_GE(values[k], 215) << k;
        }
    }
    EXPECT_EQ(values.front(), 0);
    EXPECT_EQ(values.back(), 255);
}

TEST(ResizebmTest, KernelsWiderThanThePictureStayInside)
{
    // A Lanczos kernel of radius 3 over a 1 or 2 pixel picture reaches past the mirrored edge.
    for (int32_t side : {1, 2}) {
        TBitmap bitmap(side, side, pf24bit);
        for (int32_t y = 0; y < side; ++y)
            for (int32_t x = 0; x < side; ++x)
                bitmap.SetPixel(x, y, RGBColor(200, 100, 50));
        Stretch(bitmap, 7, 3, {}, 6);
        ASSERT_EQ(bitmap.Width(), 7);
        for (int32_t x = 0; x < 7; ++x) {
            const TColor color = bitmap.GetPixel(x, 1);
            EXPECT_NEAR(RedOf(color), 200, 8) << side << " " << x;
            EXPECT_NEAR(BlueOf(color), 50, 8) << side << " " << x;
        }
        Stretch(bitmap, 1, 1, {}, 6);
        EXPECT_NEAR(GreenOf(bitmap.GetPixel(0, 0)), 100, 8);
    }
}

TEST(ResizebmTest, ReadsPalettePictures)
{
    TBitmap bitmap(4, 2, pf8bit);
    for (int32_t x = 0; x < 4; ++x) {
        bitmap.SetPixel(x, 0, clWhite);
        bitmap.SetPixel(x, 1, clBlack);
    }
    Stretch(bitmap, 4, 3, {}, 1);
    EXPECT_EQ(bitmap.GetPixel(2, 0), clWhite);
    EXPECT_EQ(RedOf(bitmap.GetPixel(2, 1)), 128); // half-way: 127.5 rounds to even
    EXPECT_EQ(bitmap.GetPixel(2, 2), clBlack);
}

TEST(ResizebmTest, RefusesEmptyPicturesAndSizes)
{
    TBitmap empty;
    try {
        Stretch(empty, 4, 4, {}, 5);
        FAIL() << "no error";
    } catch (const EKorvelaError& e) {
        EXPECT_STREQ(e.what(), "Source bitmap too small");
    }
    TBitmap bitmap = Grey({1, 2, 3}, true);
    EXPECT_THROW(Stretch(bitmap, 0, 4, {}, 5), EKorvelaError);
    EXPECT_EQ(bitmap.Width(), 3); // unchanged
}

TEST(ResizebmTest, ReportsProgressUpToAHundred)
{
    TBitmap bitmap(50, 40, pf24bit);
    std::vector<int> reports;
    Stretch(
        bitmap, 30, 70, [&](int percent) { reports.push_back(percent); }, 5);
    ASSERT_FALSE(reports.empty());
    EXPECT_EQ(reports.back(), 100);
    for (size_t k = 1; k < reports.size(); ++k)
        EXPECT_LT(reports[k - 1], reports[k]);
    // old height + new height + 2 x new width = 170 steps, so nearly every percent is reported.
    EXPECT_GT(reports.size(), 90u);
}

} // namespace
} // namespace kv
