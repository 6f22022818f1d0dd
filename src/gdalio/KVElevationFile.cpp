#include "gdalio/KVElevationFile.h"

#include "dem/DEMLoader.h"
#include "dem/KVDemReader.h"
#include "platform/FileIO.h"
#include "platform/TextCase.h"

#include <fstream>
#include <string>
#include <vector>

namespace kv {

namespace {

// Record A fills the first 1024-byte block; the rest allows for line breaks inside it.
constexpr std::streamsize HeaderProbeBytes = 16384;

std::vector<char> ReadFilePrefix(const std::filesystem::path& fileName, std::streamsize bytes)
{
    std::ifstream file(fileName, std::ios::binary);
    if (!file)
        throw EKorvelaError(CannotOpenMessage(fileName));
    std::vector<char> data(static_cast<size_t>(bytes));
    file.read(data.data(), bytes);
    data.resize(static_cast<size_t>(file.gcount()));
    return data;
}

} // namespace

bool IsUSGSFileName(const std::filesystem::path& fileName)
{
    return SameTextIgnoringCase(fileName.extension().string(), ".dem");
}

void LoadElevationFile(const std::filesystem::path& fileName, TDEMArray& dem, const TProgressProc& progress)
{
    // GDAL and the header probe open files themselves: a pipe would make them wait.
    RefuseIrregularFile(fileName);
    if (IsSDTSFileName(fileName)) {
        LoadDEMByExtension(fileName, dem); // refuses modules other than the cell module
        return;
    }
    if (!IsUSGSFileName(fileName)) {
        LoadGDALFile(fileName, dem, progress);
        return;
    }
    if (HasUSGSRecordA(ReadFilePrefix(fileName, HeaderProbeBytes), nullptr)) {
        LoadDEMFile(fileName, dem);
        return;
    }
    try {
        LoadGDALFile(fileName, dem, progress);
    } catch (const EGDALOpenError&) {
        // Neither reader takes it: the USGS reader says what is wrong with its header.
        try {
            LoadDEMFile(fileName, dem);
        } catch (const EKorvelaError& error) {
            throw EKorvelaError(std::string(error.what()) + "; GDAL reads no raster in it either");
        }
        throw;
    }
}

} // namespace kv
