#include "cli/CLICommon.h"

#include "gdalio/KVElevationFile.h"
#include "imaging/PNGWriter.h"
#include "mapview/Colorbar.h"
#include "mapview/DEMImage.h"
#include "mapview/MapCoords.h"
#include "mapview/PlotOptions.h"
#include "platform/FileIO.h"
#include "platform/KVIni.h"
#include "platform/SettingsFolder.h"
#include "platform/Units.h"

#include <string>
#include <vector>

namespace kv::cli {

const char* const MapHelp =
    "Usage: korvela3d-cli map FILE OUT.png [--colored] [--shaded] [--contoured]\n"
    "                         [--contrast 0-6] [--light N|S|E|W|NE|NW|SE|SW] [--feet|--meters]\n"
    "\n"
    "Draws the map of FILE as the program shows it, one pixel per cell on a white picture\n"
    "of (columns + 4) x (rows + 4) pixels, and saves it as OUT.png (8-bit RGB).\n"
    "The modes named are drawn and the others not; with none named, the plot options\n"
    "of the settings file (Korvela.ini) apply. The contrast is the settings file's\n"
    "(3 unless it says otherwise) unless --contrast is given; the light comes from the\n"
    "north-west unless --light is given. Colours follow the elevations in the working\n"
    "units of the settings file unless --feet or --meters is given.\n";

namespace {

uint8_t ParseLight(const std::string& text)
{
    for (uint8_t code = 0; code < 8; ++code)
        if (text == LightDirectionName(code))
            return code;
    throw EUsageError{"--light takes N, S, E, W, NE, NW, SE or SW, not '" + text + "'"};
}

int32_t ParseContrast(const std::string& text)
{
    if (text.size() == 1 && text[0] >= '0' && text[0] <= '6')
        return text[0] - '0';
    throw EUsageError{"--contrast takes a whole number from 0 to 6, not '" + text + "'"};
}

} // namespace

int RunMap(const TArgs& args)
{
    const TUserSettings settings = LoadSettings(SettingsFolder());
    TUnits units{settings.UseFeet};
    TPlotOptions options = PlotOptionsFromSettings(settings);
    TPlotModes named;
    const TSplitArgs split = SplitArgs(args, {"--contrast", "--light"});
    for (const TOption& option : split.Options) {
        const auto value = [&]() -> const std::string& {
            if (!option.Value)
                throw EUsageError{option.Name + " needs a value"};
            return *option.Value;
        };
        if (option.Name == "--colored")
            named.Colored = true;
        else if (option.Name == "--shaded")
            named.Shaded = true;
        else if (option.Name == "--contoured")
            named.Contoured = true;
        else if (option.Name == "--contrast")
            options.Contrast = ParseContrast(value());
        else if (option.Name == "--light")
            options.LightDirection = ParseLight(value());
        else if (option.Name == "--feet")
            units.UseFeet = true;
        else if (option.Name == "--meters")
            units.UseFeet = false;
        else
            throw EUsageError{"unknown option '" + option.Name + "'"};
    }
    const std::vector<std::string>& files = split.Operands;
    if (files.size() != 2)
        throw EUsageError{"map needs a FILE and an OUT.png"};
    if (named.Colored || named.Shaded || named.Contoured) {
        options.Colored = named.Colored;
        options.Shaded = named.Shaded;
        options.Contoured = named.Contoured;
    }

    TDEMArray dem;
    LoadElevationFile(files[0], dem, TerminalProgress("reading"));
    TColorBar bar; // the map's bar: dc20, 19 even bands over the grid's range
    const TBarRange range = ColorBarRange(dem.Info, units);
    bar.SetRange(range.Top, range.Bottom);
    TDEMImageState state;
    TBitmap bitmap;
    DrawElevationImage(bitmap, dem, options, bar, units, state);
    WriteFileAtomically(files[1], EncodePNG(bitmap));
    return 0;
}

} // namespace kv::cli
