// The library-backed decoders (PNG, JPEG, GIF) against their own encoders, and the program's
// TGA, PCX and LBM readers against files built byte by byte from the published layouts.
#include "imaging/GIFReader.h"
#include "imaging/ImageLib.h"
#include "imaging/JPEGReader.h"
#include "imaging/LBMReader.h"
#include "imaging/PCXReader.h"
#include "imaging/PNGReader.h"
#include "imaging/TGAReader.h"

#include "PictureFixtures.h"
#include "platform/KVError.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>

namespace kv {
namespace {

using test::TBytes;
using TReader = std::function<void(std::span<const uint8_t>, TBitmap&)>;

// 5 x 3 RGB pixels whose colours say where they are.
TBytes Positions(bool alpha)
{
    TBytes pixels;
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x) {
            pixels.push_back(static_cast<uint8_t>(40 * x));
            pixels.push_back(static_cast<uint8_t>(100 * y));
            pixels.push_back(200);
            if (alpha)
                pixels.push_back(static_cast<uint8_t>(50 * x));
        }
    return pixels;
}

TEST(PNGReader, OpaqueAndTransparentPictures)
{
    for (const bool alpha : {false, true}) {
        TBitmap bitmap;
        ReadPNG(test::WritePNG(5, 3, alpha, Positions(alpha)), bitmap);
        ASSERT_EQ(bitmap.Width(), 5);
        ASSERT_EQ(bitmap.Height(), 3);
        EXPECT_EQ(bitmap.PixelFormat(), alpha ? pf32bit : pf24bit);
        EXPECT_EQ(bitmap.GetPixel(4, 2), RGBColor(160, 200, 200));
        if (alpha) {
            EXPECT_EQ(bitmap.ScanLine(0)[4 * 3 + 3], 150);
        }
    }
}

TEST(JPEGReader, ColoursSurviveWithinTheCodecsLoss)
{
    TBytes rgb;
    for (int i = 0; i < 16 * 16; ++i) {
        rgb.push_back(i < 128 ? 250 : 10);
        rgb.push_back(120);
        rgb.push_back(i < 128 ? 10 : 250);
    }
    TBitmap bitmap;
    ReadJPEG(test::WriteJPEG(16, 16, rgb), bitmap);
    ASSERT_EQ(bitmap.Width(), 16);
    EXPECT_EQ(bitmap.PixelFormat(), pf24bit);
    const TColor top = bitmap.GetPixel(3, 2), bottom = bitmap.GetPixel(3, 13);
    EXPECT_NEAR(RedOf(top), 250, 6);
    EXPECT_NEAR(BlueOf(top), 10, 6);
    EXPECT_NEAR(RedOf(bottom), 10, 6);
    EXPECT_NEAR(BlueOf(bottom), 250, 6);
}

TEST(GIFReader, PlainAndInterlacedRowsLandInPlace)
{
    TBytes indices;
    for (int y = 0; y < 11; ++y)
        for (int x = 0; x < 3; ++x)
            indices.push_back(static_cast<uint8_t>((y + x) % 4));
    for (const bool interlaced : {false, true}) {
        TBitmap bitmap;
        ReadGIF(test::WriteGIF(3, 11, indices, interlaced), bitmap);
        ASSERT_EQ(bitmap.Height(), 11);
        EXPECT_EQ(bitmap.PixelFormat(), pf8bit);
        for (int32_t y = 0; y < 11; ++y)
            EXPECT_EQ(bitmap.GetValue(1, y), static_cast<uint32_t>((y + 1) % 4)) << "row " << y;
        EXPECT_EQ(bitmap.GetPixel(0, 1), clRed);
    }
}

void PutLE16(TBytes& bytes, size_t at, uint16_t value)
{
    bytes[at] = static_cast<uint8_t>(value);
    bytes[at + 1] = static_cast<uint8_t>(value >> 8);
}

// An 18-byte TGA header.
TBytes TGAHeader(uint8_t type, uint16_t width, uint16_t height, uint8_t bits, uint8_t descriptor)
{
    TBytes h(18, 0);
    h[2] = type;
    PutLE16(h, 12, width);
    PutLE16(h, 14, height);
    h[16] = bits;
    h[17] = descriptor;
    return h;
}

TEST(TGAReader, CornerOrdersRunLengthAndColourMaps)
{
    // Two rows of two 24-bit pixels, bottom row first (the default order).
    TBytes plain = TGAHeader(2, 2, 2, 24, 0);
    plain.insert(plain.end(), {1, 2, 3, 4, 5, 6, /* top row: */ 7, 8, 9, 10, 11, 12});
    TBitmap bitmap;
    ReadTGA(plain, bitmap);
    EXPECT_EQ(bitmap.GetPixel(0, 0), RGBColor(9, 8, 7)); // blue, green, red in the file
    EXPECT_EQ(bitmap.GetPixel(1, 1), RGBColor(6, 5, 4));

    // The same picture top row first and run-length encoded: a run of two, two literal pixels.
    TBytes runs = TGAHeader(10, 2, 2, 24, 0x20);
    runs.insert(runs.end(), {0x81, 7, 8, 9, 0x01, 4, 5, 6, 1, 2, 3});
    ReadTGA(runs, bitmap);
    EXPECT_EQ(bitmap.GetPixel(1, 0), RGBColor(9, 8, 7));
    EXPECT_EQ(bitmap.GetPixel(0, 1), RGBColor(6, 5, 4));
    EXPECT_EQ(bitmap.GetPixel(1, 1), RGBColor(3, 2, 1));

    // A colour-mapped picture whose map starts at entry 2.
    TBytes mapped = TGAHeader(1, 2, 1, 8, 0x20);
    mapped[1] = 1;
    PutLE16(mapped, 3, 2);
    PutLE16(mapped, 5, 1);
    mapped[7] = 24;
    mapped.insert(mapped.end(), {30, 20, 10, /* pixels: */ 2, 0});
    ReadTGA(mapped, bitmap);
    EXPECT_EQ(bitmap.GetPixel(0, 0), RGBColor(10, 20, 30));
    EXPECT_EQ(bitmap.GetPixel(1, 0), clBlack);
}

TEST(PCXReader, EightBitRunsWithTheTrailingPaletteAndTwentyFourBitPlanes)
{
    TBytes header(128, 0);
    header[0] = 0x0A;
    header[1] = 5;
    header[2] = 1;
    header[3] = 8;
    PutLE16(header, 8, 2);  // x max: 3 pixels
    PutLE16(header, 10, 1); // y max: 2 rows
    header[65] = 1;
    PutLE16(header, 66, 4); // bytes per line (even)

    TBytes eight = header;
    eight.insert(eight.end(), {0xC3, 5, 0, /* row 2: */ 1, 2, 0xC2, 3});
    eight.push_back(0x0C);
    for (int i = 0; i < 256; ++i)
        for (int c = 0; c < 3; ++c)
            eight.push_back(static_cast<uint8_t>(i + c));
    TBitmap bitmap;
    ReadPCX(eight, bitmap);
    ASSERT_EQ(bitmap.Width(), 3);
    EXPECT_EQ(bitmap.GetValue(2, 0), 5u);
    EXPECT_EQ(bitmap.GetValue(2, 1), 3u);
    EXPECT_EQ(bitmap.GetPixel(1, 1), RGBColor(2, 3, 4));

    TBytes rgb = header;
    rgb[65] = 3;
    rgb.insert(rgb.end(), {10, 11, 12, 0, 20, 21, 22, 0, 30, 31, 32, 0, /* row 2 */ 0xCC, 0});
    ReadPCX(rgb, bitmap);
    EXPECT_EQ(bitmap.PixelFormat(), pf24bit);
    EXPECT_EQ(bitmap.GetPixel(1, 0), RGBColor(11, 21, 31));
    EXPECT_EQ(bitmap.GetPixel(2, 1), clBlack);
}

void PutBE(TBytes& bytes, uint32_t value, int count)
{
    for (int i = count - 1; i >= 0; --i)
        bytes.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

TBytes Chunk(const char* id, const TBytes& body)
{
    TBytes chunk(id, id + 4);
    PutBE(chunk, static_cast<uint32_t>(body.size()), 4);
    chunk.insert(chunk.end(), body.begin(), body.end());
    if (body.size() % 2)
        chunk.push_back(0);
    return chunk;
}

TEST(LBMReader, BitPlanesThroughTheColourMap)
{
    TBytes bmhd;
    PutBE(bmhd, 3, 2); // width
    PutBE(bmhd, 2, 2); // height
    PutBE(bmhd, 0, 4);
    bmhd.insert(bmhd.end(), {2, 0, 1, 0}); // 2 planes, no mask, ByteRun1
    PutBE(bmhd, 0, 2);
    bmhd.insert(bmhd.end(), {1, 1});
    PutBE(bmhd, 320, 2);
    PutBE(bmhd, 200, 2);
    const TBytes cmap = {0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 255};
    // Row 0: plane 0 = 101..., plane 1 = 011...: pixels 1, 2, 3. Row 1: all 0 (a run).
    const TBytes body = {1, 0xA0, 0x00, 1, 0x60, 0x00, 0xFF, 0x00, 0xFF, 0x00};
    TBytes form;
    const TBytes chunks = [&] {
        TBytes all = Chunk("BMHD", bmhd);
        const TBytes c = Chunk("CMAP", cmap), b = Chunk("BODY", body);
        all.insert(all.end(), c.begin(), c.end());
        all.insert(all.end(), b.begin(), b.end());
        return all;
    }();
    form.insert(form.end(), {'F', 'O', 'R', 'M'});
    PutBE(form, static_cast<uint32_t>(chunks.size() + 4), 4);
    form.insert(form.end(), {'I', 'L', 'B', 'M'});
    form.insert(form.end(), chunks.begin(), chunks.end());

    TBitmap bitmap;
    ReadLBM(form, bitmap);
    ASSERT_EQ(bitmap.Width(), 3);
    EXPECT_EQ(bitmap.GetPixel(0, 0), clRed);
    EXPECT_EQ(bitmap.GetPixel(1, 0), clLime);
    EXPECT_EQ(bitmap.GetPixel(2, 0), clBlue);
    EXPECT_EQ(bitmap.GetPixel(2, 1), clBlack);
}

// Every prefix of a valid file of each format, in a buffer of exactly that size, loads or fails
// with a message, never reading past its end; a hostile size is refused before allocation.
TEST(PictureReaders, TruncatedFilesFailCleanlyAndHugeSizesAreRefused)
{
    struct Case {
        const char* name;
        TBytes whole;
        TReader read;
        size_t widthAt; // offset of a 16-bit size field to blow up, little-endian
        bool bigEndian;
    };
    TBytes tga = TGAHeader(2, 2, 2, 24, 0);
    tga.resize(18 + 12, 9);
    std::vector<Case> cases = {
        {"png", test::WritePNG(5, 3, true, Positions(true)),
         [](auto d, auto& b) { ReadPNG(d, b); }, 18, true},
        {"jpeg", test::WriteJPEG(5, 3, Positions(false)), [](auto d, auto& b) { ReadJPEG(d, b); }, 0, false},
        {"gif", test::WriteGIF(3, 11, TBytes(33, 1), true), [](auto d, auto& b) { ReadGIF(d, b); }, 6, false},
        {"tga", tga, [](auto d, auto& b) { ReadTGA(d, b); }, 12, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (size_t n = 0; n < c.whole.size(); ++n) {
            const TBytes prefix(c.whole.begin(), c.whole.begin() + static_cast<long>(n));
            TBitmap bitmap;
            try {
                c.read(prefix, bitmap);
            } catch (const EKorvelaError&) {
            }
        }
        if (c.widthAt == 0)
            continue;
        TBytes huge = c.whole;
        huge[c.widthAt] = huge[c.widthAt + 1] = 0xFF; // 65535 or more pixels across
        huge[c.widthAt + 2] = huge[c.widthAt + 3] = 0xFF; // and as many rows (PNG: a 32-bit width)
        TBitmap bitmap;
        try {
            c.read(huge, bitmap);
            ADD_FAILURE() << "loaded a picture of " << bitmap.Width() << " x " << bitmap.Height();
        } catch (const EKorvelaError& e) {
            EXPECT_TRUE(std::string(e.what()).find("far more than") != std::string::npos ||
                        std::string(e.what()).find("not a readable") != std::string::npos)
                << e.what();
        }
    }
}

TEST(ImageLib, ExtensionsPickTheirDecoder)
{
    const struct {
        const char* name;
        TPictureFormat format;
    } cases[] = {
        {"a.JPG", pfmJPEG}, {"a.jpeg", pfmJPEG}, {"a.tif", pfmTIFF}, {"a.TIFF", pfmTIFF}, {"a.gif", pfmGIF},
        {"a.png", pfmPNG},  {"a.tga", pfmTGA},   {"a.pcx", pfmPCX},  {"a.LBM", pfmLBM},   {"a.bmp", pfmBMP},
        {"map.drg", pfmBMP}, {"noextension", pfmBMP}, {"dir.png/file", pfmBMP},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PictureFormatOf(c.name), c.format) << c.name;

    // A ".drg" file goes to the bitmap reader, whose error names it.
    TBitmap bitmap;
    const TBytes png = test::WritePNG(5, 3, false, Positions(false));
    EXPECT_THROW(LoadImageData(bitmap, png, "map.drg"), EKorvelaError);
    LoadImageData(bitmap, png, "map.PNG");
    EXPECT_EQ(bitmap.Width(), 5);
}

} // namespace
} // namespace kv
