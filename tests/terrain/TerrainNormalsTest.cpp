#include "terrain/TerrainNormals.h"

#include "terrain/KVMesh.h"
#include "terrain/TerrainFixtures.h"
#include "support/TestData.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cstring>
#include <fstream>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>

namespace kv {
namespace {

// The Jacksboro sample's elevations (403 x 343, metres), from the reference grid of the DEM tests.
std::unique_ptr<TTopoGrid> JacksboroGrid()
{
    std::ifstream file(test::TestDataDir() / "jacksboro_geo.grid.csv", std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    const std::string s = text.str();
    std::vector<int32_t> numbers;
    for (const char* p = s.data(); p < s.data() + s.size();) {
        int32_t value = 0;
        const auto result = std::from_chars(p, s.data() + s.size(), value);
        if (result.ec != std::errc())
            throw std::runtime_error("bad number in the Jacksboro grid");
        numbers.push_back(value);
        p = result.ptr;
        while (p < s.data() + s.size() && (*p == ',' || *p == '\n' || *p == '\r'))
            ++p;
    }
    const int32_t cols = numbers.at(0);
    const int32_t rows = numbers.at(1);
    if (numbers.size() != 2 + size_t(cols) * size_t(rows))
        throw std::runtime_error("wrong cell count in the Jacksboro grid");
    auto grid = std::make_unique<TTopoGrid>();
    size_t next = 2;
    for (int32_t r = 0; r < rows; ++r)
        for (int32_t c = 0; c < cols; ++c)
            grid->Set(c, r, numbers[next++]);
    grid->SetSize(cols, rows);
    return grid;
}

// The terrain surface the slow way: one AddTriangle at a time in the documented order (two
// triangles a cell, row by row, the diagonal from (i, j+1) to (i+1, j)), normals by sorting.
void ReferenceTerrain(const TTerrainSource& source, const TTerrainSettings& settings, TGLMesh& mesh)
{
    const TTerrainSamples samples = SampleTerrain(source, settings.BudgetK);
    TTerrainGeometry geometry;
    geometry.Samples = &samples;
    geometry.UnitFactor = source.UnitFactor;
    geometry.Exaggeration = settings.Exaggeration;
    for (int32_t j = 0; j + 1 < samples.Counts.NY; ++j)
        for (int32_t i = 0; i + 1 < samples.Counts.NX; ++i) {
            const auto t = [&](int32_t a, int32_t b) { return geometry.Top(a, b); };
            mesh.AddTriangle(t(i, j), t(i, j + 1), t(i + 1, j), TerrainColor);
            mesh.AddTriangle(t(i, j + 1), t(i + 1, j + 1), t(i + 1, j), TerrainColor);
        }
    mesh.CalcNormals(true, TerrainSmoothingAngle);
}

template <typename TArray>
bool SameBits(const TArray& a, const TArray& b)
{
    const auto x = a.Items();
    const auto y = b.Items();
    return x.size() == y.size() && std::memcmp(x.data(), y.data(), x.size_bytes()) == 0;
}

TEST(TerrainNormalsTest, ConversionGivesTheMeshOfSingleAddsAndSortedSmoothingToTheBit)
{
    const auto jacksboro = JacksboroGrid();
    const auto flat = test::GridOf(std::vector<std::vector<double>>(15, std::vector<double>(20, 321.0)));
    // Heights 1 cm apart become scene heights closer than the smoothing's tolerance at this scale.
    std::vector<std::vector<double>> closeRows(12, std::vector<double>(9));
    for (size_t r = 0; r < closeRows.size(); ++r)
        for (size_t c = 0; c < closeRows[r].size(); ++c)
            closeRows[r][c] = 100 + 0.01 * double((r * 7 + c * 3) % 5);
    const auto close = test::GridOf(closeRows);

    struct TCase {
        const char* Name;
        const TTopoGrid* Grid;
        int32_t BudgetK;
        double UnitFactor;
        bool ByGrid; // the grid's grouping is used, rather than the sort
    };
    const TCase cases[] = {
        {"real terrain, thinned", jacksboro.get(), 100, 1.0, true},
        {"real terrain in kilometres", jacksboro.get(), 19, 0.001, true},
        {"flat: every height equal", flat.get(), 100, 1.0, true},
        {"samples closer than the tolerance", jacksboro.get(), 19, 1e-13, false},
        {"heights closer than the tolerance", close.get(), 100, 1e-10, false},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TTerrainSource source;
        source.Grid = c.Grid;
        source.EastSpacing = 30;
        source.NorthSpacing = 30;
        source.UnitFactor = c.UnitFactor;
        TTerrainSettings settings;
        settings.BudgetK = c.BudgetK;

        TGLMesh terrain;
        TGLMesh base;
        ConvertTerrain(source, settings, terrain, base);
        TGLMesh reference;
        ReferenceTerrain(source, settings, reference);

        ASSERT_GT(terrain.FaceCount(), 0);
        EXPECT_TRUE(SameBits(terrain.Vertices, reference.Vertices));
        EXPECT_TRUE(SameBits(terrain.FaceNormals, reference.FaceNormals));
        EXPECT_TRUE(SameBits(terrain.VertexNormals, reference.VertexNormals));
        EXPECT_TRUE(SameBits(terrain.FaceColor, reference.FaceColor));
        EXPECT_EQ(terrain.ExtentMin, reference.ExtentMin);
        EXPECT_EQ(terrain.ExtentMax, reference.ExtentMax);
        EXPECT_EQ(terrain.Vertices.Objects().size(), size_t(terrain.Vertices.Count()));
        // Only the sort leaves its index behind.
        EXPECT_EQ(terrain.Sorted, !c.ByGrid);
    }
}

TEST(TerrainNormalsTest, AMeshThatIsNotTheGridsSurfaceIsSmoothedBySorting)
{
    // Two triangles laid out as a 2 x 2 grid's surface would be, then spoilt two ways.
    const Triangle3D first{{0, 0, 0}, {0, 0, 1}, {1, 0, 0}};
    const Triangle3D second{{0, 0, 1}, {1, 1, 1}, {1, 0, 0}};
    const Triangle3D moved{{0, 0, 2}, {1, 1, 1}, {1, 0, 0}};
    const Triangle3D extra{{5, 5, 5}, {6, 5, 5}, {5, 6, 5}};
    const std::vector<std::vector<Triangle3D>> meshes = {{first, second, extra}, {first, moved}};
    for (const auto& faces : meshes) {
        TGLMesh mesh;
        for (const Triangle3D& t : faces)
            mesh.AddTriangle(t, 1);
        TGLMesh reference;
        reference.Assign(mesh);
        SmoothTerrainNormals(mesh, 2, 2, TerrainSmoothingAngle);
        reference.CalcNormals(true, TerrainSmoothingAngle);
        EXPECT_TRUE(mesh.Sorted) << faces.size() << " faces";
        EXPECT_TRUE(SameBits(mesh.VertexNormals, reference.VertexNormals));
    }
}

} // namespace
} // namespace kv
