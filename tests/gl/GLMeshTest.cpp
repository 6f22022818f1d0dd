#include "gl/GLMesh.h"

#include "GLTestHelpers.h"
#include "platform/KVError.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <random>
#include <string>
#include <vector>

namespace kv {
namespace {

using test::Near;

// ---- THuge3DVectorEx ----

struct TEventLog {
    std::vector<std::string> Lines;
    void Attach(THuge3DVectorEx& a)
    {
        const auto record = [this](const char* name) {
            return [this, name](const Vector3D& v, int32_t index) {
                Lines.push_back(std::string(name) + " " + std::to_string(index) + " " + std::to_string(int(v.x)));
            };
        };
        a.OnChange = record("change");
        a.OnAdd = record("add");
        a.OnDelete = record("delete");
    }
};

TEST(THuge3DVectorExTest, EachOperationReportsTheVectorNowAtItsIndex)
{
    struct TCase {
        const char* Name;
        std::function<void(THuge3DVectorEx&)> Act;
        std::vector<std::string> Expected;
    };
    const std::vector<TCase> cases = {
        {"plain add",
         [](THuge3DVectorEx& a) {
             a.Add(Vector3D{9, 0, 0});
         },
         {}},
        {"add with events",
         [](THuge3DVectorEx& a) {
             a.AddWithEvents({9, 0, 0});
         },
         {"change 3 9", "add 3 9"}},
        {"add with object",
         [](THuge3DVectorEx& a) {
             a.AddObject({9, 0, 0}, nullptr);
         },
         {"change 3 9"}},
        {"put",
         [](THuge3DVectorEx& a) {
             a.Put(1, {9, 0, 0});
         },
         {"change 1 9"}},
        {"insert",
         [](THuge3DVectorEx& a) {
             a.Insert({9, 0, 0}, 0);
         },
         {"change 0 9"}},
        {"insert out of range",
         [](THuge3DVectorEx& a) {
             a.Insert({9, 0, 0}, 7);
         },
         {}},
        {"delete", [](THuge3DVectorEx& a) { a.Delete(1); }, {"change 1 2", "delete 1 1"}},
        {"delete last", [](THuge3DVectorEx& a) { a.Delete(2); }, {"change 2 2", "delete 2 2"}},
        {"delete out of range", [](THuge3DVectorEx& a) { a.Delete(3); }, {}},
    };
    for (const TCase& c : cases) {
        THuge3DVectorEx a(3);
        for (int i = 0; i < 3; ++i)
            a.Add(Vector3D{double(i), 0, 0});
        TEventLog log;
        log.Attach(a);
        c.Act(a);
        EXPECT_EQ(log.Lines, c.Expected) << c.Name;
    }
}

TEST(THuge3DVectorExTest, GroupsVectorsIntoTrianglesAndSegments)
{
    THuge3DVectorEx a(6);
    EXPECT_EQ(a.AddTriangle({{1, 0, 0}, {2, 0, 0}, {3, 0, 0}}), 0);
    EXPECT_EQ(a.AddTriangle({{4, 0, 0}, {5, 0, 0}, {6, 0, 0}}), 1);
    EXPECT_EQ(a.TriangleCount(), 2);
    EXPECT_EQ(a.Triangle(1).p2, (Vector3D{6, 0, 0}));
    EXPECT_EQ(a.SegmentCount(), 3);
    EXPECT_EQ(a.Segment(1), (Segment3D{{3, 0, 0}, {4, 0, 0}}));
    EXPECT_EQ(a.AddSegment({{7, 0, 0}, {8, 0, 0}}), 3); // vectors 6 and 7
}

// ---- building ----

TEST(TGLMeshTest, NewMeshIsEmptyFlatAndWhite)
{
    TGLMesh mesh;
    EXPECT_EQ(mesh.RenderMode(), rmFlat);
    EXPECT_EQ(mesh.FaceCount(), 0);
    EXPECT_EQ(mesh.GetColor(), 0xFFFFFFu);
    EXPECT_EQ(mesh.ExtentMin, (Vector3D{}));
    EXPECT_EQ(mesh.ExtentMax, (Vector3D{}));
}

TEST(TGLMeshTest, AddTriangleKeepsTheListsInStepAndGrowsExtentsFromTheOrigin)
{
    TGLMesh mesh;
    mesh.OctTreeValid = mesh.TexCoordsValid = mesh.Sorted = true;
    EXPECT_EQ(mesh.AddTriangle({1, 1, 1}, {3, 1, 1}, {1, 4, 1}, 0x123456), 0);
    EXPECT_EQ(mesh.AddTriangle({1, 1, 2}, {3, 1, 2}, {1, 4, 2}, 0x654321), 1);
    EXPECT_EQ(mesh.Vertices.Count(), 6);
    EXPECT_EQ(mesh.VertexNormals.Count(), 6);
    EXPECT_EQ(mesh.FaceNormals.Count(), 2);
    EXPECT_TRUE(Near(mesh.FaceNormals.Get(0), {0, 0, 1}));
    EXPECT_EQ(mesh.FaceColor.Get(1), (TColorTriple{{0x654321, 0x654321, 0x654321}}));
    EXPECT_EQ(mesh.GetColor(), 0x123456u);
    // A mesh built from empty keeps its local origin inside the extents.
    EXPECT_EQ(mesh.ExtentMin, (Vector3D{0, 0, 0}));
    EXPECT_EQ(mesh.ExtentMax, (Vector3D{3, 4, 2}));
    EXPECT_FALSE(mesh.OctTreeValid || mesh.TexCoordsValid || mesh.Sorted);

    mesh.RecalcExtents();
    EXPECT_EQ(mesh.ExtentMin, (Vector3D{1, 1, 1}));

    mesh.Vertices.Delete(5);
    EXPECT_EQ(mesh.VertexNormals.Count(), 5);
}

TEST(TGLMeshTest, AddTrianglesLeavesTheMeshThatSingleAddsLeave)
{
    // Appended to a mesh that already has a face and its extents; the stray eighth corner is left
    // out. Enough faces to grow the lists past their first blocks.
    std::vector<Vector3D> corners;
    for (int32_t k = 0; k < 3 * 40 + 1; ++k)
        corners.push_back({std::sin(k * 0.7) * 5, double(k % 4), std::cos(k * 1.3) * (k % 3)});
    TGLMesh one;
    TGLMesh bulk;
    for (TGLMesh* mesh : {&one, &bulk}) {
        mesh->AddTriangle({1, 1, 1}, {3, 1, 1}, {1, 4, 1}, 0x123456);
        mesh->OctTreeValid = mesh->TexCoordsValid = mesh->Sorted = true;
    }
    for (size_t k = 0; k + 2 < corners.size(); k += 3)
        one.AddTriangle(corners[k], corners[k + 1], corners[k + 2], 0xABCDEF);
    bulk.AddTriangles(corners, 0xABCDEF);

    ASSERT_EQ(bulk.FaceCount(), 41);
    EXPECT_TRUE(std::equal(bulk.Vertices.Items().begin(), bulk.Vertices.Items().end(), one.Vertices.Items().begin()));
    EXPECT_TRUE(std::equal(bulk.FaceNormals.Items().begin(), bulk.FaceNormals.Items().end(),
                           one.FaceNormals.Items().begin()));
    EXPECT_TRUE(std::equal(bulk.FaceColor.Items().begin(), bulk.FaceColor.Items().end(), one.FaceColor.Items().begin()));
    EXPECT_EQ(bulk.VertexNormals.Count(), one.VertexNormals.Count());
    EXPECT_EQ(bulk.Vertices.Objects().size(), size_t(bulk.Vertices.Count()));
    EXPECT_EQ(bulk.ExtentMin, one.ExtentMin);
    EXPECT_EQ(bulk.ExtentMax, one.ExtentMax);
    EXPECT_FALSE(bulk.OctTreeValid || bulk.TexCoordsValid || bulk.Sorted);
}

TEST(TGLMeshTest, ReserveMakesRoomWithoutChangingTheMesh)
{
    TGLMesh mesh;
    mesh.AddTriangle({1, 1, 1}, {3, 1, 1}, {1, 4, 1}, 0x123456);
    mesh.Reserve(1000);
    EXPECT_GE(mesh.Vertices.Capacity(), 3000);
    EXPECT_GE(mesh.FaceColor.Capacity(), 1000);
    mesh.Reserve(10); // never shrinks
    EXPECT_GE(mesh.VertexNormals.Capacity(), 3000);
    EXPECT_EQ(mesh.FaceCount(), 1);
    EXPECT_EQ(mesh.Vertices.Get(2), (Vector3D{1, 4, 1}));
    EXPECT_EQ(mesh.VertexNormals.Count(), 3);
}

TEST(TGLMeshTest, QuadAndFanKeepTheirCornersAndWinding)
{
    const Vector3D p1{0, 0, 0}, p2{1, 0, 0}, p3{1, 1, 0}, p4{0, 1, 0};
    TGLMesh quad;
    quad.AddQuad(p1, p2, p3, p4, 0);
    ASSERT_EQ(quad.FaceCount(), 2);
    EXPECT_EQ(quad.Vertices.Triangle(0), (Triangle3D{p1, p2, p4}));
    EXPECT_EQ(quad.Vertices.Triangle(1), (Triangle3D{p2, p3, p4}));
    EXPECT_TRUE(Near(quad.FaceNormals.Get(0), {0, 0, 1}));
    EXPECT_TRUE(Near(quad.FaceNormals.Get(1), {0, 0, 1}));

    for (const int sides : {5, 6}) {
        std::vector<Vector3D> ring;
        for (int i = 0; i < sides; ++i)
            ring.push_back({std::cos(2 * M_PI * i / sides) + 3, std::sin(2 * M_PI * i / sides), 2});
        TGLMesh fan;
        fan.AddFan(ring, 0);
        ASSERT_EQ(fan.FaceCount(), sides);
        for (int i = 0; i < sides; ++i) {
            const Triangle3D t = fan.Vertices.Triangle(i);
            EXPECT_TRUE(Near(t.p0, {3, 0, 2}, 1e-12));
            EXPECT_EQ(t.p1, ring[size_t(i)]);
            EXPECT_EQ(t.p2, ring[size_t((i + 1) % sides)]);
            EXPECT_TRUE(Near(fan.FaceNormals.Get(i), {0, 0, 1}));
        }
    }
}

TEST(TGLMeshTest, RecalcExtentsOfAnEmptyMeshKeepsTheStartValues)
{
    TGLMesh mesh;
    mesh.RecalcExtents();
    EXPECT_EQ(mesh.ExtentMin, (Vector3D{1.7e308, 1.7e308, 1.7e308}));
    EXPECT_EQ(mesh.ExtentMax, (Vector3D{-1.7e308, -1.7e308, -1.7e308}));
}

TEST(TGLMeshTest, RenderModeChangeInvalidatesTheGridOnlyWhenItDiffers)
{
    TGLMesh mesh;
    int changes = 0;
    mesh.OnChange = [&](TGLObject*) { ++changes; };
    mesh.OctTreeValid = true;
    mesh.SetRenderMode(rmFlat);
    EXPECT_TRUE(mesh.OctTreeValid);
    EXPECT_EQ(changes, 0);
    mesh.SetRenderMode(rmSmooth);
    EXPECT_FALSE(mesh.OctTreeValid);
    EXPECT_EQ(changes, 1);
}

// ---- normals ----

// Face A lies in the xy plane over the edge (0,0,0)-(1,0,0); the face hinged on that edge at
// `degrees` has a normal that many degrees away from A's.
Triangle3D Hinged(double degrees, double offset = 0)
{
    const double a = degrees * DegToRad;
    return {{1 + offset, 0, 0}, {offset, 0, 0}, {0.5, -std::cos(a), std::sin(a)}};
}
const Triangle3D FaceA{{0, 0, 0}, {1, 0, 0}, {0.5, 1, 0}};

TEST(TGLMeshTest, SmoothingFollowsTheAngleAndTheCoincidenceTolerance)
{
    struct TCase {
        double Degrees;
        double Offset;
        bool Averaged;
    };
    const TCase cases[] = {
        {60, 0, true}, {90, 0, false}, {88, 0, true}, {60, 1e-12, true}, {60, 1e-10, false},
    };
    for (const TCase& c : cases) {
        TGLMesh mesh;
        mesh.AddTriangle(FaceA, 0);
        mesh.AddTriangle(Hinged(c.Degrees, c.Offset), 0);
        mesh.CalcNormals();
        const Vector3D nA = mesh.FaceNormals.Get(0);
        const Vector3D nB = mesh.FaceNormals.Get(1);
        EXPECT_NEAR(AngleBetween(nA, nB) * RadToDeg, c.Degrees, 1e-9);
        // Corner 0 of A at (0,0,0); B's corner there is its corner 1.
        if (c.Averaged) {
            EXPECT_TRUE(Near(mesh.VertexNormals.Get(0), VectorScale(VectorAdd(nA, nB), 0.5))) << c.Degrees;
            EXPECT_TRUE(Near(mesh.VertexNormals.Get(4), VectorScale(VectorAdd(nA, nB), 0.5))) << c.Degrees;
        } else if (c.Offset == 0) {
            // A hard edge: each corner keeps its own face's direction (halved by the count of 2).
            EXPECT_TRUE(Near(mesh.VertexNormals.Get(0), VectorScale(nA, 0.5))) << c.Degrees;
            EXPECT_TRUE(Near(mesh.VertexNormals.Get(4), VectorScale(nB, 0.5))) << c.Degrees;
        } else {
            // Not one position: each corner is alone.
            EXPECT_TRUE(Near(mesh.VertexNormals.Get(0), nA));
            EXPECT_TRUE(Near(mesh.VertexNormals.Get(4), nB));
        }
        // The apex of A is shared with nothing.
        EXPECT_TRUE(Near(mesh.VertexNormals.Get(2), nA));
    }
}

TEST(TGLMeshTest, AFaceBeyondTheAngleIsCountedButNotAdded)
{
    TGLMesh mesh;
    mesh.AddTriangle(FaceA, 0);
    mesh.AddTriangle(Hinged(60), 0);
    mesh.AddTriangle(Hinged(120), 0);
    mesh.CalcNormals(true, 89);
    const Vector3D nA = mesh.FaceNormals.Get(0);
    const Vector3D nB = mesh.FaceNormals.Get(1);
    EXPECT_TRUE(Near(mesh.VertexNormals.Get(0), VectorScale(VectorAdd(nA, nB), 1.0 / 3)));
    // The middle face is within the angle of both others.
    const Vector3D nC = mesh.FaceNormals.Get(2);
    EXPECT_TRUE(Near(mesh.VertexNormals.Get(4), VectorScale(VectorAdd(VectorAdd(nA, nB), nC), 1.0 / 3)));
}

// The smoothing rule by brute force, for comparison.
std::vector<Vector3D> NaiveVertexNormals(const TGLMesh& mesh, double degrees)
{
    const auto v = mesh.Vertices.Items();
    const auto n = mesh.FaceNormals.Items();
    std::vector<Vector3D> out;
    for (size_t i = 0; i < v.size(); ++i) {
        Vector3D sum;
        int count = 0;
        for (size_t j = 0; j < v.size(); ++j) {
            if (std::abs(v[i].x - v[j].x) > 1e-11 || std::abs(v[i].y - v[j].y) > 1e-11 ||
                std::abs(v[i].z - v[j].z) > 1e-11)
                continue;
            if (AngleBetween(n[i / 3], n[j / 3]) * RadToDeg < degrees)
                sum = VectorAdd(sum, n[j / 3]);
            ++count;
        }
        out.push_back(VectorDivideBy(sum, count));
    }
    return out;
}

TEST(TGLMeshTest, SmoothedNormalsMatchTheRuleOnARandomTerrain)
{
    std::mt19937 random(7);
    std::uniform_real_distribution<double> height(0, 3);
    const int n = 12;
    std::vector<double> z(size_t((n + 1) * (n + 1)));
    for (double& h : z)
        h = height(random);
    const auto at = [&](int x, int y) { return Vector3D{double(x), double(y), z[size_t(y * (n + 1) + x)]}; };
    TGLMesh mesh;
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x)
            mesh.AddQuad(at(x, y), at(x + 1, y), at(x + 1, y + 1), at(x, y + 1), 0);
    for (const double degrees : {30.0, 89.0, 180.0}) {
        mesh.CalcNormals(true, degrees);
        const std::vector<Vector3D> expected = NaiveVertexNormals(mesh, degrees);
        ASSERT_EQ(mesh.VertexNormals.Count(), int32_t(expected.size()));
        for (size_t i = 0; i < expected.size(); ++i)
            ASSERT_TRUE(Near(mesh.VertexNormals.Get(int32_t(i)), expected[i], 1e-12)) << i << " at " << degrees;
    }
    EXPECT_TRUE(mesh.Sorted);
}

TEST(TGLMeshTest, ChainsOfNearlyEqualPositionsStillGiveFiniteNormals)
{
    // Positions 0.6e-11 apart: each equals its neighbours within the tolerance but not the ones
    // beyond, so the comparison orders nothing consistently. Sorting and searching must still stay
    // within the arrays.
    std::mt19937 random(11);
    std::uniform_int_distribution<int> step(0, 40);
    TGLMesh mesh;
    for (int i = 0; i < 2000; ++i) {
        const auto p = [&] { return Vector3D{step(random) * 0.6e-11, step(random) * 0.6e-11, 0}; };
        mesh.AddTriangle(p(), Vector3D{1, double(i % 7), 0}, Vector3D{0, 1, double(i % 5)}, 0);
    }
    mesh.CalcNormals();
    ASSERT_EQ(mesh.VertexNormals.Count(), mesh.Vertices.Count());
    for (const Vector3D& n : mesh.VertexNormals.Items())
        ASSERT_TRUE(std::isfinite(n.x) && std::isfinite(n.y) && std::isfinite(n.z));
}

TEST(TGLMeshTest, ProgressReportsAboutAHundredTimesPerLoop)
{
    TGLMesh mesh;
    for (int i = 0; i < 150; ++i)
        mesh.AddTriangle({double(i), 0, 0}, {double(i) + 1, 0, 0}, {double(i), 1, 0}, 0);
    std::vector<std::pair<std::string, int>> reports;
    mesh.OnProgress = [&](TGLMesh* sender, const std::string& message, int32_t percent) {
        EXPECT_EQ(sender, &mesh);
        reports.emplace_back(message, percent);
    };
    mesh.CalcNormals(false, 89);
    ASSERT_EQ(reports.size(), 1u + 75u + 1u);
    EXPECT_EQ(reports.front(), (std::pair<std::string, int>{"Setting Face Normals", 0}));
    EXPECT_EQ(reports[1], (std::pair<std::string, int>{"Face Normals", 0}));
    EXPECT_EQ(reports[2], (std::pair<std::string, int>{"Face Normals", 1}));   // face 2 of 150
    EXPECT_EQ(reports[75], (std::pair<std::string, int>{"Face Normals", 99})); // face 148
    EXPECT_EQ(reports.back(), (std::pair<std::string, int>{"Done", 100}));

    reports.clear();
    TGLMesh empty;
    empty.OnProgress = [&](TGLMesh*, const std::string& message, int32_t percent) {
        reports.emplace_back(message, percent);
    };
    empty.CalcNormals();
    EXPECT_EQ(empty.VertexNormals.Count(), 0);
    EXPECT_EQ(reports.back(), (std::pair<std::string, int>{"Done", 100}));
}

// ---- copying ----

TEST(TGLMeshTest, AssignCopiesTheGeometryAndAssigningToItselfKeepsIt)
{
    TGLMesh source;
    source.AddTriangle({1, 1, 1}, {2, 1, 1}, {1, 2, 1}, 0x0000FF);
    source.CalcNormals();
    source.SetName("Terrain Mesh");
    source.SetRenderMode(rmSmooth);

    TGLMesh copy;
    copy.AddTriangle({5, 5, 5}, {6, 5, 5}, {5, 6, 5}, 0);
    copy.Assign(source);
    EXPECT_EQ(copy.Name(), "Terrain Mesh");
    EXPECT_EQ(copy.RenderMode(), rmSmooth);
    EXPECT_EQ(copy.FaceCount(), 1);
    EXPECT_EQ(copy.Vertices.Triangle(0), source.Vertices.Triangle(0));
    EXPECT_EQ(copy.VertexNormals.Get(2), source.VertexNormals.Get(2));
    EXPECT_EQ(copy.GetColor(), 0x0000FFu);
    EXPECT_EQ(copy.ExtentMax, source.ExtentMax);

    source.Assign(source);
    EXPECT_EQ(source.FaceCount(), 1);
}

TEST(TGLMeshTest, MergeBringsTheSourceIntoOwnCoordinates)
{
    TGLMesh own;
    own.AddTriangle({0, 0, 0}, {1, 0, 0}, {0, 1, 0}, 0x1);
    own.Position = {10, 0, 0};
    own.ApplyTransform(IdentityMatrix());
    TGLMesh source;
    source.AddTriangle({0, 0, 0}, {1, 0, 0}, {0, 1, 0}, 0x2);
    source.RotateBy(90, 0, 0); // about x: +z normal turns towards -y or +y
    source.Position = {0, 0, 5};
    source.ApplyTransform(IdentityMatrix());
    const Vector3D turned = TransformPoint(MatrixWithoutTranslation(source.ModelMatrix), {0, 0, 1});

    own.Merge(source);
    ASSERT_EQ(own.FaceCount(), 2);
    EXPECT_EQ(own.Vertices.Get(0), (Vector3D{0, 0, 0}));
    EXPECT_TRUE(Near(own.Vertices.Get(3), {-10, 0, 5}));
    EXPECT_TRUE(Near(own.FaceNormals.Get(1), turned));
    EXPECT_EQ(own.FaceColor.FaceColor(1), 0x2u);
    EXPECT_EQ(own.ExtentMax.x, 1);
    EXPECT_EQ(own.ExtentMin.x, -10);
    EXPECT_FALSE(own.OctTreeValid);

    TGLMesh singular;
    singular.Scale3D = {0, 1, 1};
    singular.ApplyTransform(IdentityMatrix());
    EXPECT_THROW(singular.Merge(source), EKorvelaError);
    EXPECT_EQ(singular.FaceCount(), 0);
}

// ---- drawing data ----

TEST(TGLMeshTest, DrawArraysLayOutCornersForEachRenderMode)
{
    TGLMesh mesh;
    mesh.AddTriangle({0, 0, 0}, {1, 0, 0}, {0, 1, 0}, 0x0000FF);
    mesh.FaceColor.Put(0, TColorTriple{{0x0000FF, 0x00FF00, 0xFF0000}});
    mesh.CalcNormals();
    mesh.VertexNormals.Put(1, {0, 1, 0});
    mesh.Transparency = 50;

    struct TCase {
        uint8_t Mode;
        size_t Normals;
        Float4 SecondColor;
    };
    const TCase cases[] = {
        {rmWire, 0, {1, 0, 0, 0.5f}},
        {rmFlat, 3, {1, 0, 0, 0.5f}},
        {rmSmooth, 3, {0, 1, 0, 0.5f}},
    };
    for (const TCase& c : cases) {
        mesh.SetRenderMode(c.Mode);
        const TMeshDrawArrays arrays = mesh.DrawArrays({0});
        ASSERT_EQ(arrays.Vertices.size(), 3u);
        EXPECT_EQ(arrays.Vertices[1], (Vector3D{1, 0, 0}));
        EXPECT_EQ(arrays.Normals.size(), c.Normals);
        EXPECT_EQ(arrays.Colors[1], c.SecondColor) << int(c.Mode);
        if (c.Mode == rmFlat) {
            EXPECT_TRUE(Near(arrays.Normals[1], {0, 0, 1}));
        }
        if (c.Mode == rmSmooth) {
            EXPECT_EQ(arrays.Normals[1], (Vector3D{0, 1, 0}));
        }
    }
}

TEST(TGLMeshTest, EveryChangeToWhatIsDrawnMovesTheGeneration)
{
    struct TCase {
        const char* What;
        std::function<void(TGLMesh&)> Change;
    };
    const TCase cases[] = {
        {"add", [](TGLMesh& m) { m.AddTriangle({0, 0, 0}, {1, 0, 0}, {0, 1, 0}, 0); }},
        {"add in bulk",
         [](TGLMesh& m) {
             const Vector3D corners[] = {{0, 0, 2}, {1, 0, 2}, {0, 1, 2}};
             m.AddTriangles(corners, 0);
         }},
        {"normals of known groups",
         [](TGLMesh& m) {
             const int32_t starts[] = {0, 1, 2, 3, 4, 5, 6};
             const int32_t corners[] = {0, 1, 2, 3, 4, 5};
             m.SmoothVertexNormals(starts, corners, 89);
         }},
        {"move a corner", [](TGLMesh& m) { m.Vertices.Put(1, {2, 0, 0}); }},
        {"delete a corner", [](TGLMesh& m) { m.Vertices.Delete(2); }},
        {"normals", [](TGLMesh& m) { m.CalcNormals(); }},
        {"colour", [](TGLMesh& m) { m.SetColor(0x123456); }},
        {"clear", [](TGLMesh& m) { m.Clear(); }},
        {"assign", [](TGLMesh& m) { m.Assign(TGLMesh{}); }},
        {"merge", [](TGLMesh& m) { m.Merge(TGLMesh{}); }},
        {"texture", [](TGLMesh& m) { m.Texture->Changed(); }},
        {"texture coordinates", [](TGLMesh& m) { m.PrepareDraw(); }},
    };
    for (const TCase& c : cases) {
        TGLMesh mesh;
        mesh.AddTriangle({0, 0, 0}, {1, 0, 0}, {0, 1, 0}, 0xFF);
        mesh.AddTriangle({0, 0, 1}, {1, 0, 1}, {0, 1, 1}, 0xFF);
        mesh.CalcNormals();
        if (std::string(c.What) != "texture coordinates")
            mesh.PrepareDraw();
        const uint64_t before = mesh.Generation();
        c.Change(mesh);
        EXPECT_GT(mesh.Generation(), before) << c.What;
    }
    TGLMesh mesh;
    mesh.AddTriangle({0, 0, 0}, {1, 0, 0}, {0, 1, 0}, 0xFF);
    mesh.PrepareDraw();
    const uint64_t drawn = mesh.Generation();
    mesh.PrepareDraw();
    mesh.SetRenderMode(rmSmooth);
    EXPECT_EQ(mesh.Generation(), drawn) << "drawing and the render mode leave the data as it was";
}

TEST(TGLMeshTest, FacesOfACellOutOfViewAreNotDrawnButStraddlersAre)
{
    TGLMesh mesh;
    mesh.AddTriangle({0.1, 0.1, 0.1}, {0.9, 0.1, 0.1}, {0.1, 0.9, 0.1}, 0); // cell (0,0,0)
    mesh.AddTriangle({0.5, 0.5, 0.5}, {7.5, 0.5, 0.5}, {0.5, 0.6, 0.5}, 0); // spans cells
    mesh.AddTriangle({7.5, 7.5, 7.5}, {8, 7.5, 7.5}, {7.5, 8, 8}, 0);       // cell (7,7,7)
    // The view volume is the unit cube around the eye: identity projection.
    EXPECT_EQ(mesh.DrawOrder(IdentityMatrix(), IdentityMatrix()), (std::vector<int32_t>{0, 1}));
    Matrix4x4 moved = IdentityMatrix();
    moved[12] = 5;
    EXPECT_EQ(mesh.DrawOrder(moved, IdentityMatrix()), (std::vector<int32_t>{1}));
    EXPECT_TRUE(mesh.OctTreeValid);
}

TEST(TGLMeshListTest, NamesMeshesFromZeroAndSumsTriangles)
{
    TGLMeshList list;
    TGLMesh* first = list.NewMesh();
    TGLMesh* second = list.NewMesh();
    EXPECT_EQ(first->Name(), "Mesh-0");
    EXPECT_EQ(second->Name(), "Mesh-1");
    first->AddTriangle({0, 0, 0}, {1, 0, 0}, {0, 1, 0}, 0);
    second->AddQuad({0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, 0);
    EXPECT_EQ(list.TriangleCount(), 3);

    TGLMeshList copy;
    copy.Assign(list);
    ASSERT_EQ(copy.Count(), 2);
    EXPECT_NE(dynamic_cast<TGLMesh*>(copy.Items(1)), nullptr);
    EXPECT_EQ(copy.Mesh(1)->FaceCount(), 2);
    EXPECT_EQ(copy.Mesh(1)->Name(), "Mesh-1");
}

} // namespace
} // namespace kv
