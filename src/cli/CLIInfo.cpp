#include "cli/CLICommon.h"

#include "dem/KVDEMInfo.h"
#include "gdalio/KVElevationFile.h"
#include "platform/KVIni.h"
#include "platform/SettingsFolder.h"
#include "platform/Units.h"

#include <algorithm>
#include <cstdio>

namespace kv::cli {

const char* const InfoHelp =
    "Usage: korvela3d-cli info FILE [--feet|--meters]\n"
    "\n"
    "Prints the DEM information of FILE (its header), an empty line, then the defect\n"
    "report of the load (one line per kind of defect; nothing for a clean file).\n"
    "Elevations are shown in the working units of the settings file (Korvela.ini)\n"
    "unless --feet or --meters is given.\n";

bool WantsHelp(const TArgs& args)
{
    return std::any_of(args.begin(), args.end(), [](const std::string& a) { return a == "--help" || a == "-h"; });
}

int RunInfo(const TArgs& args)
{
    std::string file;
    TUnits units{LoadSettings(SettingsFolder()).UseFeet};
    for (const std::string& arg : args) {
        if (arg == "--feet")
            units.UseFeet = true;
        else if (arg == "--meters")
            units.UseFeet = false;
        else if (!arg.empty() && arg[0] == '-')
            throw EUsageError{"unknown option '" + arg + "'"};
        else if (file.empty())
            file = arg;
        else
            throw EUsageError{"info takes one file"};
    }
    if (file.empty())
        throw EUsageError{"info needs a FILE"};

    TDEMArray dem;
    LoadElevationFile(file, dem, TerminalProgress("reading"));
    // The program draws the map right after opening, so the colour spacing is the one of
    // that drawing.
    const double colorSpacing = (dem.Info.DataMax - dem.Info.DataMin) / 15.0;
    for (const std::string& line : DEMInfoLines(dem.Info, colorSpacing, units))
        std::printf("%s\n", line.c_str());
    std::printf("\n");
    for (const std::string& line : DEMErrorLines(dem.Info))
        std::printf("%s\n", line.c_str());
    return 0;
}

} // namespace kv::cli
