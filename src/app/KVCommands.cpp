#include "app/KVCommands.h"

#include <algorithm>
#include <array>

namespace kv {

namespace {

constexpr std::array Commands{
    // File menu
    TCommandInfo{"OpenDemFile1", ndIdle, true},
    TCommandInfo{"Reopen1", ndIdle, true},
    TCommandInfo{"LoadTerrainFile1", ndIdle, true},
    TCommandInfo{"SaveTerrainFile1", ndIdle, true},
    TCommandInfo{"LoadXFile1", ndIdle, true},
    TCommandInfo{"SaveXFile1", ndIdle, true},
    TCommandInfo{"ExportModel1", ndIdle, true},
    TCommandInfo{"SaveImage1", ndDEM, true},
    TCommandInfo{"PrintImage1", ndDEM, true},
    TCommandInfo{"ExportGeoTIFF1", ndDEM, true},
    TCommandInfo{"TestObjects1", ndNothing, true},
    TCommandInfo{"SoccerBall1", ndNothing, true},
    TCommandInfo{"Torus1", ndNothing, true},
    TCommandInfo{"Exit1", ndNothing, true},
    // Edit menu
    TCommandInfo{"CopyImage1", ndIdle, true},
    TCommandInfo{"SetTerrainColor1", ndNothing, true},
    TCommandInfo{"SetBaseColor1", ndNothing, true},
    TCommandInfo{"ArmAVICapture1", ndNothing, true},
    // DEM menu
    TCommandInfo{"Options2", ndIdle, true},
    TCommandInfo{"DemInfo1", ndIdle, true},
    TCommandInfo{"DemErrorInfo1", ndIdle, true},
    // Terrain menu
    TCommandInfo{"SpecialEffects1", ndNothing, true},
    // Options menu
    TCommandInfo{"SceneSettings1", ndNothing, true},
    TCommandInfo{"Lighting1", ndNothing, true},
    TCommandInfo{"Materials1", ndNothing, true},
    TCommandInfo{"EnvironmentOptions1", ndIdle, true},
    TCommandInfo{"CaptureOptions1", ndNothing, true},
    TCommandInfo{"SaveUserDefaults1", ndNothing, true},
    // Tools and Help menus
    TCommandInfo{"MergeDEMFiles1", ndNothing, true},
    TCommandInfo{"Contents1", ndNothing, true},
    TCommandInfo{"KeyWordSearch1", ndNothing, true},
    // "DEM Reader" page
    TCommandInfo{"ReReadBtn", ndDEM, true},
    TCommandInfo{"TopoEditBtn", ndDEM, true},
    TCommandInfo{"SetBoxBtn", ndDEM, true},
    // "Topo Editor" page
    TCommandInfo{"ClipArrayBtn", ndNothing, true},
    TCommandInfo{"EditGridBtn", ndNothing, true},
    TCommandInfo{"ConvertBtn", ndNothing, true},
    TCommandInfo{"FilterBtn", ndNothing, true},
    TCommandInfo{"UpdateBtn", ndNothing, true},
    // "3D Model Editor" page
    TCommandInfo{"ZoomInBtn", ndNothing, true},
    TCommandInfo{"ZoomOutBtn", ndNothing, true},
    TCommandInfo{"PanLeftBtn", ndNothing, true},
    TCommandInfo{"PanRightBtn", ndNothing, true},
    TCommandInfo{"PanUpBtn", ndNothing, true},
    TCommandInfo{"PanDownBtn", ndNothing, true},
    TCommandInfo{"YawRightBtn", ndNothing, true},
    TCommandInfo{"YawLeftBtn", ndNothing, true},
    TCommandInfo{"PitchUpBtn", ndNothing, true},
    TCommandInfo{"PitchDownBtn", ndNothing, true},
    TCommandInfo{"ResetScaleBtn", ndNothing, true},
    TCommandInfo{"AnimateBtn", ndNothing, true},
    TCommandInfo{"StopBtn", ndNothing, true},
    TCommandInfo{"CaptureBtn", ndArmed, true},
};

} // namespace

std::span<const TCommandInfo> MainCommands()
{
    return Commands;
}

const TCommandInfo* FindCommand(std::string_view name)
{
    const auto it = std::find_if(Commands.begin(), Commands.end(),
                                 [&](const TCommandInfo& command) { return command.Name == name; });
    return it == Commands.end() ? nullptr : &*it;
}

bool CommandEnabled(const TCommandInfo& command, const TDocumentState& state)
{
    if (!command.Built)
        return false;
    switch (command.Need) {
    case ndNothing:
        return true;
    case ndIdle:
        return !state.Opening;
    case ndDEM:
        return state.DEMLoaded && !state.Opening;
    case ndArmed:
        return state.CaptureArmed;
    }
    return false;
}

} // namespace kv
