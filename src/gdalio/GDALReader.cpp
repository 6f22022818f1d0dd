#include "gdalio/GDALReader.h"

#include "GDALSession.h"
#include "platform/FileIO.h"
#include "platform/KVError.h"
#include "platform/Rounding.h"
#include "platform/MemoryStatus.h"
#include "platform/TextCase.h"

#include <cpl_conv.h>
#include <gdal_utils.h>
#include <ogr_srs_api.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <future>
#include <limits>
#include <numbers>
#include <string>
#include <vector>

namespace kv {

namespace {

using TGeoTransform = std::array<double, 6>;

constexpr double ArcSecondsPerDegree = 3600.0;
// Raster lines are read in chunks of about this many bytes.
constexpr size_t ChunkBytes = size_t{2} << 20;
// Columns transposed together: their cells stay in the cache while the lines pass.
constexpr int32_t TileColumns = 64;

struct TSpatialRefFree {
    void operator()(OGRSpatialReferenceH srs) const { OSRDestroySpatialReference(srs); }
};
using TSpatialRef = std::unique_ptr<std::remove_pointer_t<OGRSpatialReferenceH>, TSpatialRefFree>;

std::string FormatNumber(double value)
{
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value == 0.0 ? 0.0 : value);
    return std::string(buffer, result.ptr);
}


// HorizDatum of a CRS: 1 NAD27, 2 WGS72, 3 WGS84, 4 NAD83, 0 for any other datum.
uint8_t DatumCodeOf(OGRSpatialReferenceH srs)
{
    const char* datum = OSRGetAttrValue(srs, "DATUM", 0);
    std::string name = datum ? datum : "";
    if (name.rfind("D_", 0) == 0)
        name.erase(0, 2);
    const std::pair<const char*, uint8_t> known[] = {
        {"North_American_Datum_1927", 1},  {"North_American_1927", 1},
        {"World_Geodetic_System_1972", 2}, {"WGS_1972", 2},
        {"World_Geodetic_System_1984", 3}, {"WGS_1984", 3},
        {"North_American_Datum_1983", 4},  {"North_American_1983", 4},
    };
    for (const auto& [text, code] : known)
        if (SameTextIgnoringCase(name, text))
            return code;
    return 0;
}

std::string NameOf(OGRSpatialReferenceH srs)
{
    const char* name = OSRGetName(srs);
    return name && *name ? name : "an unnamed projection";
}

// The raster actually read: the file's own, or a warped view of it (which needs the source
// datasets alive while it is read).
struct TRaster {
    TGDALDataset Source;
    TGDALDataset BandOnly;
    TGDALDataset Warped;

    GDALDatasetH Read() const { return Warped ? Warped.get() : Source.get(); }
};

// GDAL's raster drivers except its own readers of the formats the data layer reads (USGS DEM,
// SDTS): a file those readers refuse is never read differently behind their back.
const char* const* AllowedDrivers()
{
    static const std::vector<std::string> names = [] {
        std::vector<std::string> list;
        for (int i = 0; i < GDALGetDriverCount(); ++i) {
            GDALDriverH driver = GDALGetDriver(i);
            const std::string name = GDALGetDriverShortName(driver);
            if (GDALGetMetadataItem(driver, GDAL_DCAP_RASTER, nullptr) && name != "USGSDEM" && name != "SDTS")
                list.push_back(name);
        }
        return list;
    }();
    static const std::vector<const char*> pointers = [] {
        std::vector<const char*> list;
        for (const std::string& name : names)
            list.push_back(name.c_str());
        list.push_back(nullptr);
        return list;
    }();
    return pointers.data();
}

TGDALDataset OpenRaster(const std::filesystem::path& fileName)
{
    TGDALErrorScope errors;
    GDALDatasetH dataset =
        GDALOpenEx(fileName.c_str(), GDAL_OF_RASTER | GDAL_OF_READONLY, AllowedDrivers(), nullptr, nullptr);
    if (!dataset) {
        std::error_code ec;
        if (!std::filesystem::exists(fileName, ec))
            throw EGDALOpenError(CannotOpenMessage(fileName));
        throw EGDALOpenError("Cannot read " + fileName.string() + " as a raster: " +
                             (errors.LastError().empty() ? "GDAL recognises no raster format in it"
                                                         : "GDAL says \"" + errors.LastError() + "\""));
    }
    return TGDALDataset(dataset);
}

// Refuses a geotransform the grid cannot hold.
void CheckGeoTransform(const TGeoTransform& gt, const std::string& name)
{
    for (double value : gt)
        if (!std::isfinite(value))
            throw EKorvelaError(name + " has a geotransform that is not a number (" + FormatNumber(value) +
                                "), so its cells cannot be placed");
    if (gt[2] != 0.0 || gt[4] != 0.0)
        throw EKorvelaError(name + " is rotated against east and north (a geotransform with rotation terms " +
                            FormatNumber(gt[2]) + " and " + FormatNumber(gt[4]) +
                            "), which the grid cannot hold; rotate it north-up first (gdalwarp)");
    if (gt[1] == 0.0 || gt[5] == 0.0)
        throw EKorvelaError(name + " has a pixel size of 0 (" + FormatNumber(gt[1]) + " by " + FormatNumber(gt[5]) +
                            "), so its cells cannot be placed");
}

// Warps band 1 of `raster.Source` (bilinear, lazily: nothing is computed before it is read) to the
// UTM zone of its centre, keeping the source's datum. Returns the signed zone.
int32_t WarpToUTM(TRaster& raster, OGRSpatialReferenceH srs, const TGeoTransform& gt, const std::string& name)
{
    TGDALErrorScope errors;
    GDALDatasetH source = raster.Source.get();
    const double cols = GDALGetRasterXSize(source);
    const double rows = GDALGetRasterYSize(source);
    double x = gt[0] + gt[1] * cols / 2.0;
    double y = gt[3] + gt[5] * rows / 2.0;

    TSpatialRef from(OSRClone(srs));
    TSpatialRef geographic(OSRCloneGeogCS(srs));
    if (!from || !geographic)
        throw EKorvelaError("Cannot place " + name + ": its coordinate system has no datum" + errors.Detail());
    OSRSetAxisMappingStrategy(from.get(), OAMS_TRADITIONAL_GIS_ORDER);
    OSRSetAxisMappingStrategy(geographic.get(), OAMS_TRADITIONAL_GIS_ORDER);
    OGRCoordinateTransformationH toGeographic = OCTNewCoordinateTransformation(from.get(), geographic.get());
    const bool placed =
        toGeographic && OCTTransform(toGeographic, 1, &x, &y, nullptr) && std::isfinite(x) && std::isfinite(y);
    if (toGeographic)
        OCTDestroyCoordinateTransformation(toGeographic);
    if (!placed)
        throw EKorvelaError("Cannot place " + name + ": the centre of the raster has no latitude and longitude in " +
                            NameOf(srs) + errors.Detail());
    const int32_t zone = std::clamp(static_cast<int32_t>(std::floor((x + 180.0) / 6.0)) + 1, 1, 60);
    const bool north = y >= 0.0;

    TSpatialRef utm(OSRNewSpatialReference(nullptr));
    char* wkt = nullptr;
    if (OSRCopyGeogCSFrom(utm.get(), srs) != OGRERR_NONE || OSRSetUTM(utm.get(), zone, north) != OGRERR_NONE ||
        OSRExportToWkt(utm.get(), &wkt) != OGRERR_NONE)
        throw EKorvelaError("Cannot build UTM zone " + std::to_string(zone) + " for " + name + errors.Detail());
    const std::string target = wkt;
    CPLFree(wkt);

    std::vector<const char*> translateArgs{"-of", "VRT", "-b", "1", nullptr};
    GDALTranslateOptions* translate = GDALTranslateOptionsNew(const_cast<char**>(translateArgs.data()), nullptr);
    raster.BandOnly.reset(GDALTranslate("", source, translate, nullptr));
    GDALTranslateOptionsFree(translate);
    if (!raster.BandOnly)
        throw EKorvelaError("Cannot warp " + name + " to UTM" + errors.Detail());

    std::vector<const char*> warpArgs{"-of", "VRT",     "-t_srs",     target.c_str(), "-r",   "bilinear",
                                      "-ot", "Float64", "-dstnodata", "nan",          nullptr};
    GDALWarpAppOptions* warp = GDALWarpAppOptionsNew(const_cast<char**>(warpArgs.data()), nullptr);
    GDALDatasetH input = raster.BandOnly.get();
    int usageError = 0;
    raster.Warped.reset(GDALWarp("", nullptr, 1, &input, warp, &usageError));
    GDALWarpAppOptionsFree(warp);
    if (!raster.Warped)
        throw EKorvelaError("Cannot warp " + name + " to UTM zone " + std::to_string(zone) + errors.Detail());
    return north ? zone : -zone;
}

// How a raw band value becomes a cell.
struct TCellRule {
    bool HasNoData = false;
    double NoData = 0.0;
    double Scale = 1.0;
    double Offset = 0.0;
};

// Valid cells' range, kept while the cells are written.
struct TRange {
    int32_t Min = std::numeric_limits<int32_t>::max();
    int32_t Max = std::numeric_limits<int32_t>::min();
    bool Any() const { return Min <= Max; }
};

// Where raster pixel (x, line) lands in the grid.
struct TOrientation {
    bool NorthUp = true;  // raster line 0 is the northernmost
    bool Eastward = true; // raster column 0 is the westernmost
};

// Writes `lines` raster lines starting at raster line `firstLine` from a row-major buffer into
// the grid, mapping each raw value with `map` (which returns VoidValue for a void cell). The
// lines are taken a tile of TileColumns columns at a time: first the tile's part of each line is
// mapped into `tile` (contiguous, so the mapping and the range vectorise), then each of its
// columns is written to the grid as one run; both stay within the first-level cache.
template <typename TRaw, typename TMap>
void StoreLines(const TRaw* buffer, int32_t firstLine, int32_t lines, TOrientation orientation, TDEMArray& dem,
                TRange& range, std::vector<int32_t>& tile, TMap map)
{
    const int32_t cols = dem.Cols();
    const int32_t rows = dem.Rows();
    const size_t stride = static_cast<size_t>(cols);
    tile.resize(static_cast<size_t>(lines) * TileColumns);
    int32_t low = range.Min;
    int32_t high = range.Max;
    for (int32_t x0 = 0; x0 < cols; x0 += TileColumns) {
        const int32_t width = std::min(cols - x0, TileColumns);
        for (int32_t i = 0; i < lines; ++i) {
            const TRaw* raw = buffer + static_cast<size_t>(i) * stride + static_cast<size_t>(x0);
            int32_t* mapped = tile.data() + static_cast<size_t>(i) * TileColumns;
            for (int32_t k = 0; k < width; ++k) {
                const int32_t cell = map(raw[k]);
                mapped[k] = cell;
                const bool valid = cell != VoidValue;
                low = std::min(low, valid ? cell : low);
                high = std::max(high, valid ? cell : high);
            }
        }
        for (int32_t k = 0; k < width; ++k) {
            const int32_t x = x0 + k;
            int32_t* cells = dem.Column(orientation.Eastward ? x : cols - 1 - x);
            const int32_t* mapped = tile.data() + k;
            if (orientation.NorthUp) {
                int32_t* run = cells + (rows - firstLine - 1); // raster lines run north to south
                for (int32_t i = 0; i < lines; ++i)
                    run[-i] = mapped[static_cast<size_t>(i) * TileColumns];
            } else {
                int32_t* run = cells + firstLine;
                for (int32_t i = 0; i < lines; ++i)
                    run[i] = mapped[static_cast<size_t>(i) * TileColumns];
            }
        }
    }
    range.Min = low;
    range.Max = high;
}

// The buffer type raster lines are read in: the band's own for whole numbers that fit a cell
// unchanged (no conversion pass), else 64-bit floats.
template <typename TRaw> GDALDataType BufferTypeOf();
template <> GDALDataType BufferTypeOf<uint8_t>()
{
    return GDT_Byte;
}
template <> GDALDataType BufferTypeOf<int16_t>()
{
    return GDT_Int16;
}
template <> GDALDataType BufferTypeOf<uint16_t>()
{
    return GDT_UInt16;
}
template <> GDALDataType BufferTypeOf<int32_t>()
{
    return GDT_Int32;
}
template <> GDALDataType BufferTypeOf<double>()
{
    return GDT_Float64;
}

// Reads band 1 of `dataset` into the grid (already sized) chunk by chunk, as TRaw.
template <typename TRaw, typename TMap>
TRange ReadLines(GDALRasterBandH band, TOrientation orientation, TDEMArray& dem, const std::string& name,
                 const TProgressProc& progress, TMap map)
{
    TGDALErrorScope errors;
    const int32_t cols = dem.Cols();
    const int32_t rows = dem.Rows();
    int blockX = 0, blockY = 0;
    GDALGetBlockSize(band, &blockX, &blockY);
    const size_t lineBytes = static_cast<size_t>(cols) * sizeof(TRaw);
    int64_t chunk = static_cast<int64_t>(std::max<size_t>(1, ChunkBytes / lineBytes));
    if (blockY > 0 && static_cast<uint64_t>(blockY) * lineBytes <= 4 * ChunkBytes)
        chunk = std::max<int64_t>(blockY, chunk - chunk % blockY); // whole blocks: each is decoded once
    const int32_t chunkLines = static_cast<int32_t>(std::min<int64_t>(chunk, rows));
    const uint64_t bufferBytes = static_cast<uint64_t>(lineBytes) * static_cast<uint64_t>(chunkLines);
    if (2 * bufferBytes > AvailableMemoryBytes())
        throw EKorvelaError(name + " has lines of " + std::to_string(cols) +
                            " cells, more than the available memory can buffer");

    // Two buffers: while one chunk is written into the grid on a second thread, GDAL reads the
    // next into the other, so the mapping hides behind the reading. GDAL is only called from
    // this thread; the stores run one after the other, so the range needs no lock.
    std::array<std::vector<TRaw>, 2> buffers;
    for (std::vector<TRaw>& buffer : buffers)
        buffer.resize(static_cast<size_t>(cols) * static_cast<size_t>(chunkLines));
    TRange range;
    std::vector<int32_t> tile;
    std::future<void> storing; // declared after what it uses: its destruction waits for the store
    size_t current = 0;
    for (int32_t line = 0; line < rows; line += chunkLines) {
        const int32_t lines = std::min(chunkLines, rows - line);
        TRaw* buffer = buffers[current].data();
        if (GDALRasterIO(band, GF_Read, 0, line, cols, lines, buffer, cols, lines, BufferTypeOf<TRaw>(), 0, 0) !=
            CE_None)
            throw EKorvelaError("Cannot read the cells of " + name + " from line " + std::to_string(line) +
                                errors.Detail());
        if (storing.valid())
            storing.get();
        storing = std::async(std::launch::async, [=, &dem, &range, &tile] {
            StoreLines(buffer, line, lines, orientation, dem, range, tile, map);
        });
        current ^= 1;
        if (progress)
            progress(static_cast<int>(int64_t{line + lines} * 100 / rows));
    }
    if (storing.valid())
        storing.get();
    return range;
}

// Reads band 1 of `dataset` into the grid (already sized).
TRange ReadCells(GDALDatasetH dataset, const TCellRule& rule, TOrientation orientation, TDEMArray& dem,
                 const std::string& name, const TProgressProc& progress)
{
    GDALRasterBandH band = GDALGetRasterBand(dataset, 1);
    const GDALDataType type = GDALGetRasterDataType(band);
    const bool plain = rule.Scale == 1.0 && rule.Offset == 0.0;

    // A nodata value that no cell of the type can take never matches.
    int32_t wholeNoData = VoidValue;
    if (rule.HasNoData && rule.NoData == std::trunc(rule.NoData) && rule.NoData >= -2147483648.0 &&
        rule.NoData <= 2147483647.0)
        wholeNoData = static_cast<int32_t>(rule.NoData);
    const auto wholeCell = [wholeNoData](auto raw) {
        const int32_t value = raw;
        return value == wholeNoData ? VoidValue : value;
    };
    if (plain && type == GDT_Byte)
        return ReadLines<uint8_t>(band, orientation, dem, name, progress, wholeCell);
    if (plain && type == GDT_Int16)
        return ReadLines<int16_t>(band, orientation, dem, name, progress, wholeCell);
    if (plain && type == GDT_UInt16)
        return ReadLines<uint16_t>(band, orientation, dem, name, progress, wholeCell);
    if (plain && type == GDT_Int32)
        return ReadLines<int32_t>(band, orientation, dem, name, progress, wholeCell);

    double noData = rule.NoData;
    if (type == GDT_Float32)
        noData = static_cast<double>(static_cast<float>(noData)); // compared as the band stores it
    const auto realCell = [&rule, noData](double raw) {
        if (std::isnan(raw) || (rule.HasNoData && raw == noData))
            return VoidValue;
        const double value = RoundHalfEven(raw * rule.Scale + rule.Offset);
        if (!(value > -2147483648.0 && value <= 2147483647.0))
            return VoidValue;
        return static_cast<int32_t>(value);
    };
    return ReadLines<double>(band, orientation, dem, name, progress, realCell);
}

void AddDefect(TDEMInfo& info, const std::string& line)
{
    info.ErrorText += line + "\r\n";
    ++info.ErrorCount;
}

} // namespace

TUnitCode ElevationUnitOf(const std::string& bandUnit)
{
    for (const char* feet : {"ft", "foot", "feet", "US survey foot"})
        if (SameTextIgnoringCase(bandUnit, feet))
            return ucFeet;
    return ucMeters;
}

void LoadGDALFile(const std::filesystem::path& fileName, TDEMArray& dem, const TProgressProc& progress)
{
    EnsureGDALDrivers();
    const std::string name = fileName.string();
    TRaster raster;
    raster.Source = OpenRaster(fileName);
    GDALDatasetH source = raster.Source.get();
    if (GDALGetRasterCount(source) < 1)
        throw EKorvelaError(name + " holds no raster band");
    GDALRasterBandH sourceBand = GDALGetRasterBand(source, 1);

    TDEMInfo info;
    info.MapName = fileName.stem().string().substr(0, 144);
    info.PatternCode = 1;
    info.PolySides = 4;
    info.SourceFormat = dfGDAL;
    info.DataID = GDALGetDriverShortName(GDALGetDatasetDriver(source));
    info.CreationDate = "?";

    // The geotransform, or for a raster without one, 1-metre cells with the south-west corner at 0, 0.
    TGeoTransform gt{};
    const bool hasGeoTransform = GDALGetGeoTransform(source, gt.data()) == CE_None;
    if (!hasGeoTransform)
        gt = {0.0, 1.0, 0.0, static_cast<double>(GDALGetRasterYSize(source)), 0.0, -1.0};
    CheckGeoTransform(gt, name);

    OGRSpatialReferenceH srs = GDALGetSpatialRef(source); // null without a CRS
    double groundPerUnit = 1.0; // ground units (arc-seconds or metres) per unit of the geotransform
    if (!hasGeoTransform || !srs) {
        info.GroundRef = 1;
        info.Zone = 0;
        info.GroundUnits = ucMeters;
        AddDefect(info, hasGeoTransform ? "Position Unknown: no coordinate reference system; cells taken as metres"
                                        : "Position Unknown: no georeferencing; cells taken as 1 metre squares");
    } else if (OSRIsGeographic(srs)) {
        info.GroundRef = 0;
        info.GroundUnits = ucArcSeconds;
        info.HorizDatum = DatumCodeOf(srs);
        groundPerUnit = OSRGetAngularUnits(srs, nullptr) * 180.0 / std::numbers::pi * ArcSecondsPerDegree;
    } else {
        int north = 1;
        const int zone = OSRIsProjected(srs) ? OSRGetUTMZone(srs, &north) : 0;
        info.GroundRef = 1;
        info.GroundUnits = ucMeters;
        info.HorizDatum = DatumCodeOf(srs);
        if (zone != 0 && OSRGetLinearUnits(srs, nullptr) == 1.0) {
            info.Zone = north ? zone : -zone;
        } else if (OSRIsProjected(srs)) {
            info.Zone = WarpToUTM(raster, srs, gt, name);
            if (GDALGetGeoTransform(raster.Warped.get(), gt.data()) != CE_None)
                throw EKorvelaError("Cannot warp " + name + " to UTM: the result has no geotransform");
            CheckGeoTransform(gt, name);
            AddDefect(info, "Warped: from " + NameOf(srs) + " to UTM zone " + std::to_string(std::abs(info.Zone)) +
                                (info.Zone > 0 ? " north" : " south") + " (bilinear)");
        } else {
            info.Zone = 0;
            AddDefect(info, "Position Unknown: " + NameOf(srs) + " is no map projection; cells taken as metres");
        }
    }
    info.IsUTM = info.GroundRef == 1;

    GDALDatasetH read = raster.Read();
    const int64_t cols = GDALGetRasterXSize(read);
    const int64_t rows = GDALGetRasterYSize(read);
    if (cols <= 0 || rows <= 0)
        throw EKorvelaError(name + " has no cells: " + std::to_string(cols) + " columns by " + std::to_string(rows) +
                            " rows");
    CheckGridSize(cols, rows, name);
    info.ProfileRows = static_cast<int32_t>(rows);
    info.ProfileCols = static_cast<int32_t>(cols);

    // Corners: the outer edges of the cells, in ground units.
    const double west = std::min(gt[0], gt[0] + gt[1] * static_cast<double>(cols)) * groundPerUnit;
    const double east = std::max(gt[0], gt[0] + gt[1] * static_cast<double>(cols)) * groundPerUnit;
    const double north = std::max(gt[3], gt[3] + gt[5] * static_cast<double>(rows)) * groundPerUnit;
    const double south = std::min(gt[3], gt[3] + gt[5] * static_cast<double>(rows)) * groundPerUnit;
    info.Corners[cnSW] = {west, south};
    info.Corners[cnNW] = {west, north};
    info.Corners[cnNE] = {east, north};
    info.Corners[cnSE] = {east, south};
    info.Resolution = {std::fabs(gt[1]) * groundPerUnit, std::fabs(gt[5]) * groundPerUnit, 1.0};
    info.OriginEast = gt[0] * groundPerUnit;
    info.OriginNorth = gt[3] * groundPerUnit;

    const char* unit = GDALGetRasterUnitType(sourceBand);
    info.ElevUnits = ElevationUnitOf(unit ? unit : "");

    TCellRule rule;
    int hasScale = 0, hasOffset = 0;
    const double scale = GDALGetRasterScale(sourceBand, &hasScale);
    const double offset = GDALGetRasterOffset(sourceBand, &hasOffset);
    rule.Scale = hasScale && std::isfinite(scale) ? scale : 1.0;
    rule.Offset = hasOffset && std::isfinite(offset) ? offset : 0.0;
    int hasNoData = 0;
    rule.NoData = GDALGetRasterNoDataValue(GDALGetRasterBand(read, 1), &hasNoData);
    rule.HasNoData = hasNoData != 0;

    TOrientation orientation;
    orientation.NorthUp = gt[5] < 0.0;
    orientation.Eastward = gt[1] > 0.0;

    dem.SetSize(static_cast<int32_t>(cols), static_cast<int32_t>(rows));
    dem.Info = info;
    const TRange range = ReadCells(read, rule, orientation, dem, name, progress);
    dem.Info.DataMin = range.Any() ? range.Min : 0;
    dem.Info.DataMax = range.Any() ? range.Max : 0;
    dem.Info.MinElevation = dem.Info.DataMin;
    dem.Info.MaxElevation = dem.Info.DataMax;
}

} // namespace kv
