#include "platform/Bitmap.h"
#include "platform/KVError.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <vector>

namespace kv {
namespace {

TEST(Bitmap, RowsArePaddedToFourBytes)
{
    struct Case {
        int32_t width;
        TPixelFormat format;
        size_t rowBytes;
    };
    const Case cases[] = {
        {1, pf1bit, 4},  {32, pf1bit, 4},  {33, pf1bit, 8},  {7, pf4bit, 4},  {9, pf4bit, 8}, {5, pf8bit, 8},
        {2, pf15bit, 4}, {3, pf15bit, 8},  {1, pf24bit, 4},  {3, pf24bit, 12}, {5, pf24bit, 16}, {3, pf32bit, 12},
        {0, pf24bit, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << " pixels at " << BitsPerPixel(c.format) << " bits");
        const TBitmap bitmap(c.width, 2, c.format);
        EXPECT_EQ(bitmap.RowBytes(), c.rowBytes);
        if (bitmap.Width() > 0) {
            EXPECT_EQ(bitmap.ScanLine(1) - bitmap.ScanLine(0), std::ptrdiff_t(c.rowBytes));
        }
    }
}

TEST(Bitmap, PixelsSitInTheirRowsAsInWindowsBitmaps)
{
    // Row 0 is the top row; each format's bytes for pixel (1, 0) after writing a colour there.
    struct Case {
        TPixelFormat format;
        TColor color;
        std::vector<uint8_t> firstBytes; // the row's first bytes afterwards
    };
    const Case cases[] = {
        {pf1bit, clWhite, {0x40}},             // second bit from the top
        {pf4bit, 0x0000FF, {0x09}},            // low nibble; index 9 is red in the 16 colours
        {pf8bit, clWhite, {0x00, 215}},        // the cube's white
        {pf15bit, clRed, {0, 0, 0x00, 0x7C}},  // 0RRRRRGG GGGBBBBB, little-endian
        {pf24bit, 0x123456, {0, 0, 0, 0x12, 0x34, 0x56}}, // blue, green, red
        {pf32bit, 0x123456, {0, 0, 0, 0, 0x12, 0x34, 0x56, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(BitsPerPixel(c.format));
        TBitmap bitmap(3, 2, c.format);
        bitmap.SetPixel(1, 0, c.color);
        const std::vector<uint8_t> row(bitmap.ScanLine(0), bitmap.ScanLine(0) + c.firstBytes.size());
        EXPECT_EQ(row, c.firstBytes);
        EXPECT_EQ(bitmap.ScanLine(1)[0], 0);
        EXPECT_EQ(bitmap.GetPixel(1, 0), c.color);
    }
}

TEST(Bitmap, PaletteFormatsStoreTheIndexOfTheNearestColour)
{
    struct Case {
        TPixelFormat format;
        TColor color;
        uint32_t index;
    };
    const Case cases[] = {
        {pf1bit, 0x202020, 0}, {pf1bit, 0xC0C0C0, 1}, {pf4bit, 0x0000F0, 9},
        {pf4bit, 0x7F7F7F, 8}, {pf8bit, 0x000033, 1}, {pf8bit, RGBColor(0, 0, 50), 36 * 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << BitsPerPixel(c.format) << " bits, colour " << std::hex << c.color);
        TBitmap bitmap(4, 1, c.format);
        bitmap.SetPixel(2, 0, c.color);
        EXPECT_EQ(bitmap.GetValue(2, 0), c.index);
        EXPECT_EQ(bitmap.GetValue(1, 0), 0u);
        EXPECT_EQ(bitmap.GetValue(3, 0), 0u);
    }
}

TEST(Bitmap, OwnPaletteGivesColoursAndIndicesBeyondItReadBlack)
{
    TBitmap bitmap(2, 1, pf8bit);
    bitmap.SetPalette({0x112233, 0x445566});
    bitmap.SetPixel(0, 0, 0x445560);
    EXPECT_EQ(bitmap.GetValue(0, 0), 1u);
    EXPECT_EQ(bitmap.GetPixel(0, 0), 0x445566u);
    bitmap.SetValue(1, 0, 200);
    EXPECT_EQ(bitmap.GetPixel(1, 0), clBlack);
    EXPECT_THROW(bitmap.SetPalette(std::vector<TColor>(257)), EKorvelaError);
}

TEST(Bitmap, SetSizeKeepsTheSharedPixelsAndZeroesTheNewOnes)
{
    for (TPixelFormat format : {pf1bit, pf4bit, pf8bit, pf15bit, pf24bit, pf32bit}) {
        SCOPED_TRACE(BitsPerPixel(format));
        TBitmap bitmap(5, 3, format);
        for (int32_t y = 0; y < 3; ++y)
            for (int32_t x = 0; x < 5; ++x)
                bitmap.SetValue(x, y, bitmap.ValueMask());
        bitmap.SetSize(3, 2);
        bitmap.SetSize(6, 4);
        for (int32_t y = 0; y < 4; ++y)
            for (int32_t x = 0; x < 6; ++x)
                EXPECT_EQ(bitmap.GetValue(x, y), x < 3 && y < 2 ? bitmap.ValueMask() : 0u) << x << "," << y;
        EXPECT_EQ(bitmap.Palette(), DefaultPalette(format));
    }
}

TEST(Bitmap, SetPixelFormatConvertsThroughColours)
{
    TBitmap bitmap(2, 1, pf24bit);
    bitmap.SetPixel(0, 0, clRed);
    bitmap.SetPixel(1, 0, 0xFEFEFE);
    bitmap.SetPixelFormat(pf4bit);
    EXPECT_EQ(bitmap.GetPixel(0, 0), clRed);
    EXPECT_EQ(bitmap.GetPixel(1, 0), clWhite);
    bitmap.SetPixelFormat(pf15bit);
    EXPECT_EQ(bitmap.GetPixel(0, 0), clRed);
}

TEST(Bitmap, RefusesImpossibleSizesAndKeepsItsState)
{
    EXPECT_THAT([] { TBitmap(-1, 4); }, testing::ThrowsMessage<EKorvelaError>(
                                            testing::StrEq("A bitmap cannot be -1 by 4 pixels")));
    TBitmap bitmap(2, 2);
    EXPECT_THAT([&] { bitmap.SetSize(2000000000, 2000000000); },
                testing::ThrowsMessage<EKorvelaError>(testing::HasSubstr("MiB available")));
    EXPECT_EQ(bitmap.Width(), 2);
    EXPECT_EQ(bitmap.Height(), 2);
}

} // namespace
} // namespace kv
