#include "platform/gui/QtBitmap.h"
#include "GUITestApp.h"

#include <gtest/gtest.h>

#include <QPainter>

#include <random>

namespace kv {
namespace {

// A bitmap of the format whose pixels use many of the colours it can hold.
TBitmap Sample(TPixelFormat format)
{
    TBitmap bitmap(13, 5, format);
    std::mt19937 random(5);
    if (BitsPerPixel(format) <= 8) {
        std::vector<TColor> palette;
        for (size_t i = 0; i < (size_t(1) << BitsPerPixel(format)); ++i)
            palette.push_back(random() & 0xFFFFFF);
        bitmap.SetPalette(palette);
    }
    for (int32_t y = 0; y < 5; ++y)
        for (int32_t x = 0; x < 13; ++x)
            bitmap.SetValue(x, y, uint32_t(random()) & bitmap.ValueMask());
    return bitmap;
}

TEST(QtBitmap, EveryFormatKeepsItsColoursBothWays)
{
    test::GUITestApp();
    for (TPixelFormat format : {pf1bit, pf4bit, pf8bit, pf15bit, pf24bit, pf32bit}) {
        SCOPED_TRACE(BitsPerPixel(format));
        const TBitmap bitmap = Sample(format);
        const QImage image = BitmapToQImage(bitmap);
        ASSERT_EQ(image.width(), 13);
        ASSERT_EQ(image.height(), 5);
        const TBitmap back = QImageToBitmap(image);
        for (int32_t y = 0; y < 5; ++y)
            for (int32_t x = 0; x < 13; ++x) {
                const TColor color = bitmap.GetPixel(x, y);
                ASSERT_EQ(image.pixel(x, y), qRgb(RedOf(color), GreenOf(color), BlueOf(color))) << x << "," << y;
                ASSERT_EQ(back.GetPixel(x, y), color) << x << "," << y;
            }
    }
}

TEST(QtBitmap, TransparentPixelsComeInOverWhite)
{
    test::GUITestApp();
    QImage image(2, 1, QImage::Format_ARGB32);
    image.setPixel(0, 0, qRgba(0, 0, 0, 0));
    image.setPixel(1, 0, qRgba(0, 0, 255, 255));
    const TBitmap bitmap = QImageToBitmap(image);
    EXPECT_EQ(bitmap.PixelFormat(), pf24bit);
    EXPECT_EQ(bitmap.GetPixel(0, 0), clWhite);
    EXPECT_EQ(bitmap.GetPixel(1, 0), clBlue);
}

} // namespace
} // namespace kv
