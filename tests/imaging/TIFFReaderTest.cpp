#include "imaging/TIFFReader.h"

#include "PictureFixtures.h"
#include "imaging/ImageLib.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace kv {
namespace {

using test::TBytes;
using test::TTIFFFixture;
using test::WriteTIFF;

TBitmap Read(const TBytes& bytes)
{
    TBitmap bitmap;
    ReadTIFF(bytes, bitmap);
    return bitmap;
}

std::string Failure(const TBytes& bytes)
{
    TBitmap bitmap(2, 2);
    try {
        ReadTIFF(bytes, bitmap);
    } catch (const EKorvelaError& e) {
        EXPECT_EQ(bitmap.Width(), 2) << "a failed read replaced the picture";
        return e.what();
    }
    return "(no error)";
}

TBytes Ramp(size_t count, uint8_t step = 1)
{
    TBytes bytes(count);
    for (size_t i = 0; i < count; ++i)
        bytes[i] = static_cast<uint8_t>(i * step);
    return bytes;
}

// Every layout the reader knows, in both byte orders and all three compressions, against the
// colours libtiff wrote.
TEST(TIFFReader, LayoutsAndCompressionsGiveTheWrittenColours)
{
    struct Case {
        const char* name;
        uint16_t bits, samples, photometric;
        TBytes pixels; // 4 x 3 pixels
        TPixelFormat format;
        std::vector<TColor> expected; // pixels (0,0), (3,0), (1,2)
    };
    const Case cases[] = {
        {"1-bit black is zero", 1, 1, 1, {0x50, 0x00, 0xF0}, pf1bit, {clBlack, clWhite, clWhite}},
        {"1-bit white is zero", 1, 1, 0, {0x50, 0x00, 0xF0}, pf1bit, {clWhite, clBlack, clBlack}},
        {"4-bit grey ramp", 4, 1, 1, {0x01, 0x23, 0x45, 0x67, 0x89, 0xAB}, pf4bit,
         {RGBColor(0, 0, 0), RGBColor(3, 3, 3), RGBColor(9, 9, 9)}},
        {"8-bit grey", 8, 1, 1, Ramp(12, 20), pf8bit, {RGBColor(0, 0, 0), RGBColor(60, 60, 60), RGBColor(180, 180, 180)}},
        {"8-bit white is zero", 8, 1, 0, Ramp(12, 20), pf8bit,
         {RGBColor(255, 255, 255), RGBColor(195, 195, 195), RGBColor(75, 75, 75)}},
        {"24-bit RGB", 8, 3, 2, Ramp(36, 7), pf24bit,
         {RGBColor(0, 7, 14), RGBColor(63, 70, 77), RGBColor(189, 196, 203)}},
        {"32-bit RGBA", 8, 4, 2, Ramp(48, 5), pf32bit,
         {RGBColor(0, 5, 10), RGBColor(60, 65, 70), RGBColor(180, 185, 190)}},
    };
    for (const Case& c : cases)
        for (const bool big : {false, true})
            for (const uint16_t compression : {uint16_t{1}, uint16_t{5}, uint16_t{32773}}) {
                SCOPED_TRACE(std::string(c.name) + (big ? ", big-endian" : ", little-endian") + ", compression " +
                             std::to_string(compression));
                TTIFFFixture fixture;
                fixture.BitsPerSample = c.bits;
                fixture.SamplesPerPixel = c.samples;
                fixture.Photometric = c.photometric;
                fixture.Compression = compression;
                fixture.BigEndian = big;
                fixture.Pixels = c.pixels;
                const TBitmap bitmap = Read(WriteTIFF(fixture));
                ASSERT_EQ(bitmap.Width(), 4);
                ASSERT_EQ(bitmap.Height(), 3);
                EXPECT_EQ(bitmap.PixelFormat(), c.format);
                EXPECT_EQ(bitmap.GetPixel(0, 0), c.expected[0]);
                EXPECT_EQ(bitmap.GetPixel(3, 0), c.expected[1]);
                EXPECT_EQ(bitmap.GetPixel(1, 2), c.expected[2]);
            }
}

TEST(TIFFReader, PaletteCMYKAndSixteenBitGrey)
{
    TTIFFFixture palette;
    palette.Photometric = 3;
    palette.ColorMap.assign(3 * 256, 0);
    palette.ColorMap[7] = 0xAB00;             // red of entry 7
    palette.ColorMap[256 + 7] = 0x12FF;       // green
    palette.ColorMap[512 + 7] = 0xCD34;       // blue
    palette.Pixels.assign(12, 7);
    EXPECT_EQ(Read(WriteTIFF(palette)).GetPixel(2, 1), RGBColor(0xAB, 0x12, 0xCD));

    TTIFFFixture cmyk;
    cmyk.SamplesPerPixel = 4;
    cmyk.Photometric = 5;
    cmyk.Width = 3;
    cmyk.Height = 1;
    cmyk.Pixels = {0, 0, 0, 0, 255, 0, 0, 0, 0, 0, 0, 255};
    const TBitmap inks = Read(WriteTIFF(cmyk));
    EXPECT_EQ(inks.GetPixel(0, 0), clWhite);
    EXPECT_EQ(inks.GetPixel(1, 0), RGBColor(0, 255, 255)); // cyan
    EXPECT_EQ(inks.GetPixel(2, 0), clBlack);               // the last pixel converted exactly once

    TTIFFFixture grey16;
    grey16.BitsPerSample = 16;
    grey16.Width = 2;
    grey16.Height = 1;
    grey16.Pixels = {0xFF, 0xFF, 0xFF, 0x07}; // 65535 and 2047, low byte first
    const TBitmap grey = Read(WriteTIFF(grey16));
    EXPECT_EQ(grey.PixelFormat(), pf15bit);
    EXPECT_EQ(grey.GetValue(0, 0), 32767u);
    EXPECT_EQ(grey.GetValue(1, 0), 0u);
}

// Three strips of 16 rows for 40 rows decode 16, 16 and 8 rows, the file's first row on top.
TEST(TIFFReader, StripsFillThePictureTopDown)
{
    for (const uint16_t compression : {uint16_t{1}, uint16_t{5}, uint16_t{32773}}) {
        TTIFFFixture fixture;
        fixture.Width = 3;
        fixture.Height = 40;
        fixture.RowsPerStrip = 16;
        fixture.Compression = compression;
        for (uint32_t y = 0; y < 40; ++y)
            for (int x = 0; x < 3; ++x)
                fixture.Pixels.push_back(static_cast<uint8_t>(y * 6 + static_cast<uint32_t>(x)));
        const TBitmap bitmap = Read(WriteTIFF(fixture));
        for (int32_t y : {0, 15, 16, 31, 32, 39})
            EXPECT_EQ(bitmap.GetValue(2, y), static_cast<uint32_t>(y * 6 + 2)) << "row " << y << ", " << compression;
    }
}

TBytes HandMade(std::initializer_list<uint8_t> header) { return TBytes(header); }

// Sets the value of entry `tag` of a little-endian file's first directory to a LONG.
void PatchEntry(TBytes& bytes, uint16_t tag, uint32_t value)
{
    const uint32_t directory = bytes[4] | (bytes[5] << 8) | (bytes[6] << 16) | (uint32_t(bytes[7]) << 24);
    const uint16_t entries = static_cast<uint16_t>(bytes[directory] | (bytes[directory + 1] << 8));
    for (uint16_t e = 0; e < entries; ++e) {
        uint8_t* entry = bytes.data() + directory + 2 + 12 * e;
        if ((entry[0] | (entry[1] << 8)) != tag)
            continue;
        entry[2] = 4; // LONG
        entry[3] = 0;
        for (int i = 0; i < 4; ++i)
            entry[8 + i] = static_cast<uint8_t>(value >> (8 * i));
        return;
    }
    ADD_FAILURE() << "no entry " << tag;
}

TEST(TIFFReader, HeaderRulesAndMessages)
{
    // A first directory offset of 0 leaves the picture as it was, without an error.
    TBitmap kept(2, 2);
    ReadTIFF(HandMade({'I', 'I', 42, 0, 0, 0, 0, 0}), kept);
    EXPECT_EQ(kept.Width(), 2);

    TTIFFFixture fixture;
    fixture.Pixels = Ramp(12);
    TBytes version43 = WriteTIFF(fixture);
    version43[2] = 43;
    EXPECT_EQ(Read(version43).GetValue(3, 2), 11u);
    TBytes otherMark = WriteTIFF(fixture);
    otherMark[0] = otherMark[1] = 'X'; // read as little-endian because the version is 42
    EXPECT_EQ(Read(otherMark).GetValue(3, 2), 11u);
    TBytes bad = WriteTIFF(fixture);
    bad[0] = 'X';
    bad[2] = 43;
    EXPECT_EQ(Failure(bad), "Invalid TIF File");

    TTIFFFixture twelve = fixture;
    twelve.BitsPerSample = 12;
    twelve.Pixels = Ramp(18);
    EXPECT_EQ(Failure(WriteTIFF(twelve)), "Unsupported Bits/Pixel: 12");
    TBytes compression7 = WriteTIFF(fixture);
    PatchEntry(compression7, 259, 7);
    try {
        TBitmap bitmap;
        ReadTIFF(compression7, bitmap);
        ADD_FAILURE() << "read";
    } catch (const ETIFFUnsupportedError& e) {
        EXPECT_STREQ(e.what(), "Unsupported Compression = 7");
    }
    TBytes zeroWidth = WriteTIFF(fixture);
    PatchEntry(zeroWidth, 256, 0);
    EXPECT_EQ(Failure(zeroWidth), "Width or Height is Zero");
}

// Deflate and tiles are left to libtiff: the user still gets the picture.
TEST(TIFFReader, UnsupportedFilesLoadThroughTheLibrary)
{
    TTIFFFixture deflate;
    deflate.Compression = 8;
    deflate.Pixels = Ramp(12, 9);
    TTIFFFixture tiled;
    tiled.Width = tiled.Height = 20;
    tiled.TileSize = 16;
    tiled.Pixels = Ramp(400);
    for (const TTIFFFixture* fixture : {&deflate, &tiled}) {
        const TBytes bytes = WriteTIFF(*fixture);
        TBitmap bitmap;
        LoadImageData(bitmap, bytes, "scan.TIF");
        ASSERT_EQ(bitmap.Width(), static_cast<int32_t>(fixture->Width));
        const uint8_t grey = fixture->Pixels[fixture->Width + 3];
        EXPECT_EQ(bitmap.GetPixel(3, 1), RGBColor(grey, grey, grey));
    }
}

// Every prefix of a valid file, in a buffer of exactly its size, loads or fails with a message.
TEST(TIFFReader, EveryTruncatedFileFailsCleanly)
{
    for (const uint16_t compression : {uint16_t{1}, uint16_t{5}, uint16_t{32773}}) {
        TTIFFFixture fixture;
        fixture.Width = 5;
        fixture.Height = 7;
        fixture.SamplesPerPixel = 3;
        fixture.Photometric = 2;
        fixture.RowsPerStrip = 2;
        fixture.Compression = compression;
        fixture.Pixels = Ramp(105, 3);
        const TBytes whole = WriteTIFF(fixture);
        for (size_t n = 0; n < whole.size(); ++n) {
            const TBytes prefix(whole.begin(), whole.begin() + static_cast<long>(n));
            TBitmap bitmap;
            try {
                ReadTIFF(prefix, bitmap);
            } catch (const EKorvelaError&) {
            }
        }
    }
}

TEST(TIFFReader, HugeDeclaredPicturesAreRefusedBeforeAllocating)
{
    TTIFFFixture fixture;
    fixture.Pixels = Ramp(12);
    TBytes bytes = WriteTIFF(fixture);
    PatchEntry(bytes, 256, 60000);
    PatchEntry(bytes, 257, 60000);
    EXPECT_THAT(Failure(bytes), ::testing::HasSubstr("a picture of 60000 x 60000 pixels needs 3600000000 bytes"));
}

} // namespace
} // namespace kv
