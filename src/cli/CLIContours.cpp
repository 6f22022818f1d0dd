#include "cli/CLICommon.h"

#include "gdalio/KVElevationFile.h"
#include "imaging/PNGWriter.h"
#include "mapview/Colorbar.h"
#include "mapview/MapCoords.h"
#include "mapview/TopoContours.h"
#include "mapview/TopoGrid.h"
#include "platform/FileIO.h"
#include "platform/KVIni.h"
#include "platform/SettingsFolder.h"
#include "platform/Units.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <memory>
#include <string>

namespace kv::cli {

const char* const ContoursHelp =
    "Usage: korvela3d-cli contours FILE OUT.png --box L,T,R,B [--interval M] [--zoom S]\n"
    "                              [--marks] [--no-color] [--feet|--meters]\n"
    "\n"
    "Copies the box L,T,R,B of FILE's map (map pixels, as the map page's selection box\n"
    "gives them to \"Edit\") into the topo editor and saves the editor's picture as OUT.png:\n"
    "contour lines on black, S pixels per cell (\"Zoom/Spacing\", 1 to 500; by default the\n"
    "spacing that fits the grid into 569 x 329 pixels), every M units of elevation (working\n"
    "units, 0.1 to 1000; by default the interval the editor chooses: a fifteenth of the\n"
    "file's elevation range, rounded up to 10 m). Lines are coloured by elevation unless\n"
    "--no-color draws them all in white; --marks marks the grid points in blue. A box\n"
    "beyond 1500 columns or rows keeps its north-west 1500 x 1500 cells. The working units\n"
    "come from the settings file (Korvela.ini) unless --feet or --meters is given.\n";

namespace {

// A number within [low, high]; `range` names the range for the message.
double ParseNumber(const std::string& name, const std::string& text, double low, double high, const char* range)
{
    double value = 0.0;
    const std::from_chars_result result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (result.ec != std::errc() || result.ptr != text.data() + text.size() || !(value >= low && value <= high))
        throw EUsageError{name + " takes a number from " + range + ", not '" + text + "'"};
    return value;
}

} // namespace

int RunContours(const TArgs& args)
{
    const TUserSettings settings = LoadSettings(SettingsFolder());
    TUnits units{settings.UseFeet};
    std::optional<TRect> box;
    std::optional<double> interval;
    std::optional<int32_t> zoom;
    bool marks = false;
    bool colored = true;
    const TSplitArgs split = SplitArgs(args, {"--box", "--interval", "--zoom"});
    for (const TOption& option : split.Options) {
        const auto value = [&]() -> const std::string& {
            if (!option.Value)
                throw EUsageError{option.Name + " needs a value"};
            return *option.Value;
        };
        if (option.Name == "--box") {
            box = ParseRectText(value());
            if (!box)
                throw EUsageError{"--box takes four whole numbers L,T,R,B, not '" + value() + "'"};
        } else if (option.Name == "--interval") {
            interval = ParseNumber(option.Name, value(), TopoIntervalMin, TopoIntervalMax, "0.1 to 1000");
        } else if (option.Name == "--zoom") {
            const double s = ParseNumber(option.Name, value(), TopoSpacingMin, TopoSpacingMax, "1 to 500");
            if (s != std::trunc(s))
                throw EUsageError{"--zoom takes a whole number of pixels per cell, not '" + value() + "'"};
            zoom = int32_t(s);
        } else if (option.Name == "--marks") {
            marks = true;
        } else if (option.Name == "--no-color") {
            colored = false;
        } else if (option.Name == "--feet") {
            units.UseFeet = true;
        } else if (option.Name == "--meters") {
            units.UseFeet = false;
        } else {
            throw EUsageError{"unknown option '" + option.Name + "'"};
        }
    }
    const std::vector<std::string>& files = split.Operands;
    if (files.size() != 2)
        throw EUsageError{"contours needs a FILE and an OUT.png"};
    if (!box)
        throw EUsageError{"contours needs the map selection as --box L,T,R,B"};

    TDEMArray dem;
    LoadElevationFile(files[0], dem, TerminalProgress("reading"));
    auto doc = std::make_unique<TTopoDocument>(); // the grid is too large for the stack
    ResetTopoEditor(*doc, dem.Info, units);
    switch (LoadSelection(*doc, dem, *box, units)) {
    case loNothingSelected:
        throw EKorvelaError("The box " + std::to_string(box->Left) + "," + std::to_string(box->Top) + "," +
                            std::to_string(box->Right) + "," + std::to_string(box->Bottom) +
                            " selects no cells of the map.");
    case loClipped:
        std::fprintf(stderr, "%s\n", SelectionClippedMessage);
        break;
    case loLoaded:
        break;
    }
    if (zoom)
        doc->TopoSpacing = *zoom;
    else
        FitSpacing(*doc, 569, 329);
    if (interval)
        doc->TopoInterval = *interval / units.UnitFactor();
    doc->MarkPoints = marks;
    doc->ColorByElevation = colored;

    TColorBar bar; // the map's bar: its contours take the colours of the map's bands
    const TBarRange range = ColorBarRange(dem.Info, units);
    bar.SetRange(range.Top, range.Bottom);
    TBitmap bitmap(1, 1, pf32bit);
    DrawTopo(*doc, bitmap, &bar, units.UnitFactor());
    WriteFileAtomically(files[1], EncodePNG(bitmap));
    return 0;
}

} // namespace kv::cli
