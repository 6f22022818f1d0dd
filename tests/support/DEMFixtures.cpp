#include "support/DEMFixtures.h"

#include <algorithm>

namespace kv::test {

TDEMArray MakeUTMGrid(int32_t cols, int32_t rows, double west, double south, double xSpacing, double ySpacing)
{
    TDEMArray dem;
    TDEMInfo& info = dem.Info;
    info.MapName = "KORVELA TEST GRID";
    info.LevelCode = 1;
    info.PatternCode = 1;
    info.GroundRef = 1;
    info.Zone = 17;
    info.GroundUnits = ucMeters;
    info.ElevUnits = ucMeters;
    info.PolySides = 4;
    info.Resolution = {xSpacing, ySpacing, 1.0};
    const double east = west + xSpacing * (cols > 0 ? cols - 1 : 0);
    const double north = south + ySpacing * rows;
    info.Corners = {{{west, south}, {west, north}, {east, north}, {east, south}}};
    info.ProfileRows = 1;
    info.ProfileCols = cols;
    dem.SetSize(cols, rows);
    return dem;
}

TDEMArray MakeSampleDEM(int32_t cols, int32_t rows)
{
    TDEMArray dem = MakeUTMGrid(cols, rows, 500000.0, 4000000.0, 30.0, 30.0);
    TDEMInfo& info = dem.Info;
    int32_t low = 0;
    int32_t high = 0;
    for (int32_t c = 0; c < cols; ++c)
        for (int32_t r = 0; r < rows; ++r) {
            const int32_t value = 200 + 3 * r + 2 * c + ((c * 7 + r * 13) % 11);
            dem.SetValue(c, r, value);
            low = (c == 0 && r == 0) ? value : std::min(low, value);
            high = (c == 0 && r == 0) ? value : std::max(high, value);
        }
    info.MinElevation = low;
    info.MaxElevation = high;
    return dem;
}

size_t ProfileOffset(int32_t rows, int32_t profile)
{
    const int32_t blocksPerProfile = rows <= 146 ? 1 : 1 + (rows - 146 + 169) / 170;
    return 1024 * (1 + static_cast<size_t>(profile) * static_cast<size_t>(blocksPerProfile));
}

size_t ElevationOffset(int32_t rows, int32_t profile, int32_t index)
{
    const size_t start = ProfileOffset(rows, profile);
    if (index < 146)
        return start + 144 + 6 * static_cast<size_t>(index);
    index -= 146;
    return start + 1024 * static_cast<size_t>(1 + index / 170) + 6 * static_cast<size_t>(index % 170);
}

std::string WithLineBreaks(std::string_view text, std::string_view lineBreak)
{
    std::string out;
    out.reserve(text.size() + (text.size() / 1024 + 1) * lineBreak.size());
    for (size_t pos = 0; pos < text.size(); pos += 1024) {
        out.append(text.substr(pos, 1024));
        out.append(lineBreak);
    }
    return out;
}

} // namespace kv::test
