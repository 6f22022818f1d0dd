#include "gl/GLFrame.h"

#include "GLTestHelpers.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kv {
namespace {

using test::Near;

TEST(TGLFrameTest, NamesItemsAsTheListsDo)
{
    TGLFrame frame;
    EXPECT_EQ(frame.Frames().NewFrame(), 0);
    EXPECT_EQ(frame.Frames().Frame(0)->Name(), "Frame-1");
    EXPECT_EQ(frame.Meshes().NewMesh()->Name(), "Mesh-0");
    EXPECT_EQ(frame.Meshes().NewMesh()->Name(), "Mesh-1");
}

TEST(TGLFrameTest, ExtentsAndTrianglesComeFromEverythingBelow)
{
    TGLFrame frame;
    EXPECT_EQ(frame.GetExtentMax(), (Vector3D{}));
    frame.Meshes().NewMesh()->AddTriangle({1, 1, 1}, {2, 1, 1}, {1, 2, 1}, 0);
    frame.Lines().Lines(frame.Lines().NewLines())->AddSegment({-3, 0, 0}, {0, 0, 9}, 0);
    TGLFrame* sub = frame.Frames().Frame(frame.Frames().NewFrame());
    TGLMesh* deep = sub->Meshes().NewMesh();
    deep->AddQuad({0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, -4}, 0);
    EXPECT_EQ(frame.TriangleCount(), 3);
    EXPECT_EQ(frame.GetExtentMin(), (Vector3D{-3, 0, -4}));
    EXPECT_EQ(frame.GetExtentMax(), (Vector3D{2, 2, 9}));
}

TEST(TGLFrameTest, ApplyTreeRecordsEveryMatrixThroughTheFrames)
{
    TGLFrame frame;
    frame.Position = {1, 0, 0};
    TGLMesh* mesh = frame.Meshes().NewMesh();
    mesh->Position = {0, 2, 0};
    mesh->Visible = false;
    TGLFrame* sub = frame.Frames().Frame(frame.Frames().NewFrame());
    sub->Position = {0, 0, 3};
    TGLLines* lines = sub->Lines().Lines(sub->Lines().NewLines());
    lines->Scale3D = {2, 2, 2};

    frame.ApplyTree(IdentityMatrix());
    EXPECT_TRUE(Near(TransformPoint(mesh->ModelMatrix, {0, 0, 0}), {1, 2, 0}));
    EXPECT_TRUE(Near(TransformPoint(lines->ModelMatrix, {1, 1, 1}), {3, 2, 5}));
    EXPECT_EQ(lines->ParentMatrix, sub->ModelMatrix);
}

TEST(TGLFrameTest, AssignCopiesTheTreeAndTheCopyReportsToItself)
{
    TGLFrame source;
    source.SetName("Scene");
    source.Meshes().NewMesh()->AddTriangle({0, 0, 0}, {1, 0, 0}, {0, 1, 0}, 0xFF);
    TGLFrame* sub = source.Frames().Frame(source.Frames().NewFrame());
    sub->Strings().String(sub->Strings().NewString())->SetText("North");
    int sourceChanges = 0;
    source.OnChange = [&](TGLObject*) { ++sourceChanges; };

    TGLFrame copy;
    copy.Lines().NewLines();
    copy.Assign(source);
    EXPECT_EQ(sourceChanges, 0); // copying reports nothing to the source
    EXPECT_EQ(copy.Name(), "Scene");
    EXPECT_EQ(copy.Lines().Count(), 0);
    ASSERT_EQ(copy.Meshes().Count(), 1);
    EXPECT_EQ(copy.Meshes().Mesh(0)->GetColor(), 0xFFu);
    ASSERT_EQ(copy.Frames().Count(), 1);
    EXPECT_EQ(copy.Frames().Frame(0)->Strings().String(0)->Text(), "North");
    EXPECT_NE(copy.Meshes().Mesh(0), source.Meshes().Mesh(0));

    // The copy's lists report to the copy, not to the source.
    int copyChanges = 0;
    copy.OnChange = [&](TGLObject*) { ++copyChanges; };
    sourceChanges = 0;
    copy.Meshes().NewMesh();
    EXPECT_GT(copyChanges, 0);
    EXPECT_EQ(sourceChanges, 0);
}

TEST(TGLBaseFrameTest, ListsEverythingBelowDepthFirstAndFollowsChanges)
{
    TGLBaseFrame root;
    TGLMesh* terrain = root.Meshes().NewMesh();
    TGLFrame* sub = root.Frames().Frame(root.Frames().NewFrame());
    TGLLines* lines = sub->Lines().Lines(sub->Lines().NewLines());
    TGLFrame* deeper = sub->Frames().Frame(sub->Frames().NewFrame());
    TGL3DString* label = root.Strings().String(root.Strings().NewString());

    const auto names = [&] {
        std::vector<std::string> out;
        for (const TFrameItem& item : root.AllObjects())
            out.push_back(item.Object->Name() + ":" + std::to_string(int(item.Kind)));
        return out;
    };
    EXPECT_EQ(names(), (std::vector<std::string>{"Mesh-0:0", "String3D-1:1", "Frame-1:3", "Lines-1:2", "Frame-1:3"}));
    EXPECT_EQ(root.AllObjects()[0].Object, terrain);
    EXPECT_EQ(root.AllObjects()[1].Object, label);
    EXPECT_EQ(root.AllObjects()[3].Object, lines);

    // A change two levels down reaches the root.
    deeper->Meshes().NewMesh();
    EXPECT_EQ(names().back(), "Mesh-0:0");
    sub->Lines().Clear();
    EXPECT_EQ(names(), (std::vector<std::string>{"Mesh-0:0", "String3D-1:1", "Frame-1:3", "Frame-1:3", "Mesh-0:0"}));
    root.Frames().Clear();
    EXPECT_EQ(root.AllObjects().size(), 2u);
}

} // namespace
} // namespace kv
