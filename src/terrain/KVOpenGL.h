#pragma once
// The two meshes of the terrain scene: "Terrain Mesh" (smooth) and "Base Mesh" (flat), items of
// the scene root's mesh list for the whole run; conversions and file loads empty and refill them.

#include "gl/GLFrame.h"
#include "gl/GLMesh.h"

namespace kv {

struct TTerrainObjects {
    TGLMesh* Terrain = nullptr;
    TGLMesh* Base = nullptr;
};

// Empties the frame's mesh list and adds the two meshes, the terrain first.
TTerrainObjects CreateTerrainObjects(TGLFrame& frame);

} // namespace kv
