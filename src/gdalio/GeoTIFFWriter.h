#pragma once
// Writes the elevation grid as a GeoTIFF that today's GIS tools read: tiled, Deflate-compressed,
// Int16 when every valid cell fits (nodata -32768), else Int32 (nodata -2147483648, the void
// value), the cells exactly as the grid holds them, north row first.
//
// Georeferencing from the header: GroundRef 0 is geographic (corners in arc-seconds or radians),
// 1 is UTM in Zone (negative south of the equator; zone 0 writes no CRS), 2 is State Plane;
// HorizDatum names the datum (NAD27, WGS72, WGS84, NAD83; an unknown datum is written as WGS 84).
// The geotransform comes from the corners and the spacing. Grids read through GDAL hold the outer
// edges of their cells in the corners; USGS DEM and SDTS grids hold elevations at grid points,
// which become the centres of the written cells: column 0 on the western corner (USGS) or the
// raster origin (SDTS), row 0 on the southern corner.

#include "dem/DEMLib.h"
#include "gdalio/GDALReader.h"

#include <array>
#include <filesystem>

namespace kv {

// The GDAL geotransform (west edge, x size, 0, north edge, 0, -y size) of the grid in the units of
// the CRS it is written with (degrees or metres). Throws EKorvelaError when the header gives no
// cell size.
std::array<double, 6> GeoTransformOf(const TDEMArray& dem);

// Writes `dem` to `fileName` as a GeoTIFF through a temporary file, so a failure never destroys
// an existing file. Throws EKorvelaError with one sentence on failure (an empty grid, a header
// without cell size or with a reference system GeoTIFF cannot name, a file that cannot be written).
void SaveGeoTIFFFile(const TDEMArray& dem, const std::filesystem::path& fileName, const TProgressProc& progress = {});

} // namespace kv
