#include "support/BMPFixtures.h"

namespace kv::test {

namespace {

void Put16(std::string& out, uint32_t v)
{
    out += char(v & 0xFF);
    out += char((v >> 8) & 0xFF);
}

void Put32(std::string& out, uint32_t v)
{
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

} // namespace

std::string BuildBMP(const TBMPFixture& fixture)
{
    std::string header;
    if (fixture.HeaderBytes == 12) {
        Put32(header, 12);
        Put16(header, uint32_t(fixture.Width));
        Put16(header, uint32_t(fixture.Height));
        Put16(header, 1);
        Put16(header, fixture.Bits);
    } else {
        Put32(header, fixture.HeaderBytes);
        Put32(header, uint32_t(fixture.Width));
        Put32(header, uint32_t(fixture.Height));
        Put16(header, 1);
        Put16(header, fixture.Bits);
        Put32(header, fixture.Compression);
        Put32(header, fixture.ImageBytes != 0 ? fixture.ImageBytes : uint32_t(fixture.Pixels.size()));
        Put32(header, 2835);
        Put32(header, 2835);
        Put32(header, fixture.ColorsUsed);
        Put32(header, 0);
        if (fixture.HeaderBytes > 40)
            for (uint32_t mask : fixture.Masks)
                Put32(header, mask);
        header.resize(fixture.HeaderBytes, '\0');
        if (fixture.HeaderBytes == 40)
            for (uint32_t mask : fixture.Masks)
                Put32(header, mask);
    }
    for (TColor color : fixture.Palette) {
        header += char(BlueOf(color));
        header += char(GreenOf(color));
        header += char(RedOf(color));
        if (fixture.HeaderBytes != 12)
            header += '\0';
    }
    std::string file = "BM";
    const auto offset = uint32_t(14 + header.size());
    Put32(file, offset + uint32_t(fixture.Pixels.size()));
    Put32(file, 0);
    Put32(file, offset);
    return file + header + fixture.Pixels;
}

std::vector<TBMPSample> BMPSamples()
{
    std::vector<TBMPSample> samples;
    // 3 x 2, 8 bits, a 4-entry table; rows of 3 bytes padded to 4, bottom row first.
    samples.push_back({"pal8_3x2.bmp", BuildBMP({.Width = 3, .Height = 2, .Bits = 8, .ColorsUsed = 4,
                                                 .Palette = {clBlack, clRed, clLime, clBlue},
                                                 .Pixels = std::string("\1\2\3\0\3\2\1\0", 8)})});
    // 5 x 2, 1 bit.
    samples.push_back({"mono_5x2.bmp", BuildBMP({.Width = 5, .Height = 2, .Bits = 1, .Palette = {clBlack, clWhite},
                                                 .Pixels = std::string("\xA8\0\0\0\x50\0\0\0", 8)})});
    // 3 x 2, 4 bits, top-down.
    samples.push_back({"pal4_topdown.bmp",
                       BuildBMP({.Width = 3, .Height = -2, .Bits = 4, .ColorsUsed = 3, .Palette = {clBlack, clRed, clWhite},
                                 .Pixels = std::string("\x12\x00\0\0\x21\x10\0\0", 8)})});
    // 2 x 2, 24 bits, OS/2 header.
    samples.push_back({"os2_rgb24.bmp", BuildBMP({.HeaderBytes = 12, .Width = 2, .Height = 2, .Bits = 24,
                                                  .Pixels = std::string("\0\0\xFF\xFF\0\0\0\0"
                                                                        "\0\xFF\0\xFF\xFF\xFF\0\0",
                                                                        16)})});
    // 2 x 1, 16 bits 5-6-5 in a 124-byte header.
    samples.push_back({"v5_565.bmp", BuildBMP({.HeaderBytes = 124, .Width = 2, .Height = 1, .Bits = 16, .Compression = 3,
                                               .Masks = {0xF800, 0x07E0, 0x001F},
                                               .Pixels = std::string("\x00\xF8\xE0\x07", 4)})});
    // 2 x 1, 32 bits with red and blue swapped, masks after a 40-byte header.
    samples.push_back({"bitfields32.bmp",
                       BuildBMP({.Width = 2, .Height = 1, .Bits = 32, .Compression = 3, .Masks = {0xFF, 0xFF00, 0xFF0000},
                                 .Pixels = std::string("\xFF\0\0\0\0\0\xFF\0", 8)})});
    // 6 x 3, RLE8: a run, an absolute run with its pad byte, a delta, end of row and of bitmap.
    samples.push_back({"rle8_6x3.bmp", BuildBMP({.Width = 6, .Height = 3, .Bits = 8, .Compression = 1, .ColorsUsed = 4,
                                                 .Palette = {clBlack, clRed, clLime, clBlue},
                                                 .Pixels = std::string("\x03\x01\x00\x03\x02\x03\x02\x00"
                                                                       "\x00\x00"
                                                                       "\x00\x02\x02\x01"
                                                                       "\x02\x03\x00\x00"
                                                                       "\x00\x01",
                                                                       20)})});
    // 7 x 1, RLE4: a run of alternating nibbles, then an absolute run of 5 in 3 bytes and a pad.
    samples.push_back({"rle4_7x1.bmp", BuildBMP({.Width = 7, .Height = 1, .Bits = 4, .Compression = 2, .ColorsUsed = 3,
                                                 .Palette = {clBlack, clRed, clWhite},
                                                 .Pixels = std::string("\x02\x12\x00\x05\x12\x12\x10\x00\x00\x01", 10)})});
    return samples;
}

} // namespace kv::test
