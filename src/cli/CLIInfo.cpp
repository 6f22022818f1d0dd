#include "cli/CLICommon.h"

#include "dem/KVDEMInfo.h"
#include "gdalio/KVElevationFile.h"
#include "platform/KVIni.h"
#include "platform/SettingsFolder.h"
#include "platform/Units.h"

#include <cstdio>
#include <optional>

namespace kv::cli {

const char* const InfoHelp =
    "Usage: korvela3d-cli info FILE [--feet|--meters]\n"
    "\n"
    "Prints the DEM information of FILE (its header), an empty line, then the defect\n"
    "report of the load (one line per kind of defect; nothing for a clean file).\n"
    "Elevations are shown in the working units of the settings file (Korvela.ini)\n"
    "unless --feet or --meters is given. Control characters in the file's texts are\n"
    "shown escaped (\\x1b). A FILE starting with '-' goes after '--'.\n";

int RunInfo(const TArgs& args)
{
    const TSplitArgs split = SplitArgs(args);
    std::optional<bool> useFeet;
    for (const TOption& option : split.Options) {
        if (option.Name == "--feet" || option.Name == "--meters")
            useFeet = option.Name == "--feet";
        else
            throw EUsageError{"unknown option '" + option.Name + "'"};
    }
    if (split.Operands.empty())
        throw EUsageError{"info needs a FILE"};
    if (split.Operands.size() > 1)
        throw EUsageError{"info takes one file"};
    const std::string& file = split.Operands.front();
    const TUnits units{useFeet ? *useFeet : LoadSettings(SettingsFolder()).UseFeet};

    TDEMArray dem;
    LoadElevationFile(file, dem, TerminalProgress("reading"));
    // The program draws the map right after opening, so the colour spacing is the one of
    // that drawing.
    const double colorSpacing = (dem.Info.DataMax - dem.Info.DataMin) / 15.0;
    // The header's texts come from the file: never hand their control bytes to the terminal.
    for (const std::string& line : DEMInfoLines(dem.Info, colorSpacing, units))
        std::printf("%s\n", TerminalSafe(line).c_str());
    std::printf("\n");
    for (const std::string& line : DEMErrorLines(dem.Info))
        std::printf("%s\n", TerminalSafe(line).c_str());
    return 0;
}

} // namespace kv::cli
