#pragma once
// Scenes built in code for the scene-file tests: a torus mesh with vertex normals and varied
// colours, awkward numbers in its pose, and everything else a base frame can hold.

#include "gl/GLCubeMap.h"
#include "gl/GLFrame.h"
#include "gl/GLTestFigures.h"

#include <gtest/gtest.h>

#include <cmath>

namespace kv::test {

// A torus whose faces take colours from a short cycle and whose vertices carry digits a short
// number form would lose.
inline void FillAwkwardMesh(TGLMesh& mesh)
{
    BuildTorus(mesh);
    for (int32_t i = 0; i < mesh.Vertices.Count(); ++i) {
        Vector3D v = mesh.Vertices.Get(i);
        v.x = v.x / 3.0 + 1e-7;
        v.z = v.z * std::sqrt(2.0) - 1234567.0;
        mesh.Vertices.Put(i, v);
    }
    const uint32_t colors[3] = {0x0000FF, 0x00FF00, 0xFF00FF};
    for (int32_t i = 0; i < mesh.FaceCount(); ++i)
        mesh.FaceColor.Put(i, TColorTriple{{colors[i % 3], colors[(i + 1) % 3], 0xFFFFFFFF}});
    mesh.CalcNormals(true, 50.0);
    mesh.RecalcExtents();
}

inline void ExpectSameMeshes(const TGLMesh& a, const TGLMesh& b)
{
    EXPECT_EQ(a.Name(), b.Name());
    ASSERT_EQ(a.Vertices.Count(), b.Vertices.Count());
    for (int32_t i = 0; i < a.Vertices.Count(); ++i)
        ASSERT_EQ(a.Vertices.Get(i), b.Vertices.Get(i)) << "vertex " << i;
    ASSERT_EQ(a.VertexNormals.Count(), b.VertexNormals.Count());
    for (int32_t i = 0; i < a.VertexNormals.Count(); ++i)
        ASSERT_EQ(a.VertexNormals.Get(i), b.VertexNormals.Get(i)) << "vertex normal " << i;
    ASSERT_EQ(a.FaceNormals.Count(), b.FaceNormals.Count());
    for (int32_t i = 0; i < a.FaceNormals.Count(); ++i)
        ASSERT_EQ(a.FaceNormals.Get(i), b.FaceNormals.Get(i)) << "face normal " << i;
    ASSERT_EQ(a.FaceColor.Count(), b.FaceColor.Count());
    for (int32_t i = 0; i < a.FaceColor.Count(); ++i)
        ASSERT_EQ(a.FaceColor.Get(i), b.FaceColor.Get(i)) << "face colours " << i;
}

} // namespace kv::test
