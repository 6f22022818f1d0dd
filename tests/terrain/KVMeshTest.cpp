#include "terrain/KVMesh.h"

#include "platform/KVError.h"
#include "platform/Units.h"
#include "terrain/TerrainFixtures.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>

namespace kv {
namespace {

using test::GridOf;

struct TCountCase {
    const char* Name;
    int32_t Cols, Rows, BudgetK;
    int32_t NX, NY;
    bool Thinning;
    int64_t Faces;
};

TEST(KVMeshTest, SampleCountsKeepTheAspectAndStayUnderTheBudget)
{
    const TCountCase cases[] = {
        {"1000 x 1000 at 1000 K is thinned", 1000, 1000, 1000, 716, 716, true, 2 * 715 * 715},
        {"700 x 700 at 1000 K fits", 700, 700, 1000, 700, 700, false, 2 * 699 * 699},
        {"100 x 100 at 19 K", 100, 100, 19, 99, 99, true, 19208},
        {"1500 x 1500 at the default budget", 1500, 1500, 100, 227, 227, true, 102152},
        {"2 x 2 fits anything", 2, 2, 1, 2, 2, false, 2},
        {"a narrow grid thins to one column", 2, 1500, 1, 1, 620, true, 0},
        {"one row", 5, 1, 100, 5, 1, false, 0},
    };
    for (const TCountCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const TSampleCounts counts = SampleCounts(c.Cols, c.Rows, c.BudgetK);
        EXPECT_EQ(counts.NX, c.NX);
        EXPECT_EQ(counts.NY, c.NY);
        EXPECT_EQ(counts.Thinning, c.Thinning);
        EXPECT_DOUBLE_EQ(counts.SX, c.Thinning ? double(c.Cols) / c.NX : 1.0);
        EXPECT_DOUBLE_EQ(counts.SY, c.Thinning ? double(c.Rows) / c.NY : 1.0);
        EXPECT_LE(counts.NX, c.Cols);
        EXPECT_LE(counts.NY, c.Rows);
        const TMeshInformation info = MeshInformation(c.Cols, c.Rows, c.BudgetK, 1e12);
        EXPECT_EQ(info.Faces, c.Faces);
        EXPECT_LE(info.Faces, int64_t(c.BudgetK) * 1024);
    }
}

TEST(KVMeshTest, InformationPanelsReadAsTheDialogShowsThem)
{
    const TMeshInformation info = MeshInformation(100, 100, 19, 512.0 * 1048576);
    EXPECT_EQ(info.ArraySizeText, "100 X 100 = 10000");
    EXPECT_EQ(info.FacesText, "19208");
    EXPECT_EQ(info.VertexText, "57624");
    EXPECT_EQ(info.NormalsText, "115248");
    // 316 bytes a face.
    EXPECT_EQ(info.RequiredBytes, 316.0 * 19208);
    EXPECT_EQ(info.MeshSizeText, "5.8 Meg");
    EXPECT_EQ(info.MemSizeText, "512.0 Meg");
    EXPECT_EQ(info.ResolutionText, "0.98");
    EXPECT_EQ(info.Message, "");

    // More than half the available memory is worth a warning, no more.
    EXPECT_EQ(MeshInformation(100, 100, 19, 2 * 316.0 * 19208 - 2).Message, LargeMeshMessage);
    EXPECT_EQ(MeshInformation(100, 100, 19, 2 * 316.0 * 19208).Message, "");
    // A budget that leaves one sample across says so, whatever the memory.
    EXPECT_EQ(MeshInformation(2, 1500, 1, 1e12).Message, SingleSampleMessage);
}

TTerrainSource SourceOf(const TTopoGrid& grid, double dx = 10, double dy = 5)
{
    TTerrainSource source;
    source.Grid = &grid;
    source.EastSpacing = dx;
    source.NorthSpacing = dy;
    return source;
}

Triangle3D Face(const TGLMesh& mesh, int32_t i)
{
    return mesh.Vertices.Triangle(i);
}

TEST(KVMeshTest, TwoByTwoGridByHand)
{
    // North row 10, 20; south row 30, 40. 10 m east, 5 m north; exaggeration 2, base 50 %.
    const auto grid = GridOf({{10, 20}, {30, 40}});
    TTerrainSettings settings;
    settings.BaseHeightPercent = 50;
    TGLMesh terrain;
    TGLMesh base;
    ConvertTerrain(SourceOf(*grid), settings, terrain, base);

    // min 10, max 40, mid 25, depth 15; x from -5 to 5, z from -2.5 (north) to 2.5.
    const Vector3D nw{-5, -30, -2.5}, ne{5, -10, -2.5}, sw{-5, 10, 2.5}, se{5, 30, 2.5};
    ASSERT_EQ(terrain.FaceCount(), 2);
    EXPECT_EQ(Face(terrain, 0), (Triangle3D{nw, sw, ne}));
    EXPECT_EQ(Face(terrain, 1), (Triangle3D{sw, se, ne}));
    for (int32_t i = 0; i < 2; ++i) {
        EXPECT_GT(terrain.FaceNormals.Get(i).y, 0) << "terrain faces up";
        EXPECT_EQ(terrain.FaceColor.Get(i), (TColorTriple{{TerrainColor, TerrainColor, TerrainColor}}));
    }
    EXPECT_EQ(terrain.VertexNormals.Count(), 6);

    const double floorY = (10 - 15 - 25) * 2;
    const Vector3D bnw{-5, floorY, -2.5}, bne{5, floorY, -2.5}, bsw{-5, floorY, 2.5}, bse{5, floorY, 2.5};
    ASSERT_EQ(base.FaceCount(), 10);
    const Triangle3D expected[10] = {
        {bsw, bnw, bse}, {bnw, bne, bse}, // floor
        {nw, ne, bnw},   {ne, bne, bnw},  // north wall
        {sw, bsw, se},   {bsw, bse, se},  // south wall
        {nw, bnw, sw},   {bnw, bsw, sw},  // west wall
        {se, bse, ne},   {bse, bne, ne},  // east wall
    };
    for (int32_t i = 0; i < 10; ++i)
        EXPECT_EQ(Face(base, i), expected[i]) << "base face " << i;
    // Floor down; each wall out of the block (away from its centre).
    for (int32_t i = 0; i < 10; ++i) {
        const Triangle3D t = Face(base, i);
        const Vector3D n = base.FaceNormals.Get(i);
        const Vector3D centroid{(t.p0.x + t.p1.x + t.p2.x) / 3, 0, (t.p0.z + t.p1.z + t.p2.z) / 3};
        if (i < 2)
            EXPECT_LT(n.y, 0) << "floor face " << i;
        else
            EXPECT_GT(n.x * centroid.x + n.z * centroid.z, 0) << "wall face " << i;
        EXPECT_EQ(base.FaceColor.FaceColor(i), BaseColor);
    }
}

TEST(KVMeshTest, VoidSamplesSitAtTheLowestValidElevationAndLeaveTheExtentsAlone)
{
    const auto grid = GridOf({{TopoVoidValue, 100}, {-32767.0, 300}, {200, -32766.5}});
    const TElevationExtents extents = GridExtents(*grid, 1.0);
    EXPECT_EQ(extents.Min, -32766.5);
    EXPECT_EQ(extents.Max, 300);

    const auto plain = GridOf({{TopoVoidValue, 100}, {-40000, 300}, {200, 250}});
    TTerrainSettings settings;
    settings.DrawBase = false;
    TGLMesh terrain;
    TGLMesh base;
    ConvertTerrain(SourceOf(*plain), settings, terrain, base);
    // mid = 200; the two voids at min 100: Y = (100 - 200) x 2.
    EXPECT_EQ(Face(terrain, 0).p0.y, -200);
    EXPECT_EQ(Face(terrain, 0).p1.y, -200);
    EXPECT_EQ(Face(terrain, 0).p2.y, -200); // the sample of 100 itself
    EXPECT_EQ(base.FaceCount(), 0);
}

TEST(KVMeshTest, AGridWithoutValidSamplesIsRefusedAndNothingChanges)
{
    const auto grid = GridOf({{TopoVoidValue, -32767}, {-40000, TopoVoidValue}});
    TGLMesh terrain;
    TGLMesh base;
    terrain.AddTriangle({0, 0, 0}, {1, 0, 0}, {0, 0, 1}, 0x123456);
    bool reset = false;
    TConvertProgress progress;
    progress.ResetScene = [&] { reset = true; };
    EXPECT_THAT([&] { ConvertTerrain(SourceOf(*grid), {}, terrain, base, progress); },
                testing::ThrowsMessage<EKorvelaError>(testing::StrEq(NoValidSampleMessage)));
    EXPECT_EQ(terrain.FaceCount(), 1);
    EXPECT_FALSE(reset);
}

TEST(KVMeshTest, ThinningInterpolatesBilinearlyAndRoundsToSinglePrecision)
{
    // A tilted plane: bilinear interpolation reproduces it exactly, up to the float rounding.
    auto grid = std::make_unique<TTopoGrid>();
    const auto plane = [](double x, double y) { return 1000.3 + 3.7 * x - 1.1 * y; };
    for (int32_t c = 0; c < 100; ++c)
        for (int32_t r = 0; r < 100; ++r)
            grid->Set(c, r, plane(c, r));
    grid->SetSize(100, 100);
    const TTerrainSamples samples = SampleTerrain(SourceOf(*grid, 1, 1), 19);
    ASSERT_EQ(samples.Counts.NX, 99);
    const double step = 100.0 / 99.0;
    for (int32_t j : {0, 1, 50, 98})
        for (int32_t i : {0, 1, 49, 98}) {
            const double h = samples.Height(i, j);
            EXPECT_EQ(h, double(float(h))) << "rounded to single precision";
            EXPECT_NEAR(h, plane(i * step, j * step), 1e-4) << i << ", " << j;
        }
    EXPECT_DOUBLE_EQ(samples.StepX, step);
}

TEST(KVMeshTest, FeetGridsAndFeetModeChangeTheScaleNotTheShape)
{
    const auto metres = GridOf({{30.48, 60.96, 91.44}, {121.92, 152.4, 30.48}});
    const auto feet = GridOf({{100, 200, 300}, {400, 500, 100}});
    TTerrainSource feetSource = SourceOf(*feet);
    feetSource.ElevationToMetres = MetersPerFoot;
    TTerrainSource feetMode = SourceOf(*metres);
    feetMode.UnitFactor = FeetPerMeter;

    TGLMesh inMetres, fromFeet, shownInFeet, base;
    ConvertTerrain(SourceOf(*metres), {}, inMetres, base);
    ConvertTerrain(feetSource, {}, fromFeet, base);
    ConvertTerrain(feetMode, {}, shownInFeet, base);
    ASSERT_EQ(inMetres.Vertices.Count(), fromFeet.Vertices.Count());
    for (int32_t k = 0; k < inMetres.Vertices.Count(); ++k) {
        const Vector3D a = inMetres.Vertices.Get(k);
        const Vector3D b = fromFeet.Vertices.Get(k);
        const Vector3D c = shownInFeet.Vertices.Get(k);
        EXPECT_NEAR(a.y, b.y, 1e-4);
        EXPECT_EQ(a.x, b.x);
        EXPECT_NEAR(c.x, a.x * FeetPerMeter, 1e-9);
        EXPECT_NEAR(c.y, a.y * FeetPerMeter, 1e-4);
        EXPECT_NEAR(c.z, a.z * FeetPerMeter, 1e-9);
    }
}

TEST(KVMeshTest, EachRunEmptiesBothMeshesAndReportsItsSteps)
{
    const auto grid = GridOf({{1, 2, 3}, {4, 5, 6}, {7, 8, 9}});
    TGLMesh terrain;
    TGLMesh base;
    TTerrainSettings settings;
    ConvertTerrain(SourceOf(*grid), settings, terrain, base);
    EXPECT_EQ(terrain.FaceCount(), 8);
    EXPECT_EQ(base.FaceCount(), 2 + 4 * 2 * 2);

    std::vector<std::string> actions;
    std::vector<std::string> points;
    TConvertProgress progress;
    progress.Action = [&](const std::string& text) { actions.push_back(text); };
    progress.Point = [&](const std::string& text) { points.push_back(text); };
    settings.DrawBase = false;
    settings.BaseHeightPercent = 0;
    ConvertTerrain(SourceOf(*grid), settings, terrain, base, progress);
    EXPECT_EQ(terrain.FaceCount(), 8);
    EXPECT_EQ(base.FaceCount(), 0);
    ASSERT_GE(actions.size(), 4u);
    EXPECT_EQ(actions[0], "Resetting Scene");
    EXPECT_EQ(actions[1], "Allocating Memory");
    EXPECT_EQ(actions[2], "Converting Points");
    EXPECT_EQ(actions.back(), "Done");
    EXPECT_THAT(actions, testing::Contains("Vertex Normals"));
    EXPECT_THAT(points, testing::IsSupersetOf({"0", "0:3", "1:3"}));
    EXPECT_THAT(points, testing::Contains("100/100"));
    EXPECT_FALSE(terrain.OnProgress) << "the callback is detached afterwards";
}

TEST(KVMeshTest, OneRowBuildsOnlyTheDegenerateFloorAndFlatWalls)
{
    const auto grid = GridOf({{5, 6, 7}});
    TGLMesh terrain;
    TGLMesh base;
    ConvertTerrain(SourceOf(*grid), {}, terrain, base);
    EXPECT_EQ(terrain.FaceCount(), 0);
    // The floor's two triangles, and the north and south walls over the same row.
    EXPECT_EQ(base.FaceCount(), 2 + 2 * 2 * 2);
    EXPECT_EQ(base.FaceNormals.Get(0), (Vector3D{0, 0, 0}));
}

} // namespace
} // namespace kv
