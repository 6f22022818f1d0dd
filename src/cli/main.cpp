// korvela3d-cli: the data layer of Korvela3D for scripts and tests.

#include "cli/CLICommon.h"

#include <cstdio>
#include <exception>
#include <new>
#include <string>

namespace {

const char* const ToolHelp =
    "Usage: korvela3d-cli COMMAND [ARGUMENTS]\n"
    "\n"
    "Reads, merges and converts digital elevation models (USGS DEM files, SDTS transfers,\n"
    "GeoTIFF, SRTM .hgt, ESRI ASCII grids and the other rasters GDAL reads).\n"
    "\n"
    "Commands:\n"
    "  info FILE [--feet|--meters]   the DEM information and the defect report of FILE\n"
    "  grid FILE [--summary]         the elevation grid of FILE as comma-separated rows\n"
    "  merge --west-east|--south-north FILE0 FILE1 OUT [--pan P] [--force]\n"
    "                                merge two neighbouring USGS DEM files into OUT\n"
    "  export FILE OUT.tif           write the elevation grid of FILE as a GeoTIFF\n"
    "\n"
    "Files named *.ddf (any case) are read as SDTS transfers, *.dem as USGS DEM files\n"
    "(through GDAL when they are not), all others through GDAL (band 1).\n"
    "'korvela3d-cli COMMAND --help' describes one command.\n";

// One line on stderr: a message never spans lines or moves the cursor, whatever bytes a
// file put into it.
void PrintError(const std::string& message)
{
    std::string line = message;
    for (char& c : line)
        if (c == '\r' || c == '\n' || c == '\t')
            c = ' ';
        else if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            c = '?';
    std::fprintf(stderr, "korvela3d-cli: %s\n", line.c_str());
}

} // namespace

int main(int argc, char** argv)
{
    using namespace kv::cli;
    if (argc < 2) {
        std::fputs(ToolHelp, stderr);
        return 1;
    }
    const std::string command = argv[1];
    const TArgs args(argv + 2, argv + argc);
    if (command == "--help" || command == "-h" || command == "help") {
        std::fputs(ToolHelp, stdout);
        return 0;
    }
    const char* help = command == "info"    ? InfoHelp
                       : command == "grid"  ? GridHelp
                       : command == "merge"  ? MergeHelp
                       : command == "export" ? ExportHelp
                                             : nullptr;
    if (!help) {
        PrintError("unknown command '" + command + "' (see korvela3d-cli --help)");
        return 1;
    }
    if (WantsHelp(args)) {
        std::fputs(help, stdout);
        return 0;
    }
    try {
        if (command == "info")
            return RunInfo(args);
        if (command == "grid")
            return RunGrid(args);
        if (command == "export")
            return RunExport(args);
        return RunMerge(args);
    } catch (const EUsageError& error) {
        PrintError(error.what());
        std::fputs(help, stderr);
    } catch (const std::bad_alloc&) {
        PrintError("Out of memory");
    } catch (const std::exception& error) {
        PrintError(error.what());
    }
    return 1;
}
