#pragma once
// Small USGS DEM grids built in code, for tests, benchmarks and fuzz seeds.

#include "dem/DEMLib.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace kv::test {

// A UTM grid of cols x rows zero cells in metres whose header describes the grid exactly: its
// first profile at easting `west`, its southern edge at northing `south`, profiles `xSpacing`
// apart and elevations `ySpacing` apart. Callers fill the cells and set Min/MaxElevation.
TDEMArray MakeUTMGrid(int32_t cols, int32_t rows, double west, double south, double xSpacing, double ySpacing);

// A UTM grid of cols x rows cells at 30 m spacing, metres, whose header describes the grid
// exactly (FormatDEMText writes it, LoadDEMStream reads it back unchanged). Cells follow a
// smooth slope with some variation; no voids.
TDEMArray MakeSampleDEM(int32_t cols, int32_t rows);

// Where FormatDEMText puts things for a grid of `rows` rows: record A fills the first block,
// then each profile fills whole blocks, its header and 146 elevations in the first, 170 in
// every further one. Offsets of profile `profile` (from 0) and of its elevation `index` (from 0).
size_t ProfileOffset(int32_t rows, int32_t profile);
size_t ElevationOffset(int32_t rows, int32_t profile, int32_t index);

// `text` with `lineBreak` inserted after every 1024-byte block, including the last.
std::string WithLineBreaks(std::string_view text, std::string_view lineBreak);

} // namespace kv::test
