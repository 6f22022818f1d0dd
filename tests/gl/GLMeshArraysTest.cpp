#include "gl/GLMeshArrays.h"

#include "gl/GLMesh.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <numeric>
#include <vector>

namespace kv {
namespace {

template <class T> bool SameBits(const T& a, const T& b)
{
    return std::memcmp(&a, &b, sizeof(T)) == 0;
}

// A curved grid of n x n quads; the quads of the right half red, the rest green.
void CurvedGrid(TGLMesh& mesh, int n)
{
    const auto at = [](int x, int y) { return Vector3D{double(x), double(y), std::sin(x * 0.7) * std::cos(y * 0.4)}; };
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x)
            mesh.AddQuad(at(x, y), at(x + 1, y), at(x + 1, y + 1), at(x, y + 1), x < n / 2 ? 0x00FF00 : 0x0000FF);
    mesh.CalcNormals();
}

std::vector<int32_t> AllFaces(const TGLMesh& mesh)
{
    std::vector<int32_t> faces(static_cast<size_t>(mesh.FaceCount()));
    std::iota(faces.begin(), faces.end(), 0);
    return faces;
}

TEST(TMeshArraysTest, SharedVerticesGiveBackWhatEachCornerSendsToOpenGL)
{
    constexpr int n = 6;
    const uint8_t modes[] = {rmWire, rmFlat, rmSmooth};
    for (const uint8_t mode : modes) {
        TGLMesh mesh;
        CurvedGrid(mesh, n);
        // One corner of its own colour, seen in smooth mode only.
        mesh.FaceColor.Put(7, TColorTriple{{0x0000FF, 0xFFFFFF, 0x0000FF}});
        mesh.DataChanged();
        mesh.SetRenderMode(mode);
        mesh.PrepareDraw();
        const TMeshDrawArrays corners = mesh.DrawArrays(AllFaces(mesh));
        const TMeshIndexedArrays& folded = mesh.IndexedArrays();
        const TMeshDrawArrays& shared = folded.Shared;
        ASSERT_EQ(folded.FaceCorners.size(), corners.Vertices.size());
        EXPECT_EQ(shared.Normals.size(), mode == rmWire ? 0 : shared.Vertices.size());
        EXPECT_EQ(shared.Colors.size(), shared.Vertices.size());
        for (size_t c = 0; c < corners.Vertices.size(); ++c) {
            const uint32_t v = folded.FaceCorners[c];
            ASSERT_LT(v, shared.Vertices.size());
            ASSERT_TRUE(SameBits(shared.Vertices[v], corners.Vertices[c])) << int(mode) << " corner " << c;
            // Flat shading takes normal and colour from a triangle's last corner only.
            if (mode == rmFlat && c % 3 != 2)
                continue;
            ASSERT_TRUE(SameBits(shared.Colors[v], corners.Colors[c])) << int(mode) << " corner " << c;
            if (mode != rmWire) {
                ASSERT_TRUE(SameBits(shared.Normals[v], corners.Normals[c])) << int(mode) << " corner " << c;
            }
        }
        // Smooth and wire share each grid point between the faces around it, but for the seam
        // between the colours and the lone white corner; flat needs a vertex for each face's last
        // corner at most, and the first two corners find one at their place.
        const size_t points = (n + 1) * (n + 1);
        const size_t seam = n + 1;
        const size_t expected[] = {points + seam, 0, points + seam + 1};
        if (mode != rmFlat)
            EXPECT_EQ(shared.Vertices.size(), expected[mode]) << int(mode);
        else
            EXPECT_LE(shared.Vertices.size(), static_cast<size_t>(mesh.FaceCount()) + points);
    }
}

TEST(TMeshArraysTest, ValuesThatDifferInAnyBitStayApart)
{
    TMeshDrawArrays corners;
    // Two faces over the same three places: the second's corner 0 is at -0 instead of +0 and its
    // corner 1 has another texture coordinate.
    corners.Vertices = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {-0.0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
    corners.Colors.assign(6, Float4{1, 1, 1, 1});
    corners.TexCoords = {{0, 0}, {1, 0}, {0, 1}, {0, 0}, {0.5, 0}, {0, 1}};
    TMeshIndexedArrays folded;
    FoldCorners(TMeshDrawArrays(corners), false, folded);
    EXPECT_EQ(folded.Shared.Vertices.size(), 5u);
    EXPECT_EQ(folded.FaceCorners, (std::vector<uint32_t>{0, 1, 2, 3, 4, 2}));
    EXPECT_TRUE(folded.Shared.Normals.empty());
}

TEST(TMeshArraysTest, FaceIndicesFollowTheDrawOrderAndSkipUnknownFaces)
{
    TMeshIndexedArrays arrays;
    arrays.FaceCorners = {0, 1, 2, 2, 1, 3};
    std::vector<uint32_t> indices;
    const std::vector<int32_t> faces = {1, 5, -1, 0};
    FaceIndices(arrays, faces, false, indices);
    EXPECT_EQ(indices, (std::vector<uint32_t>{2, 1, 3, 0, 1, 2}));
    FaceIndices(arrays, faces, true, indices);
    EXPECT_EQ(indices, (std::vector<uint32_t>{2, 1, 1, 3, 3, 2, 0, 1, 1, 2, 2, 0}));
}

TEST(TMeshArraysTest, MeshFoldsAgainAfterEachChangeToWhatIsDrawn)
{
    TGLMesh mesh;
    CurvedGrid(mesh, 2);
    mesh.SetRenderMode(rmSmooth);
    EXPECT_EQ(mesh.IndexedArrays().Shared.Colors[0], ColorToFloat4(0x00FF00, 1));

    mesh.SetColor(0xFF0000);
    EXPECT_EQ(mesh.IndexedArrays().Shared.Colors[0], ColorToFloat4(0xFF0000, 1));
    mesh.Transparency = 50;
    EXPECT_EQ(mesh.IndexedArrays().Shared.Colors[0].a, 0.5f);
    mesh.SetRenderMode(rmWire);
    EXPECT_TRUE(mesh.IndexedArrays().Shared.Normals.empty());
    mesh.Vertices.Put(0, {-5, -5, -5});
    EXPECT_EQ(mesh.IndexedArrays().Shared.Vertices[0], (Vector3D{-5, -5, -5}));
    mesh.AddTriangle({9, 9, 9}, {10, 9, 9}, {9, 10, 9}, 0);
    EXPECT_EQ(mesh.IndexedArrays().FaceCorners.size(), 3u * mesh.FaceCount());
}

} // namespace
} // namespace kv
