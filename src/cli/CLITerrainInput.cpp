#include "cli/CLITerrainInput.h"

#include "gdalio/KVElevationFile.h"
#include "imaging/ImageLib.h"
#include "overlay/OverlayApply.h"
#include "platform/KVIni.h"
#include "platform/SettingsFolder.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace kv::cli {

TRect ParseBoxOption(const std::string& text)
{
    const std::optional<TRect> box = ParseRectText(text);
    if (!box)
        throw EUsageError{"--box takes four whole numbers L,T,R,B, found '" + text + "'"};
    return *box;
}

double ParseNumberOption(const std::string& option, const std::string& text, double low, double high)
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

const std::string& OptionValue(const TOption& option)
{
    if (!option.Value)
        throw EUsageError{option.Name + " needs a value"};
    return *option.Value;
}

bool ApplyTerrainOption(const TOption& option, TTerrainRequest& request)
{
    TTerrainSettings& settings = request.Settings;
    if (option.Name == "--box") {
        request.Box = ParseBoxOption(OptionValue(option));
    } else if (option.Name == "--drape") {
        request.Drape = OptionValue(option);
    } else if (option.Name == "--feet" || option.Name == "--meters") {
        request.UseFeet = option.Name == "--feet";
    } else if (option.Name == "--exaggeration") {
        settings.Exaggeration =
            ParseNumberOption(option.Name, OptionValue(option), TerrainExaggerationMin, TerrainExaggerationMax);
    } else if (option.Name == "--budget") {
        const double k = ParseNumberOption(option.Name, OptionValue(option), TerrainBudgetMinK, TerrainBudgetMaxK);
        if (k != std::trunc(k))
            throw EUsageError{"--budget takes a whole number of K, found " + OptionValue(option)};
        settings.BudgetK = int32_t(k);
    } else if (option.Name == "--base") {
        settings.BaseHeightPercent = ParseNumberOption(option.Name, OptionValue(option), 0, 100);
        settings.DrawBase = true;
    } else if (option.Name == "--no-base") {
        settings.DrawBase = false;
    } else {
        return false;
    }
    return true;
}

TUnits WorkingUnits(const std::optional<bool>& useFeet)
{
    return TUnits{useFeet ? *useFeet : LoadSettings(SettingsFolder()).UseFeet};
}

TTerrainInput LoadTerrainBox(const std::string& file, const TRect& box, const TUnits& units)
{
    TDEMArray dem;
    LoadElevationFile(file, dem, TerminalProgress("reading"));
    TTerrainInput input;
    input.Topo = std::make_unique<TTopoDocument>();
    switch (LoadSelection(*input.Topo, dem, box, units)) {
    case loNothingSelected:
        throw EKorvelaError("The box selects no cells of the map, which is " + std::to_string(dem.Cols()) + " x " +
                            std::to_string(dem.Rows()) + " pixels.");
    case loClipped:
        std::fprintf(stderr, "korvela3d-cli: %s\n", SelectionClippedMessage);
        break;
    case loLoaded:
        break;
    }
    input.Source.Grid = &input.Topo->Grid;
    input.Source.EastSpacing = input.Topo->Spacing.East;
    input.Source.NorthSpacing = input.Topo->Spacing.North;
    input.Source.ElevationToMetres = dem.Info.ElevUnits == ucFeet ? MetersPerFoot : 1.0;
    input.Source.UnitFactor = units.UnitFactor();
    return input;
}

void DrapePicture(const std::string& pictureFile, const TTerrainInput& input, TGLMesh& terrain)
{
    TBitmap picture;
    LoadImageFile(picture, pictureFile);
    const TTopoGrid& grid = input.Topo->Grid;
    const TOverlayDocument overlay = StretchedOverlay(picture, grid.Cols(), grid.Rows());
    ApplyOverlay(overlay,
                 {grid.Cols(), grid.Rows(), input.Source.EastSpacing, input.Source.NorthSpacing, input.Source.UnitFactor},
                 terrain);
}

} // namespace kv::cli
