#include "support/GDALFixtures.h"

#include "support/TestData.h"

#include <ogr_srs_api.h>

#include <charconv>
#include <cstdio>
#include <memory>
#include <stdexcept>

namespace kv::test {

namespace {

// The system's python with its GDAL bindings (not a virtual environment's).
constexpr const char* Python = "/usr/bin/python3";

const char* const PeerGridScript = R"(
import sys
import numpy as np
from osgeo import gdal
gdal.UseExceptions()
ds = gdal.Open(sys.argv[1])
band = ds.GetRasterBand(1)
raw = band.ReadAsArray().astype(np.float64)
scale = band.GetScale() or 1.0
offset = band.GetOffset() or 0.0
nodata = band.GetNoDataValue()
gt = ds.GetGeoTransform()
value = np.rint(raw * scale + offset)  # rint rounds halves to even
void = np.isnan(raw) | ~(value > -2147483648.0) | (value > 2147483647.0)
if nodata is not None:
    if band.DataType == gdal.GDT_Float32:
        void |= raw == np.float64(np.float32(nodata))
    else:
        void |= raw == nodata
cells = np.where(void, -2147483648.0, value).astype(np.int64)
if gt[5] > 0:
    cells = cells[::-1, :]
if gt[1] < 0:
    cells = cells[:, ::-1]
rows, cols = cells.shape
out = [f"{cols},{rows}"]
out.extend(",".join(map(str, line)) for line in cells.tolist())
sys.stdout.write("\n".join(out) + "\n")
)";

const char* const PeerDescriptionScript = R"(
import sys
from osgeo import gdal, osr
gdal.UseExceptions()
ds = gdal.Open(sys.argv[1])
band = ds.GetRasterBand(1)
srs = ds.GetSpatialRef()
epsg = 0
zone = 0
if srs is not None:
    code = srs.GetAuthorityCode(None)
    epsg = int(code) if code else 0
    zone = srs.GetUTMZone()
print("type=" + gdal.GetDataTypeName(band.DataType))
nodata = band.GetNoDataValue()
print("nodata=" + ("none" if nodata is None else "%.17g" % nodata))
print("gt=" + ",".join("%.17g" % v for v in ds.GetGeoTransform()))
print("epsg=%d" % epsg)
print("zone=%d" % zone)
print("unit=" + band.GetUnitType())
)";

std::string RunPython(const char* script, const std::filesystem::path& fileName)
{
    TTempDir scratch;
    const auto scriptFile = scratch / "peer.py";
    WriteFileText(scriptFile, script);
    const std::string command = std::string(Python) + " '" + scriptFile.string() + "' '" + fileName.string() + "'";
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    if (!pipe)
        throw std::runtime_error("cannot run " + command);
    std::string out;
    char buffer[65536];
    size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe.get())) > 0)
        out.append(buffer, n);
    if (pclose(pipe.release()) != 0)
        throw std::runtime_error("the GDAL peer failed on " + fileName.string() + " (is python3-gdal installed?)");
    return out;
}

} // namespace

void WriteRaster(const std::filesystem::path& fileName, const TRasterFixture& fixture)
{
    GDALAllRegister();
    GDALDriverH driver = GDALGetDriverByName(fixture.Driver.c_str());
    if (!driver)
        throw std::runtime_error("no GDAL driver " + fixture.Driver);
    std::vector<const char*> options;
    for (const std::string& option : fixture.Options)
        options.push_back(option.c_str());
    options.push_back(nullptr);
    // Drivers that only copy (AAIGrid) get a memory raster first.
    const bool canCreate = GDALGetMetadataItem(driver, GDAL_DCAP_CREATE, nullptr) != nullptr;
    GDALDriverH first = canCreate ? driver : GDALGetDriverByName("MEM");
    GDALDatasetH ds = GDALCreate(first, canCreate ? fileName.c_str() : "", fixture.Cols, fixture.Rows, 1, fixture.Type,
                                 canCreate ? const_cast<char**>(options.data()) : nullptr);
    if (!ds)
        throw std::runtime_error("cannot create " + fileName.string() + ": " + CPLGetLastErrorMsg());
    if (fixture.HasGeoTransform)
        GDALSetGeoTransform(ds, const_cast<double*>(fixture.GeoTransform.data()));
    if (!fixture.CRS.empty()) {
        OGRSpatialReferenceH srs = OSRNewSpatialReference(nullptr);
        OSRSetFromUserInput(srs, fixture.CRS.c_str());
        GDALSetSpatialRef(ds, srs);
        OSRDestroySpatialReference(srs);
    }
    GDALRasterBandH band = GDALGetRasterBand(ds, 1);
    if (fixture.HasNoData)
        GDALSetRasterNoDataValue(band, fixture.NoData);
    if (fixture.Scale != 1.0)
        GDALSetRasterScale(band, fixture.Scale);
    if (fixture.Offset != 0.0)
        GDALSetRasterOffset(band, fixture.Offset);
    if (!fixture.Unit.empty())
        GDALSetRasterUnitType(band, fixture.Unit.c_str());
    if (GDALRasterIO(band, GF_Write, 0, 0, fixture.Cols, fixture.Rows, const_cast<double*>(fixture.Values.data()), fixture.Cols,
                     fixture.Rows, GDT_Float64, 0, 0) != CE_None)
        throw std::runtime_error("cannot write the cells of " + fileName.string());
    if (!canCreate) {
        GDALDatasetH copy =
            GDALCreateCopy(driver, fileName.c_str(), ds, FALSE, const_cast<char**>(options.data()), nullptr, nullptr);
        if (!copy)
            throw std::runtime_error("cannot write " + fileName.string() + ": " + CPLGetLastErrorMsg());
        GDALClose(copy);
    }
    GDALClose(ds);
}

std::string GridText(const TDEMArray& dem)
{
    std::string text = std::to_string(dem.Cols()) + "," + std::to_string(dem.Rows()) + "\n";
    char number[16];
    for (int32_t r = dem.Rows() - 1; r >= 0; --r) {
        for (int32_t c = 0; c < dem.Cols(); ++c) {
            if (c > 0)
                text += ',';
            const auto result = std::to_chars(number, number + sizeof number, dem.GetValue(c, r));
            text.append(number, result.ptr);
        }
        text += '\n';
    }
    return text;
}

std::string PeerGridText(const std::filesystem::path& fileName)
{
    return RunPython(PeerGridScript, fileName);
}

std::string PeerDescription(const std::filesystem::path& fileName)
{
    return RunPython(PeerDescriptionScript, fileName);
}

} // namespace kv::test
