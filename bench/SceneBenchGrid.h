#pragma once
// The scene the scene-file benchmarks save and read: a base frame holding one grid mesh over a
// rolling surface, coloured by height, with smoothed vertex normals.

#include "gl/GLFrame.h"

#include <cmath>
#include <memory>

namespace kv::bench {

inline Vector3D BenchSurface(int x, int y)
{
    return {x * 10.0, 50 * std::sin(x * 0.05) * std::cos(y * 0.03), y * 10.0};
}

// quadsX by quadsY quads, two triangles each.
inline std::unique_ptr<TGLBaseFrame> GridScene(int quadsX, int quadsY)
{
    auto base = std::make_unique<TGLBaseFrame>();
    TGLMesh& mesh = *base->Meshes().NewMesh();
    mesh.SetName("Terrain Mesh");
    mesh.Reserve(2 * quadsX * quadsY);
    for (int y = 0; y < quadsY; ++y)
        for (int x = 0; x < quadsX; ++x) {
            const auto color = static_cast<uint32_t>(0x004000 + ((x * 7 + y) % 200) * 0x000100);
            mesh.AddQuad(BenchSurface(x, y), BenchSurface(x, y + 1), BenchSurface(x + 1, y + 1), BenchSurface(x + 1, y),
                         color);
        }
    mesh.CalcNormals(true, 50.0);
    mesh.RecalcExtents();
    return base;
}

} // namespace kv::bench
