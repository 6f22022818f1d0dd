// A build without the OpenGL viewer: the commands that draw say so.

#include "cli/CLIRender.h"

#include "platform/KVError.h"

namespace kv::cli {

void CheckRenderPossible()
{
    throw EKorvelaError("This build of korvela3d-cli has no renderer (it was built without the OpenGL viewer).");
}

void RenderTerrain(const TTerrainSource&, const TTerrainSettings&, const std::filesystem::path&)
{
    CheckRenderPossible();
}

void RenderTerrainSpin(const TTerrainSource&, const TTerrainSettings&, const TSpinMovie&)
{
    CheckRenderPossible();
}

} // namespace kv::cli
