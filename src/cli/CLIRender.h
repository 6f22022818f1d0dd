#pragma once
// The command-line tool's pictures and movies, drawn by the desktop program's viewer in a window
// that never shows. A build without the viewer has these too: they say it cannot draw.

#include "terrain/KVMesh.h"

#include <cstdint>
#include <filesystem>
#include <functional>

namespace kv::cli {

// Throws when nothing can be drawn here (no display, or a build without the viewer), before
// anything is read or written.
void CheckRenderPossible();

// What is done to the terrain mesh after the conversion (a draped picture), or nothing.
using TTerrainDressing = std::function<void(TGLMesh& terrain)>;

// The converted scene, fitted, with the default lights, as a PNG.
void RenderTerrain(const TTerrainSource& source, const TTerrainSettings& settings,
                   const std::filesystem::path& fileName, const TTerrainDressing& dress = {});

struct TSpinMovie {
    std::filesystem::path File; // .mp4: H.264, anything else: AVI with MS Video 1
    int32_t Frames = 72;
    int32_t FramesPerSecond = 18;
    int32_t Width = 640;
    int32_t Height = 480;
    int32_t Quality = 6500; // 0 to 10000, for MS Video 1
};

// One full turn of the converted scene about its vertical axis, fitted first, as a movie.
void RenderTerrainSpin(const TTerrainSource& source, const TTerrainSettings& settings, const TSpinMovie& movie,
                       const TTerrainDressing& dress = {});

// The same turn of a scene file: a .txml scene (xmlScene) or a DirectX .x file.
void RenderSceneFileSpin(const std::filesystem::path& sceneFile, bool xmlScene, const TSpinMovie& movie);

} // namespace kv::cli
