#include "gdalio/GeoTIFFWriter.h"

#include "GDALSession.h"
#include "dem/DEMLoader.h"
#include "dem/KVDEMInfo.h"
#include "platform/FileIO.h"
#include "platform/KVError.h"

#include <cpl_conv.h>
#include <cpl_vsi.h>
#include <ogr_srs_api.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <limits>
#include <numbers>
#include <string>
#include <string_view>
#include <vector>

namespace kv {

namespace {

constexpr int TileSize = 256;
constexpr double MetresPerFoot = 0.3048;

struct TSpatialRefFree {
    void operator()(OGRSpatialReferenceH srs) const { OSRDestroySpatialReference(srs); }
};
using TSpatialRef = std::unique_ptr<std::remove_pointer_t<OGRSpatialReferenceH>, TSpatialRefFree>;

// CRS units (degrees, metres, or the State Plane's own unit) per ground unit of the header.
double CRSUnitsPerGroundUnit(const TDEMInfo& info)
{
    if (info.GroundRef == 0)
        return info.GroundUnits == ucRadians ? 180.0 / std::numbers::pi : 1.0 / 3600.0;
    if (info.GroundRef == 1 && info.GroundUnits == ucFeet)
        return MetresPerFoot;
    return 1.0;
}

const char* WellKnownDatum(uint8_t horizDatum)
{
    switch (horizDatum) {
    case 1:
        return "NAD27";
    case 2:
        return "WGS72";
    case 4:
        return "NAD83";
    default:
        return "WGS84";
    }
}

// The EPSG code of the geographic or UTM CRS, 0 when EPSG has none for it.
int EPSGCodeOf(const TDEMInfo& info)
{
    const int zone = std::abs(info.Zone);
    const bool north = info.Zone > 0;
    if (info.GroundRef == 0)
        return info.HorizDatum == 1 ? 4267 : info.HorizDatum == 2 ? 4322 : info.HorizDatum == 4 ? 4269 : 4326;
    switch (info.HorizDatum) {
    case 1:
        return north && zone <= 22 ? 26700 + zone : 0;
    case 2:
        return (north ? 32200 : 32300) + zone;
    case 4:
        return north && zone <= 23 ? 26900 + zone : 0;
    default:
        return (north ? 32600 : 32700) + zone;
    }
}

// The CRS as WKT; empty for a UTM grid of zone 0 (position unknown).
std::string CRSOf(const TDEMInfo& info)
{
    TSpatialRef srs(OSRNewSpatialReference(nullptr));
    OGRErr result = OGRERR_NONE;
    if (info.GroundRef == 1 && info.Zone == 0)
        return {};
    if (info.GroundRef == 1 && std::abs(info.Zone) > 60)
        throw EKorvelaError("The grid names UTM zone " + std::to_string(info.Zone) + ", which does not exist");
    if (info.GroundRef == 0 || info.GroundRef == 1) {
        const int code = EPSGCodeOf(info);
        if (code != 0) {
            result = OSRImportFromEPSG(srs.get(), code);
        } else {
            result = OSRSetWellKnownGeogCS(srs.get(), WellKnownDatum(info.HorizDatum));
            if (result == OGRERR_NONE)
                result = OSRSetUTM(srs.get(), std::abs(info.Zone), info.Zone > 0);
        }
    } else if (info.GroundRef == 2) {
        const bool feet = info.GroundUnits == ucFeet;
        result = OSRSetStatePlaneWithUnits(srs.get(), info.Zone, info.HorizDatum == 4, feet ? "Foot" : "Meter",
                                           feet ? MetresPerFoot : 1.0);
        if (result != OGRERR_NONE)
            throw EKorvelaError("The grid names State Plane zone " + std::to_string(info.Zone) +
                                ", which GeoTIFF export does not know");
    } else {
        throw EKorvelaError("The grid has ground reference system " + std::to_string(info.GroundRef) +
                            ", which GeoTIFF export does not know");
    }
    char* wkt = nullptr;
    if (result != OGRERR_NONE || OSRExportToWkt(srs.get(), &wkt) != OGRERR_NONE)
        throw EKorvelaError("Cannot describe the grid's coordinate system for GeoTIFF");
    std::string text = wkt;
    CPLFree(wkt);
    return text;
}

// Valid cells' range; {0, 0} when there are none.
std::pair<int32_t, int32_t> CellRange(const TDEMArray& dem)
{
    int32_t low = std::numeric_limits<int32_t>::max();
    int32_t high = std::numeric_limits<int32_t>::min();
    for (int32_t c = 0; c < dem.Cols(); ++c) {
        const int32_t* column = dem.Column(c);
        for (int32_t r = 0; r < dem.Rows(); ++r)
            if (column[r] != VoidValue) {
                low = std::min(low, column[r]);
                high = std::max(high, column[r]);
            }
    }
    return low <= high ? std::pair{low, high} : std::pair{0, 0};
}

// Raster lines [first, first + lines) as a row-major buffer of T, void cells as `noData`.
template <typename T>
void FillLines(const TDEMArray& dem, int32_t first, int32_t lines, T noData, std::vector<T>& buffer)
{
    const int32_t cols = dem.Cols();
    const int32_t rows = dem.Rows();
    buffer.resize(static_cast<size_t>(cols) * static_cast<size_t>(lines));
    for (int32_t c0 = 0; c0 < cols; c0 += 64) {
        const int32_t c1 = std::min(cols, c0 + 64);
        for (int32_t i = 0; i < lines; ++i) {
            const int32_t row = rows - 1 - (first + i);
            T* out = buffer.data() + static_cast<size_t>(i) * static_cast<size_t>(cols);
            for (int32_t c = c0; c < c1; ++c) {
                const int32_t v = dem.Column(c)[row];
                out[c] = v == VoidValue ? noData : static_cast<T>(v);
            }
        }
    }
}

template <typename T>
void WriteCells(const TDEMArray& dem, GDALRasterBandH band, GDALDataType type, T noData, const TProgressProc& progress,
                const TGDALErrorScope& errors)
{
    std::vector<T> buffer;
    const int32_t rows = dem.Rows();
    for (int32_t line = 0; line < rows; line += TileSize) {
        const int32_t lines = std::min(TileSize, rows - line);
        FillLines(dem, line, lines, noData, buffer);
        if (GDALRasterIO(band, GF_Write, 0, line, dem.Cols(), lines, buffer.data(), dem.Cols(), lines, type, 0, 0) !=
            CE_None)
            throw EKorvelaError("Cannot write the GeoTIFF's cells" + errors.Detail());
        if (progress)
            progress(static_cast<int>(int64_t{line + lines} * 100 / rows));
    }
}

// A name in GDAL's in-memory file system no other export uses.
std::string MemoryFileName()
{
    static std::atomic<uint64_t> counter{0};
    return "/vsimem/korvela3d-export-" + std::to_string(counter++) + ".tif";
}

} // namespace

std::array<double, 6> GeoTransformOf(const TDEMArray& dem)
{
    const TDEMInfo& info = dem.Info;
    const double dx = info.Resolution[0];
    const double dy = info.Resolution[1];
    if (!(dx > 0.0) || !(dy > 0.0) || !std::isfinite(dx) || !std::isfinite(dy))
        throw EKorvelaError("The grid has no cell size (a spacing of " + FormatGeneral(dx) + " by " +
                            FormatGeneral(dy) + "), so it cannot be placed in a GeoTIFF");
    const auto& c = info.Corners;
    double west = 0.0;
    double north = 0.0;
    if (info.SourceFormat == dfUSGS) {
        // Grid points: column 0 on the western corner, row 0 on the southern one.
        west = std::min(c[cnSW].East, c[cnNW].East) - dx / 2.0;
        north = BaseNorthOf(info) + (dem.Rows() - 1) * dy + dy / 2.0;
    } else if (info.SourceFormat == dfSDTS && (info.OriginEast != 0.0 || info.OriginNorth != 0.0)) {
        // Grid points: the raster origin is the north-western one.
        west = info.OriginEast - dx / 2.0;
        north = info.OriginNorth + dy / 2.0;
    } else {
        // Cell edges.
        west = std::min(c[cnSW].East, c[cnNW].East);
        north = std::max(c[cnNW].North, c[cnNE].North);
    }
    const double f = CRSUnitsPerGroundUnit(info);
    return {west * f, dx * f, 0.0, north * f, 0.0, -dy * f};
}

void SaveGeoTIFFFile(const TDEMArray& dem, const std::filesystem::path& fileName, const TProgressProc& progress)
{
    if (dem.Cols() <= 0 || dem.Rows() <= 0)
        throw EKorvelaError("The grid has no cells to write");
    const std::array<double, 6> gt = GeoTransformOf(dem);
    const std::string crs = CRSOf(dem.Info);
    const auto [low, high] = CellRange(dem);
    const bool small = low >= -32767 && high <= 32767;
    const GDALDataType type = small ? GDT_Int16 : GDT_Int32;

    EnsureGDALDrivers();
    TGDALErrorScope errors;
    GDALDriverH driver = GDALGetDriverByName("GTiff");
    if (!driver)
        throw EKorvelaError("GDAL was built without its GeoTIFF driver");
    const std::string memoryFile = MemoryFileName();
    const char* options[] = {"TILED=YES",   "BLOCKXSIZE=256",   "BLOCKYSIZE=256", "COMPRESS=DEFLATE",
                             "PREDICTOR=2", "BIGTIFF=IF_SAFER", nullptr};
    struct TMemoryFileRemover {
        std::string Name;
        ~TMemoryFileRemover() { VSIUnlink(Name.c_str()); }
    } remover{memoryFile};
    {
        TGDALDataset out(
            GDALCreate(driver, memoryFile.c_str(), dem.Cols(), dem.Rows(), 1, type, const_cast<char**>(options)));
        if (!out)
            throw EKorvelaError("Cannot create a GeoTIFF of " + std::to_string(dem.Cols()) + " by " +
                                std::to_string(dem.Rows()) + " cells" + errors.Detail());
        GDALSetGeoTransform(out.get(), const_cast<double*>(gt.data()));
        if (!crs.empty())
            GDALSetProjection(out.get(), crs.c_str());
        if (!dem.Info.MapName.empty())
            GDALSetMetadataItem(out.get(), "TIFFTAG_IMAGEDESCRIPTION", dem.Info.MapName.c_str(), nullptr);
        GDALRasterBandH band = GDALGetRasterBand(out.get(), 1);
        GDALSetRasterNoDataValue(band, small ? -32768.0 : static_cast<double>(VoidValue));
        GDALSetRasterUnitType(band, dem.Info.ElevUnits == ucFeet ? "ft" : "m");
        if (small)
            WriteCells<int16_t>(dem, band, type, int16_t{-32768}, progress, errors);
        else
            WriteCells<int32_t>(dem, band, type, VoidValue, progress, errors);
        GDALClose(out.release());
        if (!errors.LastError().empty())
            throw EKorvelaError("Cannot finish the GeoTIFF" + errors.Detail());
    }
    vsi_l_offset length = 0;
    const GByte* bytes = VSIGetMemFileBuffer(memoryFile.c_str(), &length, FALSE);
    if (!bytes)
        throw EKorvelaError("Cannot finish the GeoTIFF" + errors.Detail());
    WriteFileAtomically(fileName, std::string_view(reinterpret_cast<const char*>(bytes), static_cast<size_t>(length)));
}

} // namespace kv
