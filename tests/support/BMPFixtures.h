#pragma once
// BMP files built field by field, for tests and fuzz seeds, including layouts our writer never
// produces (other headers, top-down rows, bit fields, run-length codes).

#include "platform/Color.h"

#include <cstdint>
#include <string>
#include <vector>

namespace kv::test {

struct TBMPFixture {
    uint32_t HeaderBytes = 40; // 12, 40, 52, 56, 64, 108 or 124
    int32_t Width = 0;
    int32_t Height = 0; // negative: rows top-down
    uint16_t Bits = 24;
    uint32_t Compression = 0;
    uint32_t ImageBytes = 0; // 0: the size of Pixels
    uint32_t ColorsUsed = 0;
    std::vector<uint32_t> Masks = {}; // red, green, blue: after a 40-byte header, else inside it
    std::vector<TColor> Palette = {}; // written as 3-byte entries for a 12-byte header
    std::string Pixels = {};          // the pixel data exactly as the file holds it
};

// The whole file. The pixel offset points right after the colour table.
std::string BuildBMP(const TBMPFixture& fixture);

// A valid file of each kind the reader knows, named for fixtures and seeds.
struct TBMPSample {
    std::string Name;
    std::string Data;
};
std::vector<TBMPSample> BMPSamples();

} // namespace kv::test
