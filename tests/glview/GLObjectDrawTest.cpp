// Meshes drawn from shared vertices must put exactly the pixels on screen that drawing every
// triangle from its own corners puts there: both drawn by Mesa into the viewer's framebuffer under
// the same state and compared byte for byte.

#include "glview/GLObjectDraw.h"
#include "glview/GLViewer.h"

#include <QTest>

#include <GL/gl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

namespace kv {
namespace {

constexpr int ViewWidth = 320;
constexpr int ViewHeight = 240;

// Every triangle from its own three corners: the way the mesh's data reads without sharing.
void DrawCornerByCorner(TGLMesh& mesh, const Matrix4x4& projection)
{
    const std::vector<int32_t> faces = mesh.DrawOrder(mesh.ModelMatrix, projection);
    const TMeshDrawArrays arrays = mesh.DrawArrays(faces);
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(3, GL_DOUBLE, 0, arrays.Vertices.data());
    glEnableClientState(GL_COLOR_ARRAY);
    glColorPointer(4, GL_FLOAT, 0, arrays.Colors.data());
    const auto count = static_cast<GLsizei>(arrays.Vertices.size());
    if (mesh.RenderMode() == rmWire) {
        glShadeModel(GL_FLAT);
        std::vector<uint32_t> edges;
        for (uint32_t first = 0; first < static_cast<uint32_t>(count); first += 3)
            edges.insert(edges.end(), {first, first + 1, first + 1, first + 2, first + 2, first});
        glDrawElements(GL_LINES, static_cast<GLsizei>(edges.size()), GL_UNSIGNED_INT, edges.data());
    } else {
        glShadeModel(mesh.RenderMode() == rmFlat ? GL_FLAT : GL_SMOOTH);
        glEnableClientState(GL_NORMAL_ARRAY);
        glNormalPointer(GL_DOUBLE, 0, arrays.Normals.data());
        glDrawArrays(GL_TRIANGLES, 0, count);
        glDisableClientState(GL_NORMAL_ARRAY);
    }
    glDisableClientState(GL_COLOR_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
}

class GLObjectDrawTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Viewer_ = std::make_unique<TGLViewer>();
        Viewer_->setFixedSize(ViewWidth, ViewHeight);
        Viewer_->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(Viewer_.get()));
        EXPECT_TRUE(QTest::qWaitFor([&] { return Viewer_->FrameCount() > 0; }));
    }

    // A bumpy grid of 12 x 12 quads in three colours, one face with a white corner, fitted into
    // the view and a little turned so that a part of it leaves the view; or all in one colour
    // (drawn with a current colour instead of a colour array).
    TGLMesh& BumpyGrid(bool oneColour = false)
    {
        TGLMesh& mesh = *Viewer_->FirstMesh();
        mesh.ResetAll();
        const auto at = [](int x, int y) {
            return Vector3D{x * 0.25 - 1.5, y * 0.2 - 1.2, 0.3 * std::sin(x * 0.9) * std::cos(y * 0.7)};
        };
        const uint32_t colours[] = {0x2020E0, 0x20C020, 0xE02020};
        for (int y = 0; y < 12; ++y)
            for (int x = 0; x < 12; ++x)
                mesh.AddQuad(at(x, y), at(x + 1, y), at(x + 1, y + 1), at(x, y + 1),
                             colours[oneColour ? 1 : (x / 4 + y / 6) % 3]);
        if (!oneColour)
            mesh.FaceColor.Put(40, TColorTriple{{0x20C020, 0xFFFFFF, 0x20C020}});
        mesh.DataChanged();
        mesh.CalcNormals();
        mesh.ResetPose();
        mesh.Move(1.8, 0, 0);
        mesh.RotateBy(20, 0, 25);
        return mesh;
    }

    enum TDrawWay { dwOwnCorners, dwClientArrays, dwBufferObjects };

    // The mesh drawn one way or another into the viewer's framebuffer, under the viewer's
    // matrices, a light from the front, depth test and back-face culling.
    // `kept` holds the buffer objects from one call to the next; freed by the caller.
    std::vector<uint8_t> Pixels(TGLMesh& mesh, TDrawWay way, TGLMeshBuffers* kept = nullptr)
    {
        Viewer_->grabFramebuffer(); // a whole render, which records the mesh's model-view matrix
        Viewer_->makeCurrent();
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        Matrix4x4 projection;
        glGetDoublev(GL_PROJECTION_MATRIX, projection.Data());
        glPushAttrib(GL_ALL_ATTRIB_BITS);
        glEnable(GL_NORMALIZE);
        glEnable(GL_CULL_FACE);
        glEnable(GL_LIGHTING);
        glEnable(GL_LIGHT0);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        const float light[4] = {0.3f, 0.2f, 1, 0};
        glLightfv(GL_LIGHT0, GL_POSITION, light);
        ApplyRendererState(mesh);
        std::vector<uint32_t> indices;
        TGLMeshBuffers buffers;
        if (way == dwOwnCorners)
            DrawCornerByCorner(mesh, projection);
        else
            DrawMesh(mesh, projection, indices, way == dwBufferObjects ? (kept ? kept : &buffers) : nullptr);
        buffers.FreeAll();
        glPopAttrib();
        std::vector<uint8_t> pixels(size_t{4} * ViewWidth * ViewHeight);
        glReadPixels(0, 0, ViewWidth, ViewHeight, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
        EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
        Viewer_->doneCurrent();
        return pixels;
    }

    std::unique_ptr<TGLViewer> Viewer_;
};

TEST_F(GLObjectDrawTest, SharedVerticesDrawTheSamePixelsAsEachTrianglesOwnCorners)
{
    struct TCase {
        uint8_t Mode;
        double Transparency;
        bool OneColour;
    };
    const TCase cases[] = {{rmWire, 0, false},  {rmFlat, 0, false},  {rmSmooth, 0, false}, {rmFlat, 40, false},
                           {rmSmooth, 40, false}, {rmWire, 0, true}, {rmFlat, 0, true},    {rmSmooth, 40, true}};
    for (const TCase& c : cases) {
        TGLMesh& mesh = BumpyGrid(c.OneColour);
        EXPECT_EQ(mesh.IndexedArrays().OneColor, c.OneColour);
        mesh.SetRenderMode(c.Mode);
        mesh.Transparency = c.Transparency;
        const std::vector<uint8_t> own = Pixels(mesh, dwOwnCorners);
        const auto lit = std::count_if(own.begin(), own.end(), [](uint8_t b) { return b != 0 && b != 255; });
        EXPECT_GT(lit, ViewWidth * ViewHeight / 20) << "mode " << int(c.Mode) << ": too little of the mesh in view";
        std::vector<TOctTree::TItemRun> runs;
        mesh.OctTree.VisibleRuns(runs);
        EXPECT_GT(runs.size(), 1u) << "the view should hide some of the grid's cells between visible ones " << mesh.OctTree.VisibleItems().size() << " of " << mesh.OctTree.AllItems().size();
        for (const TDrawWay way : {dwClientArrays, dwBufferObjects}) {
            const std::vector<uint8_t> shared = Pixels(mesh, way);
            size_t differ = 0;
            for (size_t i = 0; i < own.size(); ++i)
                differ += own[i] != shared[i];
            EXPECT_EQ(differ, 0u) << "mode " << int(c.Mode) << ", transparency " << c.Transparency
                                  << (c.OneColour ? ", one colour" : "")
                                  << (way == dwBufferObjects ? ", buffer objects" : ", client arrays");
        }
    }
}

TEST_F(GLObjectDrawTest, BufferObjectsFollowTheMeshAfterAChange)
{
    TGLMeshBuffers kept;
    TGLMesh& mesh = BumpyGrid();
    mesh.SetRenderMode(rmSmooth);
    const std::vector<uint8_t> before = Pixels(mesh, dwBufferObjects, &kept);
    for (int32_t face = 0; face < mesh.TriangleCount(); face += 2)
        mesh.FaceColor.Put(face, TColorTriple{{0xFFFF00, 0xFFFF00, 0xFFFF00}});
    mesh.DataChanged();
    const std::vector<uint8_t> changed = Pixels(mesh, dwBufferObjects, &kept);
    EXPECT_NE(changed, before);
    EXPECT_EQ(changed, Pixels(mesh, dwClientArrays));
    mesh.SetRenderMode(rmWire);
    EXPECT_EQ(Pixels(mesh, dwBufferObjects, &kept), Pixels(mesh, dwClientArrays));
    Viewer_->makeCurrent();
    kept.FreeAll();
    Viewer_->doneCurrent();
}

} // namespace
} // namespace kv
