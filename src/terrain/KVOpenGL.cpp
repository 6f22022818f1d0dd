#include "terrain/KVOpenGL.h"

namespace kv {

TTerrainObjects CreateTerrainObjects(TGLFrame& frame)
{
    TGLMeshList& meshes = frame.Meshes();
    meshes.Clear();
    TTerrainObjects objects;
    objects.Terrain = meshes.NewMesh();
    objects.Base = meshes.NewMesh();
    objects.Terrain->SetRenderMode(rmSmooth);
    objects.Terrain->SetName("Terrain Mesh");
    objects.Base->SetName("Base Mesh");
    return objects;
}

} // namespace kv
