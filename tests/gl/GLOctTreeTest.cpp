#include "gl/GLOctTree.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace kv {
namespace {

TEST(TOctTreeTest, LocatesPointsByCell)
{
    TOctTree grid;
    grid.SetBounds({-8, 0, 0}, {8, 16, 8});
    struct TCase {
        Vector3D P;
        bool Inside;
        int32_t X, Y, Z;
    };
    const TCase cases[] = {
        {{-8, 0, 0}, true, 0, 0, 0},      {{8, 16, 8}, true, 7, 7, 7},      {{-7.5, 15, 0.5}, true, 0, 7, 0},
        {{0.1, 8.5, 3.9}, true, 4, 4, 3}, {{-8.001, 1, 1}, false, 0, 0, 0}, {{1, 1, 8.001}, false, 0, 0, 0},
        {{NAN, 1, 1}, false, 0, 0, 0},
    };
    for (const TCase& c : cases) {
        int32_t x = -1, y = -1, z = -1;
        ASSERT_EQ(grid.Locate(c.P, x, y, z), c.Inside) << c.P.x << "," << c.P.y << "," << c.P.z;
        if (c.Inside) {
            EXPECT_EQ((std::vector<int32_t>{x, y, z}), (std::vector<int32_t>{c.X, c.Y, c.Z}));
        }
    }
    EXPECT_EQ(grid.Cell(7, 7, 7).Max, (Vector3D{8, 16, 8}));
    EXPECT_EQ(grid.Cell(4, 0, 0).Min, (Vector3D{0, 0, 0}));
}

TEST(TOctTreeTest, FilesFacesUnderOneCellAmongStraddlersOrNotAtAll)
{
    TOctTree grid; // (0,0,0)-(8,8,8): unit cells
    EXPECT_TRUE(grid.Insert(Triangle3D{{2.1, 3.1, 4.1}, {2.9, 3.1, 4.1}, {2.1, 3.9, 4.9}}, 10));
    EXPECT_TRUE(grid.Insert(Triangle3D{{2.1, 3.1, 4.1}, {5, 3.1, 4.1}, {2.1, 3.9, 4.9}}, 11));
    EXPECT_FALSE(grid.Insert(Triangle3D{{2.1, 3.1, 4.1}, {9, 3.1, 4.1}, {2.1, 3.9, 4.9}}, 12));
    EXPECT_TRUE(grid.Insert(Segment3D{{0.5, 0.5, 0.5}, {0.6, 0.6, 0.6}}, 13));
    EXPECT_EQ(grid.Cell(2, 3, 4).Faces.size(), 1u);
    EXPECT_EQ(grid.Cell(2, 3, 4).Faces[0], 10);
    ASSERT_EQ(grid.Straddlers().size(), 1u);
    EXPECT_EQ(grid.Straddlers()[0], 11);

    // Everything visible: cells in z, y, x order, then the straddlers; cell numbers as reported.
    TFrustum everything;
    everything.fill(TFrustumPlane{0, 0, 0, 1});
    grid.UpdateVisibility(everything);
    std::vector<std::pair<int32_t, int32_t>> visits;
    int owner = 0;
    grid.ForEach(
        [&](void* o, int32_t face, int32_t cell) {
            EXPECT_EQ(o, &owner);
            visits.emplace_back(face, cell);
        },
        &owner);
    EXPECT_EQ(visits, (std::vector<std::pair<int32_t, int32_t>>{{13, 0}, {10, 2 + 8 * 3 + 64 * 4}, {11, -1}}));
    EXPECT_EQ(grid.VisibleItems(), (std::vector<int32_t>{13, 10, 11}));

    grid.Clear();
    EXPECT_EQ(grid.VisibleItems(), (std::vector<int32_t>{}));
}

// Drawing the runs out of AllItems must give VisibleItems: the element buffer depends on it.
TEST(TOctTreeTest, VisibleRunsAreTheVisibleItemsAsStretchesOfAllItems)
{
    TOctTree grid; // unit cells; cell (x, 0, 0) is number x
    int32_t face = 0;
    for (const int32_t x : {0, 0, 1, 3, 3, 3, 5})
        grid.Insert(Triangle3D{{x + 0.1, 0.1, 0.1}, {x + 0.9, 0.1, 0.1}, {x + 0.1, 0.9, 0.1}}, face++);
    grid.Insert(Triangle3D{{0.1, 0.1, 0.1}, {6.5, 0.1, 0.1}, {0.1, 0.9, 0.1}}, face++); // a straddler
    ASSERT_EQ(grid.AllItems(), (std::vector<int32_t>{0, 1, 2, 3, 4, 5, 6, 7}));
    using TRuns = std::vector<TOctTree::TItemRun>;
    struct TCase {
        std::vector<int32_t> VisibleCells;
        TRuns Runs;
    };
    const TCase cases[] = {
        {{0, 1, 3, 5}, {{0, 8}}},    // everything: one stretch
        {{}, {{7, 1}}},              // the straddlers are always drawn
        {{0, 3}, {{0, 2}, {3, 3}, {7, 1}}},
        {{1, 2, 3}, {{2, 4}, {7, 1}}}, // an empty cell between two visible ones joins them
        {{5}, {{6, 2}}},             // the last cell runs into the straddlers
    };
    std::vector<TOctTree::TItemRun> runs;
    for (const TCase& c : cases) {
        for (int32_t x = 0; x < TOctTree::CellsPerAxis; ++x)
            grid.Cell(x, 0, 0).Visible = std::find(c.VisibleCells.begin(), c.VisibleCells.end(), x) != c.VisibleCells.end();
        grid.VisibleRuns(runs);
        EXPECT_EQ(runs, c.Runs) << "case with " << c.VisibleCells.size() << " visible cells";
        const std::vector<int32_t> all = grid.AllItems();
        std::vector<int32_t> drawn;
        for (const TOctTree::TItemRun& run : runs)
            drawn.insert(drawn.end(), all.begin() + run.First, all.begin() + run.First + run.Count);
        EXPECT_EQ(drawn, grid.VisibleItems());
    }
}

TEST(TOctTreeTest, FrustumPlanesBoundTheUnitCubeOfClipSpace)
{
    // Identity matrices: the planes x < 1, x > -1, y > -1, y < 1, z < 1, z > -1.
    const TFrustum frustum = FrustumFromMatrices(IdentityMatrix(), IdentityMatrix());
    const double expected[6][4] = {{-1, 0, 0, 1}, {1, 0, 0, 1},  {0, 1, 0, 1},
                                   {0, -1, 0, 1}, {0, 0, -1, 1}, {0, 0, 1, 1}};
    for (size_t i = 0; i < 6; ++i) {
        EXPECT_DOUBLE_EQ(frustum[i].a, expected[i][0]) << i;
        EXPECT_DOUBLE_EQ(frustum[i].b, expected[i][1]) << i;
        EXPECT_DOUBLE_EQ(frustum[i].c, expected[i][2]) << i;
        EXPECT_DOUBLE_EQ(frustum[i].d, expected[i][3]) << i;
    }

    // A scaled projection: the planes come out normalised.
    Matrix4x4 projection = IdentityMatrix();
    projection[0] = 2;
    const TFrustum scaled = FrustumFromMatrices(IdentityMatrix(), projection);
    EXPECT_DOUBLE_EQ(scaled[0].a, -1);
    EXPECT_DOUBLE_EQ(scaled[0].d, 0.5);
}

TEST(TOctTreeTest, ACellTouchingAPlaneFromBehindIsHidden)
{
    TOctTree grid; // unit cells; the view keeps -1 < x < 1
    grid.UpdateVisibility(IdentityMatrix(), IdentityMatrix());
    EXPECT_TRUE(grid.Cell(0, 0, 0).Visible);
    EXPECT_FALSE(grid.Cell(1, 0, 0).Visible); // its near side lies on x = 1
    EXPECT_FALSE(grid.Cell(0, 2, 0).Visible);
}

} // namespace
} // namespace kv
