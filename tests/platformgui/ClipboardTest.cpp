#include "platform/gui/Clipboard.h"
#include "platform/KVError.h"
#include "GUITestApp.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QClipboard>

namespace kv {
namespace {

TEST(Clipboard, ReadingAPictureFromAClipboardWithoutOneFails)
{
    test::GUITestApp();
    QGuiApplication::clipboard()->clear();
    EXPECT_FALSE(ClipboardHasBitmap());
    EXPECT_THAT([] { ReadClipboardBitmap(); },
                testing::ThrowsMessage<EKorvelaError>(testing::StrEq("The clipboard holds no picture")));
    PutClipboardText("Höhe 1200 m\r\n5\t6");
    EXPECT_EQ(ReadClipboardText(), "Höhe 1200 m\r\n5\t6");
    EXPECT_THROW(ReadClipboardBitmap(), EKorvelaError);
}

TEST(Clipboard, PicturesComeBackWithTheirColours)
{
    test::GUITestApp();
    for (TPixelFormat format : {pf1bit, pf8bit, pf24bit}) {
        SCOPED_TRACE(BitsPerPixel(format));
        TBitmap bitmap(5, 3, format);
        bitmap.SetPixel(0, 0, clWhite);
        bitmap.SetPixel(4, 2, format == pf1bit ? clWhite : clRed);
        PutClipboardBitmap(bitmap);
        ASSERT_TRUE(ClipboardHasBitmap());
        const TBitmap back = ReadClipboardBitmap();
        ASSERT_EQ(back.Width(), 5);
        ASSERT_EQ(back.Height(), 3);
        for (int32_t y = 0; y < 3; ++y)
            for (int32_t x = 0; x < 5; ++x)
                EXPECT_EQ(back.GetPixel(x, y), bitmap.GetPixel(x, y)) << x << "," << y;
    }
    EXPECT_EQ(ReadClipboardText(), "");
}

} // namespace
} // namespace kv
