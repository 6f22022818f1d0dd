// korvela3d-cli: the data layer of Korvela3D for scripts and tests.

#include "cli/CLICommon.h"

#include <cerrno>
#include <cstdio>
#include <exception>
#include <new>
#include <string>

namespace {

const char* const ToolHelp = "Usage: korvela3d-cli COMMAND [ARGUMENTS]\n"
                             "\n"
                             "Reads, merges and converts digital elevation models (USGS DEM files, SDTS transfers,\n"
                             "GeoTIFF, SRTM .hgt, ESRI ASCII grids and the other rasters GDAL reads).\n"
                             "\n"
                             "Commands:\n"
                             "  info FILE [--feet|--meters]   the DEM information and the defect report of FILE\n"
                             "  grid FILE [--summary]         the elevation grid of FILE as comma-separated rows\n"
                             "  merge --west-east|--south-north FILE0 FILE1 OUT [--pan P] [--force]\n"
                             "                                merge two neighbouring USGS DEM files into OUT\n"
                             "  map FILE OUT.png [--colored] [--shaded] [--contoured] [--contrast 0-6]\n"
                             "      [--light N|S|E|W|NE|NW|SE|SW] [--feet|--meters]\n"
                             "                                draw the map of FILE into a PNG picture\n"
                             "  export FILE OUT.tif           write the elevation grid of FILE as a GeoTIFF\n"
                             "  contours FILE OUT.png --box L,T,R,B [--interval M] [--zoom S] [--marks]\n"
                             "      [--no-color] [--feet|--meters]\n"
                             "                                the topo editor's contour picture of a part of FILE\n"
                             "  convert FILE --box L,T,R,B OUT.stl [--exaggeration E] [--budget K]\n"
                             "      [--base PERCENT|--no-base] [--print-size MM] [--base-mm T] [--feet|--meters]\n"
                             "      [--render PNG]            a 3D terrain of part of FILE as a printable solid\n"
                             "  spin FILE OUT.avi|OUT.mp4 --box L,T,R,B [--frames N] [--fps F] [--size WxH]\n"
                             "      [--quality Q]             a movie of one turn of the converted terrain\n"
                             "  picture IN OUT.png            decode the picture IN and save it as PNG\n"
                             "  scene-info FILE               the objects of a scene file (.txml) or DirectX file (.x)\n"
                             "\n"
                             "Files named *.ddf (any case) are read as SDTS transfers (open the transfer's\n"
                             "????CEL?.DDF module), *.dem as USGS DEM files (through GDAL when they are not),\n"
                             "all others through GDAL (band 1). Only regular files are read.\n"
                             "Errors are one line on stderr and exit with 1; a refused merge exits with 2. Control\n"
                             "characters from files are shown escaped (\\x1b).\n"
                             "'korvela3d-cli COMMAND --help' describes one command.\n";

// One line on stderr: a message never spans lines or moves the cursor, whatever bytes a
// file put into it (they are shown escaped).
void PrintError(const std::string& message)
{
    std::fprintf(stderr, "korvela3d-cli: %s\n", kv::cli::TerminalSafe(message).c_str());
}

// Exit code 0 when everything printed reached stdout; otherwise says why (a full disk, a
// closed output) and gives 1.
int FinishOutput()
{
    int error = std::fflush(stdout) != 0 ? errno : 0;
    if (error == 0 && std::ferror(stdout))
        error = EIO;
    if (error == 0)
        return 0;
    PrintError(kv::cli::OutputErrorMessage(error));
    return 1;
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
    const char* help = command == "info"      ? InfoHelp
                       : command == "grid"    ? GridHelp
                       : command == "merge"   ? MergeHelp
                       : command == "map"     ? MapHelp
                       : command == "export"  ? ExportHelp
                       : command == "contours" ? ContoursHelp
                       : command == "convert" ? ConvertHelp
                       : command == "spin" ? SpinHelp
                       : command == "picture" ? PictureHelp
                       : command == "scene-info" ? SceneInfoHelp
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
        const int result = command == "info"      ? RunInfo(args)
                           : command == "grid"    ? RunGrid(args)
                           : command == "map"     ? RunMap(args)
                           : command == "export"  ? RunExport(args)
                           : command == "contours" ? RunContours(args)
                           : command == "convert" ? RunConvert(args)
                           : command == "spin" ? RunSpin(args)
                           : command == "picture" ? RunPicture(args)
                           : command == "scene-info" ? RunSceneInfo(args)
                                                  : RunMerge(args);
        const int output = FinishOutput();
        return result != 0 ? result : output;
    } catch (const ERefusedError& error) {
        PrintError(error.what());
        return 2;
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
