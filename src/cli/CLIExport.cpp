#include "cli/CLICommon.h"

#include "gdalio/GeoTIFFWriter.h"
#include "gdalio/KVElevationFile.h"

#include <cstdio>
#include <string>
#include <unistd.h>

namespace kv::cli {

const char* const ExportHelp = "Usage: korvela3d-cli export FILE OUT.tif\n"
                               "\n"
                               "Reads FILE like every other command (a USGS DEM, an SDTS transfer, or any raster\n"
                               "GDAL reads) and writes its elevation grid to OUT.tif as a tiled, compressed GeoTIFF:\n"
                               "16-bit cells when every elevation fits, else 32-bit, voids as nodata, with the\n"
                               "coordinate system and position of the grid. An existing OUT.tif is replaced only\n"
                               "when the new file is complete.\n";

TProgressProc TerminalProgress(const std::string& what)
{
    if (!isatty(STDERR_FILENO))
        return {};
    return [what, shown = -1](int percent) mutable {
        if (percent == shown)
            return;
        shown = percent;
        if (percent >= 100)
            std::fprintf(stderr, "\r\033[K");
        else
            std::fprintf(stderr, "\r%s %d%%", what.c_str(), percent);
        std::fflush(stderr);
    };
}

int RunExport(const TArgs& args)
{
    std::vector<std::string> files;
    for (const std::string& arg : args) {
        if (!arg.empty() && arg[0] == '-')
            throw EUsageError{"unknown option '" + arg + "'"};
        files.push_back(arg);
    }
    if (files.size() != 2)
        throw EUsageError{"export needs a FILE and an OUT.tif"};

    TDEMArray dem;
    LoadElevationFile(files[0], dem, TerminalProgress("reading"));
    SaveGeoTIFFFile(dem, files[1], TerminalProgress("writing"));
    return 0;
}

} // namespace kv::cli
