#pragma once
// What the commands that build a 3D terrain share: the box option, the conversion options and
// the copy of a box of the map into a topo grid, as the window's "Edit" button makes it.

#include "cli/CLICommon.h"
#include "mapview/TopoGrid.h"
#include "platform/Rect.h"
#include "platform/Units.h"
#include "terrain/KVMesh.h"

#include <memory>
#include <optional>
#include <string>

namespace kv::cli {

// "L,T,R,B" in map pixels; throws EUsageError for anything else.
TRect ParseBoxOption(const std::string& text);
// A decimal number within [low, high]; throws EUsageError naming the option otherwise.
double ParseNumberOption(const std::string& option, const std::string& text, double low, double high);

// The option's value; throws EUsageError when the arguments ended before it.
const std::string& OptionValue(const TOption& option);

// What every command that builds a terrain takes: the box, the conversion's options
// (--exaggeration, --budget, --base, --no-base), a picture to drape and the working units.
struct TTerrainRequest {
    TTerrainSettings Settings;
    std::optional<TRect> Box;
    std::optional<std::string> Drape;
    std::optional<bool> UseFeet; // --feet / --meters; the settings file's choice when not given
};
// Applies `option` to the request; false when it is none of the shared options.
bool ApplyTerrainOption(const TOption& option, TTerrainRequest& request);
// The valued options among them, for SplitArgs.
inline constexpr std::string_view TerrainValuedOptions[] = {"--box", "--exaggeration", "--budget", "--base", "--drape"};

// The working units: --feet / --meters when given, else the settings file's choice.
TUnits WorkingUnits(const std::optional<bool>& useFeet);

// A box of FILE's map in a topo grid, and the conversion's view of it.
struct TTerrainInput {
    std::unique_ptr<TTopoDocument> Topo;
    TTerrainSource Source;
};
// Opens FILE (with a progress line) and copies the box as "Edit" does; a box larger than the
// topo grid keeps its north-west part (said on stderr); a box with no cells is refused.
TTerrainInput LoadTerrainBox(const std::string& file, const TRect& box, const TUnits& units);

// The picture file stretched over the input's grid and draped on the terrain mesh, as the
// Overlay Editor's default fit and "Apply Overlay" would drape it.
void DrapePicture(const std::string& pictureFile, const TTerrainInput& input, TGLMesh& terrain);

} // namespace kv::cli
