#include "platform/BMPFile.h"
#include "platform/KVError.h"
#include "support/BMPFixtures.h"
#include "support/TestData.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <span>
#include <string>
#include <vector>

namespace kv {
namespace {

using test::BuildBMP;
using test::TBMPFixture;
using testing::StrEq;
using testing::ThrowsMessage;

TBitmap Load(const std::string& data) { return LoadBMPStream(std::span<const char>(data.data(), data.size()), "t.bmp"); }

std::vector<TColor> Row(const TBitmap& bitmap, int32_t y)
{
    std::vector<TColor> colors;
    for (int32_t x = 0; x < bitmap.Width(); ++x)
        colors.push_back(bitmap.GetPixel(x, y));
    return colors;
}

TEST(BMPFile, RoundTripKeepsEveryStoredValueAndTheColourTable)
{
    std::mt19937 random(11);
    for (TPixelFormat format : {pf1bit, pf4bit, pf8bit, pf15bit, pf24bit, pf32bit})
        for (int32_t width : {1, 5, 7, 32}) {
            SCOPED_TRACE(testing::Message() << BitsPerPixel(format) << " bits, width " << width);
            TBitmap bitmap(width, 3, format);
            if (BitsPerPixel(format) <= 8) {
                std::vector<TColor> palette;
                for (size_t i = 0; i < (size_t(1) << BitsPerPixel(format)) - (format == pf8bit ? 56 : 0); ++i)
                    palette.push_back(random() & 0xFFFFFF);
                bitmap.SetPalette(palette);
            }
            for (int32_t y = 0; y < 3; ++y)
                for (int32_t x = 0; x < width; ++x)
                    bitmap.SetValue(x, y, uint32_t(random()) & (format == pf32bit ? 0xFFFFFFFFu : bitmap.ValueMask()));
            const TBitmap loaded = Load(FormatBMPData(bitmap));
            ASSERT_EQ(loaded.Width(), width);
            ASSERT_EQ(loaded.Height(), 3);
            EXPECT_EQ(loaded.PixelFormat(), format);
            EXPECT_EQ(loaded.Palette(), bitmap.Palette());
            for (int32_t y = 0; y < 3; ++y)
                for (int32_t x = 0; x < width; ++x)
                    ASSERT_EQ(loaded.GetValue(x, y), bitmap.GetValue(x, y)) << x << "," << y;
        }
}

TEST(BMPFile, WritesAFortyByteHeaderAndRowsBottomUp)
{
    TBitmap bitmap(1, 2, pf24bit);
    bitmap.SetPixel(0, 0, clRed);
    bitmap.SetPixel(0, 1, clBlue);
    const std::string data = FormatBMPData(bitmap);
    ASSERT_EQ(data.size(), 54u + 8u);
    EXPECT_EQ(data.substr(0, 2), "BM");
    EXPECT_EQ(data[2], char(62));
    EXPECT_EQ(data[10], char(54));
    EXPECT_EQ(data[14], char(40));
    EXPECT_EQ(data[22], char(2)); // positive height
    EXPECT_EQ(data[28], char(24));
    // The bottom row (blue) first, each row padded to 4 bytes.
    EXPECT_EQ(data.substr(54), std::string("\xFF\0\0\0\0\0\xFF\0", 8));
}

TEST(BMPFile, ReadsEveryKindOfFile)
{
    struct Case {
        const char* name;
        std::vector<std::vector<TColor>> rows; // top row first
        TPixelFormat format;
    };
    const TColor W = clWhite, K = clBlack, R = clRed, G = clLime, B = clBlue;
    const Case cases[] = {
        {"pal8_3x2.bmp", {{B, G, R}, {R, G, B}}, pf8bit},
        {"mono_5x2.bmp", {{K, W, K, W, K}, {W, K, W, K, W}}, pf1bit},
        {"pal4_topdown.bmp", {{R, W, K}, {W, R, R}}, pf4bit},
        {"os2_rgb24.bmp", {{G, W}, {R, B}}, pf24bit},
        {"v5_565.bmp", {{R, G}}, pf32bit},
        {"bitfields32.bmp", {{R, B}}, pf32bit},
        {"rle8_6x3.bmp", {{K, K, B, B, K, K}, {K, K, K, K, K, K}, {R, R, R, G, B, G}}, pf8bit},
        {"rle4_7x1.bmp", {{R, W, R, W, R, W, R}}, pf4bit},
    };
    const std::vector<test::TBMPSample> samples = test::BMPSamples();
    ASSERT_EQ(samples.size(), std::size(cases));
    for (size_t i = 0; i < samples.size(); ++i) {
        SCOPED_TRACE(cases[i].name);
        ASSERT_EQ(samples[i].Name, cases[i].name);
        const TBitmap bitmap = Load(samples[i].Data);
        EXPECT_EQ(bitmap.PixelFormat(), cases[i].format);
        ASSERT_EQ(size_t(bitmap.Height()), cases[i].rows.size());
        for (int32_t y = 0; y < bitmap.Height(); ++y)
            EXPECT_EQ(Row(bitmap, y), cases[i].rows[size_t(y)]) << "row " << y;
    }
}

TEST(BMPFile, PlainBitFieldLayoutsAreCopiedAsTheyAre)
{
    const TBitmap rgb555 = Load(BuildBMP({.Width = 1, .Height = 1, .Bits = 16, .Compression = 3,
                                          .Masks = {0x7C00, 0x03E0, 0x001F}, .Pixels = std::string("\x1F\x00\0\0", 4)}));
    EXPECT_EQ(rgb555.PixelFormat(), pf15bit);
    EXPECT_EQ(rgb555.GetPixel(0, 0), clBlue);
    const TBitmap rgb888 = Load(BuildBMP({.HeaderBytes = 56, .Width = 1, .Height = 1, .Bits = 32, .Compression = 3,
                                          .Masks = {0xFF0000, 0xFF00, 0xFF}, .Pixels = std::string("\1\2\3\4", 4)}));
    EXPECT_EQ(rgb888.PixelFormat(), pf32bit);
    EXPECT_EQ(rgb888.GetValue(0, 0), 0x04030201u);
}

TEST(BMPFile, BadFilesFailWithOneSentenceNamingTheByte)
{
    const std::string good = BuildBMP({.Width = 2, .Height = 2, .Bits = 8, .ColorsUsed = 2, .Palette = {clBlack, clWhite},
                                       .Pixels = std::string(8, '\1')});
    auto patched = [&](size_t at, std::string bytes) {
        std::string data = good;
        data.replace(at, bytes.size(), bytes);
        return data;
    };
    struct Case {
        const char* name;
        std::string data;
        const char* message;
    };
    const Case cases[] = {
        {"empty", "", "t.bmp: the file header at byte 0 needs 14 bytes, the file has 0 from there"},
        {"not a bitmap", patched(0, "PK"), "t.bmp: the file starts with the bytes 0x50 0x4B where a bitmap has \"BM\""},
        {"unknown header", patched(14, std::string("\x21\0\0\0", 4)),
         "t.bmp: the bitmap header at byte 14 gives its size as 33 bytes, which is none of the known 12, 40, 52, 56, "
         "64, 108 and 124"},
        {"no pixels", patched(18, std::string("\0\0\0\0\x02\x03\0\x40", 8)),
         "t.bmp: the bitmap is 0 by 1073742594 pixels (bytes 18 to 25); a picture needs at least one pixel"},
        {"negative width", patched(18, std::string("\xFB\xFF\xFF\xFF", 4)), "t.bmp: the width at byte 18 is -5 pixels"},
        {"odd depth", patched(28, std::string("\x02\0", 2)),
         "t.bmp: the bitmap has 2 bits per pixel (byte 28); 1, 4, 8, 16, 24 and 32 can be read"},
        {"JPEG inside", patched(30, std::string("\x04\0\0\0", 4)),
         "t.bmp: the compression 4 at byte 30 cannot be read; uncompressed, RLE8, RLE4 and bit-field bitmaps can"},
        {"RLE4 at 8 bits", patched(30, std::string("\x02\0\0\0", 4)),
         "t.bmp: the compression 2 at byte 30 does not go with 8 bits per pixel"},
        {"too many colours", patched(46, std::string("\x01\x01\0\0", 4)),
         "t.bmp: the colour count at byte 46 is 257, more than the 256 a table holds"},
        {"pixel offset in the header", patched(10, std::string("\x20\0\0\0", 4)),
         "t.bmp: the pixel data offset at byte 10 is 32, inside the headers, which end at byte 54"},
        {"pixel offset beyond the end", patched(10, std::string("\xFF\0\0\0", 4)),
         "t.bmp: the pixel data offset at byte 10 is 255, beyond the end of the 70-byte file"},
        {"too tall", patched(22, std::string("\x10\0\0\0", 4)),
         "t.bmp: the pixel data at byte 62 needs 64 bytes, the file has 8 from there"},
        {"huge", patched(18, std::string("\xFF\xFF\xFF\x7F\xFF\xFF\xFF\x7F", 8)),
         "t.bmp: the pixel data at byte 62 needs 4611686016279904256 bytes, the file has 8 from there"},
        {"run-length without its end", BuildBMP({.Width = 4, .Height = 2, .Bits = 8, .Compression = 1,
                                                  .Pixels = std::string("\x04\x01\x00\x00", 4)}),
         "t.bmp: the run-length data ends at byte 58 before the end-of-bitmap code, at row 1 of 2 from the bottom"},
        {"run-length code cut off", BuildBMP({.Width = 4, .Height = 2, .Bits = 8, .Compression = 1,
                                               .Pixels = std::string("\x00\x05\x01\x02", 4)}),
         "t.bmp: the run-length code at byte 54 is cut off by the end of the pixel data"},
        {"run-length bitmap far larger than its codes",
         BuildBMP({.Width = 30000, .Height = 30000, .Bits = 8, .Compression = 1, .Pixels = std::string("\0\1", 2)}),
         "t.bmp: the 2 bytes of run-length data at byte 54 are too few for a bitmap of 30000 by 30000 pixels"},
        {"top-down run-length", BuildBMP({.Width = 1, .Height = -1, .Bits = 8, .Compression = 1,
                                           .Pixels = std::string("\0\1", 2)}),
         "t.bmp: the height at byte 22 is negative (rows top-down), which a run-length bitmap cannot be"},
        {"scattered masks", BuildBMP({.Width = 1, .Height = 1, .Bits = 32, .Compression = 3,
                                       .Masks = {0xF0F00000, 0xFF00, 0xFF}, .Pixels = std::string(4, '\0')}),
         "t.bmp: the colour masks 0xF0F00000, 0x0000FF00 and 0x000000FF are not each one run of bits"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_THAT([&] { Load(c.data); }, ThrowsMessage<EKorvelaError>(StrEq(c.message)));
    }
}

TEST(BMPFile, EveryTruncatedPrefixFailsWithAMessage)
{
    std::vector<test::TBMPSample> samples = test::BMPSamples();
    TBitmap written(7, 3, pf4bit);
    written.SetValue(6, 2, 5);
    samples.push_back({"written.bmp", FormatBMPData(written)});
    for (const test::TBMPSample& sample : samples) {
        SCOPED_TRACE(sample.Name);
        ASSERT_NO_THROW(Load(sample.Data));
        for (size_t size = 0; size < sample.Data.size(); ++size) {
            // A buffer of exactly the prefix's size, so that the sanitizers see a read past it.
            const auto buffer = std::make_unique<char[]>(size);
            std::copy(sample.Data.begin(), sample.Data.begin() + std::ptrdiff_t(size), buffer.get());
            try {
                LoadBMPStream(std::span<const char>(buffer.get(), size), "t.bmp");
                ADD_FAILURE() << "a prefix of " << size << " bytes was accepted";
            } catch (const EKorvelaError& error) {
                EXPECT_THAT(error.what(), testing::StartsWith("t.bmp: the ")) << size;
            }
        }
    }
}

TEST(BMPFile, SavesAndLoadsFilesNamingThemInErrors)
{
    test::TTempDir dir;
    TBitmap bitmap(3, 2, pf8bit);
    bitmap.SetPixel(2, 1, clRed);
    SaveBMPFile(dir / "map.bmp", bitmap);
    EXPECT_EQ(LoadBMPFile(dir / "map.bmp").GetPixel(2, 1), clRed);
    test::WriteFileText(dir / "short.bmp", "BM");
    EXPECT_THAT([&] { LoadBMPFile(dir / "short.bmp"); },
                ThrowsMessage<EKorvelaError>(
                    StrEq("short.bmp: the file header at byte 0 needs 14 bytes, the file has 2 from there")));
    EXPECT_THROW(LoadBMPFile(dir / "missing.bmp"), EKorvelaError);
}

} // namespace
} // namespace kv
