// A build without the OpenGL viewer: the commands that draw say so.

#include "cli/CLIRender.h"

#include "platform/KVError.h"

namespace kv::cli {

void CheckRenderPossible()
{
    throw EKorvelaError("This build of korvela3d-cli has no renderer (it was built without the OpenGL viewer).");
}

void RenderTerrain(const TTerrainSource&, const TTerrainSettings&, const std::filesystem::path&, const TTerrainDressing&)
{
    CheckRenderPossible();
}

void RenderTerrainSpin(const TTerrainSource&, const TTerrainSettings&, const TSpinMovie&, const TTerrainDressing&)
{
    CheckRenderPossible();
}

void RenderSceneFileSpin(const std::filesystem::path&, bool, const TSpinMovie&)
{
    CheckRenderPossible();
}

} // namespace kv::cli
