// Textures, 3D text, lines and the culling grid as Mesa draws them under a virtual display: pixels
// read back from the viewer's framebuffer.

#include "glview/GLViewer.h"

#include "gl/GLCubeMap.h"
#include "platform/Bitmap.h"

#include <QTest>

#include <GL/gl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>

namespace kv {
namespace {

constexpr int ViewWidth = 320;
constexpr int ViewHeight = 240;
// At the camera's distance of 10, one scene unit spans 100 pixels.
constexpr int PixelsPerUnit = 100;

QPoint PixelOf(double x, double y)
{
    return {ViewWidth / 2 + static_cast<int>(x * PixelsPerUnit), ViewHeight / 2 - static_cast<int>(y * PixelsPerUnit)};
}

class GLSceneObjectsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Viewer_ = std::make_unique<TGLViewer>();
        Viewer_->setFixedSize(ViewWidth, ViewHeight);
        QObject::connect(Viewer_.get(), &TGLViewer::DisplayChange, [this] {
            if (const GLenum error = glGetError(); error != GL_NO_ERROR)
                GLErrors_.push_back(error);
        });
        Viewer_->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(Viewer_.get()));
        EXPECT_TRUE(QTest::qWaitFor([&] { return Viewer_->FrameCount() > 0; }));
        // Light from straight ahead, so faces towards the eye show their own colour.
        Viewer_->Lights()[0].LightPosition = {0, 0, 20, 1};
    }
    void TearDown() override { EXPECT_TRUE(GLErrors_.empty()) << "OpenGL error 0x" << std::hex << GLErrors_.front(); }

    QImage Frame() { return Viewer_->grabFramebuffer().convertToFormat(QImage::Format_RGB32); }
    TGLMesh& Mesh() { return *Viewer_->FirstMesh(); }
    TGL3DString& Text() { return *Viewer_->BaseFrame().Strings().String(0); }
    TGLLines& Lines() { return *Viewer_->BaseFrame().Lines().Lines(0); }

    // A white square from (-1, -1) to (1, 1) facing the eye.
    void WhiteSquare()
    {
        Mesh().ResetAll();
        Mesh().AddQuad({-1, -1, 0}, {1, -1, 0}, {1, 1, 0}, {-1, 1, 0}, 0xFFFFFF);
        Mesh().CalcNormals();
        Mesh().ResetPose();
    }

    std::unique_ptr<TGLViewer> Viewer_;
    std::vector<GLenum> GLErrors_;
};

bool Reddish(QRgb p)
{
    return qRed(p) > 120 && qRed(p) > 2 * qGreen(p) && qRed(p) > 2 * qBlue(p);
}
bool Greenish(QRgb p)
{
    return qGreen(p) > 120 && qGreen(p) > 2 * qRed(p) && qGreen(p) > 2 * qBlue(p);
}
bool Whitish(QRgb p)
{
    return qRed(p) > 150 && qGreen(p) > 150 && qBlue(p) > 150;
}

// An 8 x 8 picture, red in its left half and green in its right half.
TBitmap RedGreenPicture()
{
    TBitmap bitmap(8, 8, pf24bit);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            bitmap.SetPixel(x, y, x < 4 ? 0x0000FF : 0x00FF00);
    return bitmap;
}

void FillFace(TGLBaseBitmap& face, TColor color)
{
    TBitmap bitmap(4, 4, pf24bit);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            bitmap.SetPixel(x, y, color);
    face.LoadFromBitmap(bitmap);
}

int CountPixels(const QImage& image, const std::function<bool(QRgb)>& test)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += test(image.pixel(x, y)) ? 1 : 0;
    return n;
}

TEST_F(GLSceneObjectsTest, TextureShowsItsPictureInEachMode)
{
    const struct {
        const char* Name;
        std::function<void(TGLObjectTexture&)> Setup;
        std::function<bool(QRgb)> Left;
        std::function<bool(QRgb)> Right;
    } rows[] = {
        {"computed planar coordinates",
         [](TGLObjectTexture& t) {
             t.TextureMode = tmComputed;
             t.SetScale({0.5, 0.5});
             t.SetOffset({-0.5, -0.5}); // s = x/2 + 1/2
         },
         Reddish, Greenish},
        {"generated object-linear coordinates",
         [](TGLObjectTexture& t) {
             t.TextureMode = tmGenerated;
             t.SetScale({0.5, 0.5});
             t.SetOffset({1, 1}); // s = (x + 1)/2
         },
         Reddish, Greenish},
        {"cube map",
         [](TGLObjectTexture& t) {
             t.TextureMode = tmCubeMap;
             TGLCubeMap& cube = *t.CubeMap;
             for (TGLBaseBitmap* face : cube.Faces())
                 FillFace(*face, 0xFF0000);
             FillFace(cube.LeftMap, 0x0000FF);  // +x
             FillFace(cube.RightMap, 0x00FF00); // -x
         },
         Greenish, Reddish},
        {"texture switched off", [](TGLObjectTexture& t) { t.Enabled = false; }, Whitish, Whitish},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.Name);
        WhiteSquare();
        TGLObjectTexture& texture = *Mesh().Texture;
        texture.LoadFromBitmap(RedGreenPicture());
        texture.Enabled = true;
        row.Setup(texture);
        const QImage image = Frame();
        const QPoint left = PixelOf(-0.7, 0.1);
        const QPoint right = PixelOf(0.7, 0.1);
        EXPECT_TRUE(row.Left(image.pixel(left))) << std::hex << image.pixel(left);
        EXPECT_TRUE(row.Right(image.pixel(right))) << std::hex << image.pixel(right);
    }
}

TEST_F(GLSceneObjectsTest, ChangedPictureIsUploadedAgain)
{
    WhiteSquare();
    TGLObjectTexture& texture = *Mesh().Texture;
    texture.LoadFromBitmap(RedGreenPicture());
    texture.Enabled = true;
    ASSERT_TRUE(Reddish(Frame().pixel(PixelOf(0.2, 0.2))));
    EXPECT_TRUE(texture.Uploaded);
    TBitmap green(2, 2, pf24bit);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 2; ++x)
            green.SetPixel(x, y, 0x00FF00);
    texture.LoadFromBitmap(green);
    EXPECT_TRUE(Greenish(Frame().pixel(PixelOf(0.2, 0.2))));
}

TEST_F(GLSceneObjectsTest, TextDrawsInItsColourFromTheFrontAndFromBehind)
{
    TGL3DString& text = Text();
    text.SetText("HI");
    text.SetColor(0x0000FF); // red
    text.SetScale(1.5);
    const QImage front = Frame();
    ASSERT_TRUE(text.Font.Built());
    const int frontPixels = CountPixels(front, Reddish);
    // The letters are centred on the origin: the middle of "H"'s crossbar lies left of the centre.
    EXPECT_GT(frontPixels, 1000);
    EXPECT_EQ(CountPixels(front, Greenish), 0);
    const TGL3DLayout layout = text.Layout();
    EXPECT_GT(layout.LineHeight, 0.5);
    EXPECT_LT(layout.LineHeight, 1.0);

    // Turned around, the back faces (wound towards -z) face the eye and are not culled.
    text.RotateBy(0, 180, 0);
    EXPECT_GT(CountPixels(Frame(), Reddish), frontPixels / 2);

    // Edge on, only the side walls show.
    text.ResetPose();
    text.SetScale(1.5);
    text.RotateBy(0, 90, 0);
    const int walls = CountPixels(Frame(), [](QRgb p) { return qRed(p) > 40; });
    EXPECT_GT(walls, 100);
    EXPECT_LT(walls, frontPixels / 2);

    text.ResetPose();
    text.SetScale(1.5);
    text.SetRenderMode(rmWire);
    const int outline = CountPixels(Frame(), Reddish);
    EXPECT_GT(outline, 100);
    EXPECT_LT(outline, frontPixels * 3 / 4);

    text.SetText("");
    EXPECT_EQ(CountPixels(Frame(), [](QRgb p) { return (p & 0xFFFFFF) != 0; }), 0);
}

TEST_F(GLSceneObjectsTest, TextFollowsAChangedDepth)
{
    TGL3DString& text = Text();
    text.SetText("I");
    text.SetColor(0x0000FF);
    text.RotateBy(0, 90, 0);
    const int thin = CountPixels(Frame(), [](QRgb p) { return qRed(p) > 40; });
    text.Font.SetDepth(1.0);
    const int thick = CountPixels(Frame(), [](QRgb p) { return qRed(p) > 40; });
    EXPECT_GT(thick, thin * 3);
}

TEST_F(GLSceneObjectsTest, LinesDrawInTheirColourWidthAndStipple)
{
    TGLLines& lines = Lines();
    lines.AddSegment({-1, 0.5, 0}, {1, 0.5, 0}, 0x00FF00, 3);
    TLineProperty dashed;
    dashed.Width = 1;
    dashed.StippleOn = true;
    dashed.Pattern = 0x00FF;
    dashed.Factor = 2;
    lines.AddSegment({-1, -0.5, 0}, {1, -0.5, 0}, 0x0000FF, dashed);
    lines.AddSegment({-1, 0, 0}, {1, 0, 0}, 0xFF0000, 0); // no width: drawn one pixel wide
    const QImage image = Frame();
    int solidColumns = 0;
    int dashedColumns = 0;
    int blueColumns = 0;
    for (int x = PixelOf(-0.9, 0).x(); x <= PixelOf(0.9, 0).x(); ++x) {
        int greenRows = 0;
        for (int y = PixelOf(0, 0.5).y() - 4; y <= PixelOf(0, 0.5).y() + 4; ++y)
            greenRows += Greenish(image.pixel(x, y)) ? 1 : 0;
        solidColumns += greenRows == 3 ? 1 : 0;
        bool red = false;
        for (int y = PixelOf(0, -0.5).y() - 2; y <= PixelOf(0, -0.5).y() + 2; ++y)
            red = red || Reddish(image.pixel(x, y));
        dashedColumns += red ? 1 : 0;
        bool blue = false;
        for (int y = ViewHeight / 2 - 2; y <= ViewHeight / 2 + 2; ++y)
            blue = blue || qBlue(image.pixel(x, y)) > 150;
        blueColumns += blue ? 1 : 0;
    }
    const int columns = PixelOf(0.9, 0).x() - PixelOf(-0.9, 0).x() + 1;
    EXPECT_GE(solidColumns, columns - 2);
    EXPECT_GT(dashedColumns, columns / 3);
    EXPECT_LT(dashedColumns, columns * 2 / 3);
    EXPECT_GE(blueColumns, columns - 2);
}

TEST_F(GLSceneObjectsTest, CulledGridCellIsLeftOutWhileAStraddlingFaceStays)
{
    TGLMesh& mesh = Mesh();
    mesh.ResetAll();
    // A small face in the view, a small face far off to the upper right and nearer the eye, and a
    // long face from far left to far right across the bottom of the view, which the grid files
    // among the straddlers. The small faces each lie inside one cell.
    const int32_t inView =
        mesh.AddTriangle(Vector3D{0.5, 0.2, 0}, Vector3D{0.9, 0.2, 0}, Vector3D{0.7, 0.6, 0}, 0xFFFFFF);
    const int32_t farAway =
        mesh.AddTriangle(Vector3D{19.6, 19.6, 1}, Vector3D{20, 19.6, 1}, Vector3D{19.8, 20, 1}, 0xFFFFFF);
    const int32_t straddler =
        mesh.AddTriangle(Vector3D{-20, -0.8, 0}, Vector3D{20, -0.8, 0}, Vector3D{20, -0.5, 0}, 0xFFFFFF);
    mesh.CalcNormals();
    mesh.ResetPose();
    const QImage before = Frame();
    EXPECT_TRUE(Whitish(before.pixel(PixelOf(0.7, 0.3))));
    EXPECT_TRUE(Whitish(before.pixel(PixelOf(0.5, -0.7))));

    Viewer_->makeCurrent();
    Matrix4x4 projection;
    glGetDoublev(GL_PROJECTION_MATRIX, projection.Data());
    Viewer_->doneCurrent();
    const std::vector<int32_t> drawn = mesh.DrawOrder(mesh.ModelMatrix, projection);
    EXPECT_NE(std::find(drawn.begin(), drawn.end(), inView), drawn.end());
    EXPECT_EQ(std::find(drawn.begin(), drawn.end(), farAway), drawn.end());
    EXPECT_NE(std::find(drawn.begin(), drawn.end(), straddler), drawn.end());

    // Moved 10 units left the small face's cell leaves the view; the long face still crosses it.
    mesh.Move(-10, 0, 0);
    const QImage after = Frame();
    EXPECT_FALSE(Whitish(after.pixel(PixelOf(0.7, 0.3))));
    EXPECT_TRUE(Whitish(after.pixel(PixelOf(0.5, -0.7))));
    const std::vector<int32_t> drawnAfter = mesh.DrawOrder(mesh.ModelMatrix, projection);
    EXPECT_EQ(std::find(drawnAfter.begin(), drawnAfter.end(), inView), drawnAfter.end());
    EXPECT_NE(std::find(drawnAfter.begin(), drawnAfter.end(), straddler), drawnAfter.end());
}

} // namespace
} // namespace kv
