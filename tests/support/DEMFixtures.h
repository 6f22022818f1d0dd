#pragma once
// Small USGS DEM grids built in code, for tests, benchmarks and fuzz seeds.

#include "dem/DEMLib.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace kv::test {

// A UTM grid of cols x rows cells at 30 m spacing, metres, whose header describes the grid
// exactly (FormatDEMText writes it, LoadDEMStream reads it back unchanged). Cells follow a
// smooth slope with some variation; no voids.
TDEMArray MakeSampleDEM(int32_t cols, int32_t rows);

// `text` with `lineBreak` inserted after every 1024-byte block, including the last.
std::string WithLineBreaks(std::string_view text, std::string_view lineBreak);

} // namespace kv::test
