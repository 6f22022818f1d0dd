#include "cli/CLICommon.h"

#include "gdalio/KVElevationFile.h"
#include "mapview/TopoGrid.h"
#include "platform/KVIni.h"
#include "platform/SettingsFolder.h"
#include "platform/Units.h"
#include "terrain/KVMesh.h"
#include "terrain/STLWriter.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>

namespace kv::cli {

const char* const ConvertHelp =
    "Usage: korvela3d-cli convert FILE --box L,T,R,B OUT [--exaggeration E] [--budget K]\n"
    "       [--base PERCENT|--no-base] [--print-size MM] [--base-mm T] [--feet|--meters]\n"
    "       [--render PNG]\n"
    "\n"
    "Converts the part of FILE's map under the box (map pixels: left, top, right, bottom,\n"
    "as the map is drawn, north up) into a 3D terrain with its solid base, as the window's\n"
    "\"Edit\" and \"Convert 3D\" do with the conversion dialog's defaults: exaggeration 2,\n"
    "a budget of 100 K triangles (K = 1024, 1 to 1000), a base 5 % of the elevation range.\n"
    "\n"
    "OUT by its extension:\n"
    "  .stl   a binary STL solid ready to print: closed, Z up, the floor at z = 0, the\n"
    "         south-west corner at the origin, in metres of real size, or with\n"
    "         --print-size MM in millimetres, scaled so the longer side is MM long.\n"
    "         --base-mm T makes the base T mm thick under the lowest point.\n"
    "  .x, .txml  not available yet.\n"
    "--render PNG also draws the converted scene (fitted view, default lights) into a\n"
    "picture; it needs a display for OpenGL (xvfb-run will do). --no-base leaves the base\n"
    "out of the picture; a solid always has one. --feet or --meters picks the working\n"
    "units of the scene (the settings file's choice otherwise).\n";

#ifdef KV_CLI_RENDER
// Throws when the picture cannot be drawn here (no display), before anything is written.
void CheckRenderPossible();
void RenderTerrain(const TTerrainSource& source, const TTerrainSettings& settings,
                   const std::filesystem::path& fileName);
#endif

namespace {

double ParseNumber(const std::string& option, const std::string& text, double low, double high)
{
    double value = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (result.ec != std::errc() || result.ptr != text.data() + text.size() || !std::isfinite(value))
        throw EUsageError{option + " takes a number, found '" + text + "'"};
    if (value < low || value > high)
        throw EUsageError{option + " must lie between " + std::to_string(low) + " and " + std::to_string(high) +
                          ", found " + text};
    return value;
}

TRect ParseBox(const std::string& text)
{
    int32_t values[4] = {};
    const char* p = text.data();
    const char* end = text.data() + text.size();
    for (int k = 0; k < 4; ++k) {
        const auto result = std::from_chars(p, end, values[k]);
        const bool last = k == 3;
        if (result.ec != std::errc() || (last ? result.ptr != end : (result.ptr == end || *result.ptr != ',')))
            throw EUsageError{"--box takes four whole numbers L,T,R,B, found '" + text + "'"};
        p = result.ptr + 1;
    }
    return {values[0], values[1], values[2], values[3]};
}

std::string LowerExtension(const std::filesystem::path& file)
{
    std::string extension = file.extension().string();
    for (char& c : extension)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return extension;
}

} // namespace

int RunConvert(const TArgs& args)
{
    const TSplitArgs split =
        SplitArgs(args, {"--box", "--exaggeration", "--budget", "--base", "--print-size", "--base-mm", "--render"});
    TTerrainSettings settings;
    TPrintOptions print;
    std::optional<TRect> box;
    std::optional<bool> useFeet;
    std::optional<std::string> render;
    for (const TOption& option : split.Options) {
        const auto value = [&]() -> const std::string& {
            if (!option.Value)
                throw EUsageError{option.Name + " needs a value"};
            return *option.Value;
        };
        if (option.Name == "--box")
            box = ParseBox(value());
        else if (option.Name == "--exaggeration")
            settings.Exaggeration = ParseNumber(option.Name, value(), TerrainExaggerationMin, TerrainExaggerationMax);
        else if (option.Name == "--budget") {
            const double k = ParseNumber(option.Name, value(), TerrainBudgetMinK, TerrainBudgetMaxK);
            if (k != std::trunc(k))
                throw EUsageError{"--budget takes a whole number of K, found " + value()};
            settings.BudgetK = int32_t(k);
        } else if (option.Name == "--base") {
            settings.BaseHeightPercent = ParseNumber(option.Name, value(), 0, 100);
            settings.DrawBase = true;
        } else if (option.Name == "--no-base")
            settings.DrawBase = false;
        else if (option.Name == "--print-size")
            print.PrintSizeMM = ParseNumber(option.Name, value(), 1e-3, 1e6);
        else if (option.Name == "--base-mm")
            print.BaseMM = ParseNumber(option.Name, value(), 1e-3, 1e5);
        else if (option.Name == "--render")
            render = value();
        else if (option.Name == "--feet" || option.Name == "--meters")
            useFeet = option.Name == "--feet";
        else
            throw EUsageError{"unknown option '" + option.Name + "'"};
    }
    if (split.Operands.size() != 2)
        throw EUsageError{"convert needs a FILE and an OUT"};
    if (!box)
        throw EUsageError{"convert needs --box L,T,R,B (map pixels)"};
    const std::filesystem::path out = split.Operands[1];
    const std::string extension = LowerExtension(out);
    if (extension == ".x" || extension == ".txml")
        throw EKorvelaError("Writing " + extension + " files is not available yet; write an .stl file.");
    if (extension != ".stl")
        throw EUsageError{"OUT must end in .stl, found '" + out.string() + "'"};
    if (!settings.DrawBase)
        throw EUsageError{"--no-base leaves an STL solid open; give --base-mm for a thin base instead"};
#ifdef KV_CLI_RENDER
    if (render)
        CheckRenderPossible();
#else
    if (render)
        throw EKorvelaError("This build of korvela3d-cli has no renderer (it was built without the OpenGL viewer).");
#endif
    const TUnits units{useFeet ? *useFeet : LoadSettings(SettingsFolder()).UseFeet};

    TDEMArray dem;
    LoadElevationFile(split.Operands[0], dem, TerminalProgress("reading"));
    const auto doc = std::make_unique<TTopoDocument>();
    switch (LoadSelection(*doc, dem, *box, units)) {
    case loNothingSelected:
        throw EKorvelaError("The box selects no cells of the map, which is " + std::to_string(dem.Cols()) + " x " +
                            std::to_string(dem.Rows()) + " pixels.");
    case loClipped:
        std::fprintf(stderr, "korvela3d-cli: %s\n", SelectionClippedMessage);
        break;
    case loLoaded:
        break;
    }

    TTerrainSource source;
    source.Grid = &doc->Grid;
    source.EastSpacing = doc->Spacing.East;
    source.NorthSpacing = doc->Spacing.North;
    source.ElevationToMetres = dem.Info.ElevUnits == ucFeet ? MetersPerFoot : 1.0;
    source.UnitFactor = units.UnitFactor();

    const TTerrainSamples samples = SampleTerrain(source, settings.BudgetK);
    print.Exaggeration = settings.Exaggeration;
    print.BaseHeightPercent = settings.BaseHeightPercent;
    const TPrintSolid solid = BuildPrintSolid(samples, print);
    WriteSTLFile(out, solid);
    std::printf("%s: %lld triangles, %d x %d samples of %d x %d cells\n", out.string().c_str(),
                static_cast<long long>(solid.TriangleCount()), samples.Counts.NX, samples.Counts.NY, doc->Grid.Cols(),
                doc->Grid.Rows());
#ifdef KV_CLI_RENDER
    if (render) {
        RenderTerrain(source, settings, *render);
        std::printf("%s: the rendered scene\n", render->c_str());
    }
#endif
    return 0;
}

} // namespace kv::cli
