#include "gl/GLLines.h"

#include <gtest/gtest.h>

#include <vector>

namespace kv {
namespace {

TEST(TGLLinesTest, SegmentsSetThenGrowTheExtents)
{
    TGLLines lines;
    EXPECT_EQ(lines.GetColor(), 0xFFFFFFu);
    EXPECT_EQ(lines.AddSegment({1, 1, 1}, {2, 3, 4}, 0x0000FF), 0);
    EXPECT_EQ(lines.ExtentMin, (Vector3D{1, 1, 1}));
    EXPECT_EQ(lines.ExtentMax, (Vector3D{2, 3, 4}));
    EXPECT_EQ(lines.AddSegment({5, -1, 2}, {0, 0, 0}, 0x00FF00, 3), 1);
    EXPECT_EQ(lines.ExtentMin, (Vector3D{0, -1, 0}));
    EXPECT_EQ(lines.ExtentMax, (Vector3D{5, 3, 4}));
    EXPECT_EQ(lines.SegmentCount(), 2);
    EXPECT_EQ(lines.GetColor(), 0x0000FFu);
    EXPECT_EQ(lines.LineProperties.Get(0), (TLineProperty{1, false, 0, 1}));
    EXPECT_EQ(lines.LineProperties.Get(1).Width, 3);

    lines.SetColor(0x123456);
    EXPECT_EQ(lines.LineColor.Get(1), 0x123456);

    lines.Clear();
    EXPECT_EQ(lines.SegmentCount(), 0);
    EXPECT_EQ(lines.ExtentMax, (Vector3D{}));
}

TEST(TGLLinesTest, GridGivesVisibleSegmentsThenTheSpanningOnes)
{
    TGLLines lines;
    lines.AddSegment({0, 0, 0}, {0.5, 0.5, 0.5}, 0);   // cell (0,0,0)
    lines.AddSegment({0.5, 0.5, 0.5}, {8, 8, 8}, 0);   // spans
    lines.AddSegment({7.5, 7.5, 7.5}, {8, 8, 8}, 0);   // cell (7,7,7)
    EXPECT_EQ(lines.DrawOrder(FrustumFromMatrices(IdentityMatrix(), IdentityMatrix())), (std::vector<int32_t>{0, 1}));
    EXPECT_TRUE(lines.OctTreeValid);
    lines.SetRenderMode(rmWire);
    EXPECT_FALSE(lines.OctTreeValid);
}

TEST(TGLLinesTest, MergeReplacesTheSegmentsWithTheSource)
{
    TGLLines source;
    source.AddSegment({0, 0, 0}, {1, 1, 1}, 0xFF, TLineProperty{2, true, 0xF0F0, 3});
    source.Transparency = 40;
    TGLLines lines;
    lines.AddSegment({5, 5, 5}, {6, 6, 6}, 0);
    lines.AddSegment({5, 5, 5}, {6, 6, 6}, 0);
    lines.Merge(source);
    EXPECT_EQ(lines.SegmentCount(), 1);
    EXPECT_EQ(lines.LineProperties.Get(0), (TLineProperty{2, true, 0xF0F0, 3}));
    EXPECT_EQ(lines.Transparency, 40);
    EXPECT_EQ(lines.GetColor(), 0xFFu);
}

TEST(TGLLineListTest, NamesLineObjectsFromOne)
{
    TGLLineList list;
    EXPECT_EQ(list.NewLines(), 0);
    EXPECT_EQ(list.NewLines(), 1);
    EXPECT_EQ(list.Lines(0)->Name(), "Lines-1");
    EXPECT_EQ(list.Lines(1)->Name(), "Lines-2");
}

} // namespace
} // namespace kv
