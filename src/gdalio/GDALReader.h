#pragma once
// Reads band 1 of any raster GDAL opens (GeoTIFF, SRTM .hgt, ESRI ASCII grids, ...) into the
// elevation grid, under the program's own rules:
//  - every raster row becomes a grid row (cells are areas: nothing is dropped at an edge), the
//    southernmost one row 0; a raster stored south-up or east-to-west is turned round;
//  - a cell holds the band's value after its scale and offset, rounded to the nearest integer
//    (halves to even); the band's nodata value, NaN and values beyond the 32-bit range are void;
//  - a geographic CRS gives GroundRef 0, corners and spacing in arc-seconds; UTM (also an
//    unnamed transverse Mercator with UTM's parameters) gives GroundRef 1 and the zone, negative
//    south of the equator; any other projected CRS is warped (bilinear) to the UTM zone of the
//    raster's centre and the defect report says so; a raster without a CRS loads as a metre grid
//    with GroundRef 1 and zone 0, and the defect report says its position is unknown;
//  - the corners are the outer edges of the raster's cells, so they span exactly Cols x x-spacing
//    and Rows x y-spacing;
//  - a rotated geotransform is refused: the grid runs along east and north.

#include "dem/DEMLib.h"
#include "platform/KVError.h"

#include <filesystem>
#include <functional>

namespace kv {

// Thrown when GDAL recognises no raster format in a file (or cannot open it at all).
class EGDALOpenError : public EKorvelaError {
public:
    using EKorvelaError::EKorvelaError;
};

// Receives the share of the work done, 0 to 100.
using TProgressProc = std::function<void(int percent)>;

// Refills `dem` from band 1 of the raster `fileName` (any path GDAL opens). The size is checked
// against the available memory before the grid is allocated; the raster is read block by block,
// reporting progress after each. Throws EGDALOpenError when GDAL cannot open the file, and
// EKorvelaError with one sentence when its header cannot be held (no band, a zero, NaN or rotated pixel size, a grid
// too large); the grid then stays valid but may be partly refilled.
void LoadGDALFile(const std::filesystem::path& fileName, TDEMArray& dem, const TProgressProc& progress = {});

// The unit of a band's elevations: feet for "ft", "foot", "feet" and "US survey foot" (any
// case), else meters.
TUnitCode ElevationUnitOf(const std::string& bandUnit);

} // namespace kv
