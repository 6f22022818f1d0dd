#pragma once
// Pictures written by independent encoders (libtiff, libpng, libjpeg, giflib) or by hand, so
// the program's readers are checked against files they did not write themselves.

#include <cstdint>
#include <string>
#include <vector>

namespace kv::test {

using TBytes = std::vector<uint8_t>;

struct TTIFFFixture {
    uint32_t Width = 4;
    uint32_t Height = 3;
    uint16_t BitsPerSample = 8;
    uint16_t SamplesPerPixel = 1;
    uint16_t Photometric = 1;    // 0 WhiteIsZero, 1 BlackIsZero, 2 RGB, 3 palette, 5 separated
    uint16_t Compression = 1;    // 1 none, 5 LZW, 32773 PackBits, 8 Deflate
    uint32_t RowsPerStrip = 0;   // 0: one strip
    bool BigEndian = false;
    uint32_t TileSize = 0;       // 0: strips; else square tiles of this size
    std::vector<uint16_t> ColorMap; // red, green, blue runs of 2^bits entries each
    TBytes Pixels;               // rows as the file stores them
};

// A TIFF written by libtiff.
TBytes WriteTIFF(const TTIFFFixture& fixture);

// An 8-bit RGB (or RGBA) picture written by libpng; pixels are red, green, blue (, alpha).
TBytes WritePNG(uint32_t width, uint32_t height, bool alpha, const TBytes& pixels);

// A JPEG of RGB pixels at the highest quality, written by libjpeg.
TBytes WriteJPEG(uint32_t width, uint32_t height, const TBytes& rgb);

// A GIF of palette indices with a 4-colour global table, written by giflib.
TBytes WriteGIF(uint32_t width, uint32_t height, const TBytes& indices, bool interlaced);

} // namespace kv::test
