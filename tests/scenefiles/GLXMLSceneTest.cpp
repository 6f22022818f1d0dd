#include "scenefiles/GLXMLReader.h"
#include "scenefiles/GLXMLWriter.h"

#include "SceneFixtures.h"
#include "platform/KVError.h"
#include "support/TestData.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kv {
namespace {

using test::ExpectSameMeshes;
using test::FillAwkwardMesh;

// Everything a frame can hold, with values that differ from every default.
void BuildFullScene(TGLBaseFrame& base)
{
    base.SetName("BaseFrame");
    base.Position = {0.1, -2.5e-9, 3e20};
    TGLMesh& mesh = *base.Meshes().NewMesh();
    FillAwkwardMesh(mesh);
    mesh.SetName("Terrain Mesh");
    mesh.Orientation = {0.1, 0.2, 0.3, std::sqrt(1 - 0.14)};
    mesh.Position = {1.0 / 3.0, 2.0 / 7.0, -1e-300};
    mesh.ResetPos = {5, 6, 7};
    mesh.RotationCenter = {0.5, 0.25, 0.125};
    mesh.Scale3D = {2, 3, 4};
    mesh.FlyThrough = true;
    mesh.Animator.Keys.Add(TAnimationKey{{10, 20, 30}, {0.1, 0.2, 0.3}});
    mesh.Animator.Keys.Add(TAnimationKey{{-1, -2, -3}, {1.0 / 3.0, 0, 0}});
    mesh.DoAlphaBlend = true;
    mesh.Transparency = 25;
    mesh.LightEmission = {0.2f, 0.1f, 0.7f, 1};
    mesh.LightSpecular = {0.3f, 0.3f, 0.3f, 0.9f};
    mesh.LightShininess = 77.5f;
    mesh.SetRenderMode(rmSmooth);
    mesh.SetDoTwoSidedLighting(true);
    mesh.SetFrontColor(0x123456);
    TGLObjectTexture& texture = *mesh.Texture;
    texture.Width = 3;
    texture.Height = 5;
    for (int i = 0; i < 60; ++i)
        texture.Image.Add(static_cast<uint8_t>(i * 37 % 256));
    texture.Enabled = true;
    texture.TextureMode = tmComputed;
    texture.SetManualTextureMap(mmCylindrical);
    texture.SetScale({0.5, 2});
    texture.SetOffset({1.0 / 3.0, -4});
    texture.SetYaw(12.5);
    texture.SetSPlane({0.2f, 0.4f, 0.6f, 0.8f});
    texture.CubeMap->MapMode = cmReflectionMap;
    texture.CubeMap->TopMap.Width = 1;
    texture.CubeMap->TopMap.Height = 1;
    for (const uint8_t b : {uint8_t{1}, uint8_t{2}, uint8_t{3}, uint8_t{255}})
        texture.CubeMap->TopMap.Image.Add(b);
    texture.CubeMap->SetRPlane({0, 0, 0.5f, 1});
    texture.CubeMap->SetOffset({1, 2, 3});

    TGLMesh& empty = *base.Meshes().NewMesh();
    empty.SetName("Base Mesh");
    empty.RecalcExtents(); // as reading leaves it

    TGLLines& lines = *base.Lines().Lines(base.Lines().NewLines());
    for (int i = 0; i < 12; ++i)
        lines.AddSegment({double(i), 0.5, -1}, {double(i) / 7, 2, 3}, 0x00FF00u + uint32_t(i));
    lines.SetName("Grid lines");

    TGL3DString& text = *base.Strings().String(base.Strings().NewString());
    text.SetText("North\r\nPeak <&> \"quoted\"");
    text.Font.Name = "DejaVu Sans";
    text.Font.Bold = false;
    text.Font.Italic = true;
    text.Font.Height = 24;
    text.Font.SetDepth(0.5);
    text.Font.Color = 0x00AABB;
    text.SetJustify(jsRight);
    text.SetLineSpacing(0.25);
    text.SetShowLineBreaks(false);

    TGLFrame& outer = *base.Frames().Frame(base.Frames().NewFrame());
    outer.Position = {1, 2, 3};
    TGLFrame& inner = *outer.Frames().Frame(outer.Frames().NewFrame());
    inner.Orientation = {0, 0.6, 0, 0.8};
    inner.SetName("Inner frame");
    BuildTestFigure(*inner.Meshes().NewMesh(), stSoccerBall);
    outer.Frames().NewFrame();
}

void ExpectSameObjects(const TGLObject& a, const TGLObject& b)
{
    EXPECT_EQ(a.Name(), b.Name());
    EXPECT_EQ(a.Orientation, b.Orientation);
    EXPECT_EQ(a.Position, b.Position);
    EXPECT_EQ(a.ResetPos, b.ResetPos);
    EXPECT_EQ(a.RotationCenter, b.RotationCenter);
    EXPECT_EQ(a.Scale3D, b.Scale3D);
    EXPECT_EQ(a.FlyThrough, b.FlyThrough);
    ASSERT_EQ(a.Animator.Keys.Count(), b.Animator.Keys.Count());
    for (int32_t i = 0; i < a.Animator.Keys.Count(); ++i)
        EXPECT_EQ(a.Animator.Keys.Get(i), b.Animator.Keys.Get(i));
}

void ExpectSameRenderers(const TGLRenderer& a, const TGLRenderer& b)
{
    ExpectSameObjects(a, b);
    EXPECT_EQ(a.DoAlphaBlend, b.DoAlphaBlend);
    EXPECT_EQ(a.Transparency, b.Transparency);
    EXPECT_EQ(a.LightEmission, b.LightEmission);
    EXPECT_EQ(a.LightSpecular, b.LightSpecular);
    EXPECT_EQ(a.LightShininess, b.LightShininess);
    EXPECT_EQ(a.RenderMode(), b.RenderMode());
    EXPECT_EQ(a.DoTwoSidedLighting(), b.DoTwoSidedLighting());
    EXPECT_EQ(a.FrontColor(), b.FrontColor());
    EXPECT_EQ(a.BackColor(), b.BackColor());
    const TGLObjectTexture& ta = *a.Texture;
    const TGLObjectTexture& tb = *b.Texture;
    EXPECT_EQ(std::vector<uint8_t>(ta.Image.Items().begin(), ta.Image.Items().end()),
              std::vector<uint8_t>(tb.Image.Items().begin(), tb.Image.Items().end()));
    EXPECT_EQ(ta.Width, tb.Width);
    EXPECT_EQ(ta.Height, tb.Height);
    EXPECT_EQ(ta.Enabled, tb.Enabled);
    EXPECT_EQ(ta.TextureMode, tb.TextureMode);
    EXPECT_EQ(ta.ManualTextureMap(), tb.ManualTextureMap());
    EXPECT_EQ(ta.Scale(), tb.Scale());
    EXPECT_EQ(ta.Offset(), tb.Offset());
    EXPECT_EQ(ta.Yaw(), tb.Yaw());
    EXPECT_EQ(ta.SPlane(), tb.SPlane());
    EXPECT_EQ(ta.CubeMap->MapMode, tb.CubeMap->MapMode);
    EXPECT_EQ(ta.CubeMap->TopMap.Image.Count(), tb.CubeMap->TopMap.Image.Count());
    EXPECT_EQ(ta.CubeMap->RPlane(), tb.CubeMap->RPlane());
    EXPECT_EQ(ta.CubeMap->Offset(), tb.CubeMap->Offset());
}

TEST(GLXMLScene, WholeSceneReadsBackBitForBit)
{
    TGLBaseFrame original;
    BuildFullScene(original);
    test::TTempDir dir;
    SaveXMLScene(original, dir / "scene.txml");

    TGLBaseFrame copy;
    LoadXMLScene(copy, dir / "scene.txml");

    ExpectSameObjects(original, copy);
    ASSERT_EQ(copy.Meshes().Count(), 2);
    for (int32_t i = 0; i < 2; ++i) {
        ExpectSameMeshes(*original.Meshes().Mesh(i), *copy.Meshes().Mesh(i));
        ExpectSameRenderers(*original.Meshes().Mesh(i), *copy.Meshes().Mesh(i));
    }
    const TGLLines& lines = *copy.Lines().Lines(0);
    ExpectSameRenderers(*original.Lines().Lines(0), lines);
    ASSERT_EQ(lines.SegmentCount(), 12);
    EXPECT_EQ(lines.LineProperties.Count(), 12);
    EXPECT_EQ(lines.Vertices.Get(13), original.Lines().Lines(0)->Vertices.Get(13));
    EXPECT_EQ(lines.LineColor.Get(11), 0x00FF00 + 11);

    const TGL3DString& a = *original.Strings().String(0);
    const TGL3DString& b = *copy.Strings().String(0);
    ExpectSameRenderers(a, b);
    EXPECT_EQ(b.Text(), a.Text());
    EXPECT_EQ(b.Font.Name, "DejaVu Sans");
    EXPECT_TRUE(b.Font.Italic);
    EXPECT_FALSE(b.Font.Bold);
    EXPECT_EQ(b.Font.Height, 24);
    EXPECT_EQ(b.Font.Depth(), 0.5);
    EXPECT_EQ(b.GetColor(), 0x00AABBu);
    EXPECT_EQ(b.Justify(), jsRight);
    EXPECT_EQ(b.LineSpacing(), 0.25);
    EXPECT_FALSE(b.ShowLineBreaks());

    ASSERT_EQ(copy.Frames().Count(), 1);
    const TGLFrame& outer = *copy.Frames().Frame(0);
    ExpectSameObjects(*original.Frames().Frame(0), outer);
    ASSERT_EQ(outer.Frames().Count(), 2);
    ExpectSameObjects(*original.Frames().Frame(0)->Frames().Frame(0), *outer.Frames().Frame(0));
    ExpectSameMeshes(*original.Frames().Frame(0)->Frames().Frame(0)->Meshes().Mesh(0),
                     *outer.Frames().Frame(0)->Meshes().Mesh(0));

    // Written again, the copy gives the same text: nothing was lost or reinterpreted.
    EXPECT_EQ(XMLSceneText(copy), XMLSceneText(original));
}

TEST(GLXMLScene, EmptyFrameHasFourEmptyListsAndAddsNothing)
{
    TGLBaseFrame empty;
    const std::string text = XMLSceneText(empty);
    for (const char* list : {"GLMeshList", "GLLineList", "GLStringList3D", "GLFrameList"})
        EXPECT_NE(text.find(std::string("<") + list + " Count=\"0\" />"), std::string::npos) << list;
    EXPECT_NE(text.find("<OpenGLXML Version=\"1.0\">"), std::string::npos);
    EXPECT_NE(text.find("<GLFrame ID=\"BaseFrame\" Index=\"0\">"), std::string::npos);
    TGLBaseFrame target;
    target.Meshes().NewMesh();
    ReadXMLScene(target, text);
    EXPECT_EQ(target.Meshes().Count(), 1);
    EXPECT_EQ(target.Frames().Count(), 0);
}

// The text between an array element's tags.
std::string ArrayText(const std::string& document, const std::string& tag, const std::string& attributes = "")
{
    const size_t open = document.find("<" + tag + attributes);
    const size_t start = document.find('>', open) + 1;
    return document.substr(start, document.find("</" + tag, start) - start);
}

TEST(GLXMLScene, ArraysAreLaidOutInIndentedLines)
{
    TGLBaseFrame base;
    TGLMesh& mesh = *base.Meshes().NewMesh();
    for (int i = 0; i < 25; ++i)
        mesh.AddTriangle({0, 0, 0}, {1, 0, 0}, {0, 1, 0}, 0x0000FF);
    const std::string text = XMLSceneText(base);
    // Vertices: GLMesh, GLMeshList, GLFrame, OpenGLXML and the document above the array element.
    const std::string indent(12, ' ');
    const std::string faceNormals = ArrayText(text, "Vector3DArray", " Count=\"25\"");
    std::vector<std::string> lines;
    for (size_t start = 0; start <= faceNormals.size();) {
        const size_t end = faceNormals.find("\r\n", start);
        if (end == std::string::npos) {
            lines.push_back(faceNormals.substr(start));
            break;
        }
        lines.push_back(faceNormals.substr(start, end - start));
        start = end + 2;
    }
    ASSERT_EQ(lines.size(), 5u); // empty first line, 10, 10, 5, and the text ends in a line break
    EXPECT_EQ(lines[0], "");
    EXPECT_EQ(lines[1].substr(0, 18), indent + "0,0,1,");
    EXPECT_EQ(lines[1].back(), ',');
    EXPECT_EQ(lines[2].back(), ',');
    EXPECT_EQ(lines[3], indent + std::string("0,0,1,0,0,1,0,0,1,0,0,1,0,0,1"));
    EXPECT_EQ(lines[4], "");

    const std::string colors = ArrayText(text, "ColorArray");
    EXPECT_EQ(colors.substr(0, 2 + indent.size() + 12), "\r\n" + indent + "255,255,255,");
    EXPECT_EQ(std::count(colors.begin(), colors.end(), '\n'), 3);
    EXPECT_NE(colors.back(), '\n');
}

TEST(GLXMLScene, SinglePrecisionValuesAndShortFloats)
{
    TGLBaseFrame base;
    TGLMesh& mesh = *base.Meshes().NewMesh();
    mesh.LightSpecular = {0.2f, 0.5f, 0.5f, 1};
    mesh.Transparency = 0.0000015;
    const std::string text = XMLSceneText(base);
    EXPECT_NE(text.find("<Float4>0.200000002980232239,0.5,0.5,1</Float4>"), std::string::npos);
    EXPECT_NE(text.find("<Float>1.5E-6</Float>"), std::string::npos);
}

TEST(GLXMLScene, ProgressRestartsForEveryArray)
{
    TGLBaseFrame base;
    TGLMesh& mesh = *base.Meshes().NewMesh();
    for (int i = 0; i < 400; ++i)
        mesh.AddTriangle({0, 0, 0}, {1, 0, 0}, {0, 1, 0}, 0xFFFFFF);
    std::vector<int32_t> written;
    const std::string text = XMLSceneText(base, [&](int32_t p) { written.push_back(p); });
    // The mesh list (item 0), vertices (0, 500, 1000 of 1200), face normals (0), vertex
    // normals (0, 500, 1000), face colours (0), the other three lists are empty; the bytes of
    // the empty texture report nothing.
    EXPECT_EQ(written, (std::vector<int32_t>{0, 0, 42, 83, 0, 0, 42, 83, 0}));
    std::vector<int32_t> read;
    TGLBaseFrame copy;
    ReadXMLScene(copy, text, [&](int32_t p) { read.push_back(p); });
    EXPECT_EQ(read, written);
}

TEST(GLXMLScene, StylesAndLenientValues)
{
    const std::string text = R"(<OpenGLXML><GLFrame>
      <GLObject><FlyThrough><Boolean>tRuE</Boolean></FlyThrough><Name><String></String></Name>
        <Scale><Float>2</Float></Scale></GLObject>
      <GLStringList3D Count="2">
        <GL3DString><Font3D><SystemFont><Style><String>fsBold,fsItalic</String></Style></SystemFont></Font3D>
          <GLRenderer><GLObject><FlyThrough><Boolean>7</Boolean></FlyThrough></GLObject></GLRenderer></GL3DString>
        <Comment/>
        <GL3DString><Font3D><SystemFont><Style><String></String></Style></SystemFont></Font3D>
          <GLRenderer><Animator><Array Count="1"><AnimationKey><Position><Vector3D>1,2,3</Vector3D></Position>
            <Rotation><Vector3D>4,5,6</Vector3D></Rotation></AnimationKey></Array></Animator></GLRenderer>
        </GL3DString>
      </GLStringList3D></GLFrame></OpenGLXML>)";
    TGLBaseFrame base;
    base.SetName("before");
    ReadXMLScene(base, text);
    EXPECT_TRUE(base.FlyThrough);
    EXPECT_EQ(base.Name(), "");
    EXPECT_EQ(base.Scale3D, (Vector3D{2, 2, 2}));
    // The comment element counts toward Count: the second string is never reached.
    ASSERT_EQ(base.Strings().Count(), 1);
    const TGL3DString& first = *base.Strings().String(0);
    EXPECT_TRUE(first.Font.Bold);
    EXPECT_TRUE(first.Font.Italic);
    EXPECT_TRUE(first.FlyThrough);
}

TEST(GLXMLScene, RendererAnimatorAndRegularStyle)
{
    const std::string text = R"(<OpenGLXML><GLFrame><GLStringList3D Count="1">
        <GL3DString><Font3D><SystemFont><Style><String></String></Style></SystemFont></Font3D>
          <GLRenderer><Animator><Array Count="1"><AnimationKey><Position><Vector3D>1,2,3</Vector3D></Position>
            <Rotation><Vector3D>4,5,6</Vector3D></Rotation></AnimationKey></Array></Animator></GLRenderer>
        </GL3DString></GLStringList3D></GLFrame></OpenGLXML>)";
    TGLBaseFrame base;
    ReadXMLScene(base, text);
    const TGL3DString& s = *base.Strings().String(0);
    EXPECT_FALSE(s.Font.Bold);
    EXPECT_FALSE(s.Font.Italic);
    ASSERT_EQ(s.Animator.Keys.Count(), 1);
    EXPECT_EQ(s.Animator.Keys.Get(0).Position, (Vector3D{1, 2, 3}));
    EXPECT_EQ(s.Animator.Keys.Get(0).Rotation, (Vector3D{4, 5, 6}));
}

struct TBadScene {
    const char* Name;
    std::string Text;
    std::string Message;
    int32_t MeshesLeft;
};

// A document of a base frame whose mesh list holds `meshes`.
std::string WithMeshes(int count, const std::string& meshes)
{
    return "<OpenGLXML><GLFrame><GLMeshList Count=\"" + std::to_string(count) + "\">" + meshes +
           "</GLMeshList></GLFrame></OpenGLXML>";
}

std::string Frame(const std::string& inside)
{
    return "<OpenGLXML><GLFrame>" + inside + "</GLFrame></OpenGLXML>";
}

TEST(GLXMLScene, FailuresNameWhatWasExpected)
{
    const std::string mesh = "<GLMesh/>";
    const std::vector<TBadScene> cases = {
        {"no node at all", "", "Empty OpenGL File", 0},
        {"root without a child", "<OpenGLXML Version=\"1.0\"/>",
         "The scene file's root element OpenGLXML holds no frame", 0},
        {"not XML", "<OpenGLXML><GLFrame></OpenGLXML>",
         "The scene file is not valid XML: Start-end tags mismatch at byte 22", 0},
        {"empty mesh list", WithMeshes(2, ""), "Empty Mesh list. Expected: 2", 0},
        {"empty line list", Frame("<GLLineList Count=\"1\"/>"), "Empty Line list. Expected: 1", 0},
        {"empty string list", Frame("<GLStringList3D Count=\"3\"/>"), "Empty 3D String list. Expected: 3", 0},
        {"empty frame list", Frame("<GLFrameList Count=\"1\"/>"), "Empty Frame list. Expected: 1", 0},
        {"meshes run out", WithMeshes(2, mesh), "Expected 2Meshes. Found: 1", 1},
        {"lines run out", Frame("<GLLineList Count=\"2\"><GLLines/></GLLineList>"), "Expected 2Lines. Found: 1", 0},
        {"strings run out", Frame("<GLStringList3D Count=\"2\"><X/></GLStringList3D>"),
         "Expected 2 3D Strings. Found: 1", 0},
        {"frames run out", Frame("<GLFrameList Count=\"3\"><GLFrame/><GLFrame/></GLFrameList>"),
         "Expected 3 Frames. Found: 2", 0},
        {"wrong value type", Frame("<GLObject><Position><Float>1</Float></Position></GLObject>"),
         "Expected Vector3D. Found: Float", 0},
        {"property without value", Frame("<GLObject><Position/></GLObject>"),
         "The property Position holds no Vector3D value", 0},
        {"wrong array type", WithMeshes(1, "<GLMesh><Vertices><ColorArray Count=\"0\"/></Vertices></GLMesh>"),
         "Expected: Vector3DArray. Found: ColorArray", 1},
        {"array property without array", WithMeshes(1, "<GLMesh><FaceColor/></GLMesh>"),
         "The property FaceColor holds no ColorArray", 1},
        {"missing Count", WithMeshes(1, "<GLMesh><Vertices><Vector3DArray>1,2,3</Vector3DArray></Vertices></GLMesh>"),
         "'' is not a valid integer value", 1},
        {"too few numbers",
         WithMeshes(1, "<GLMesh><Vertices><Vector3DArray Count=\"2\">1,2,3,4,5</Vector3DArray></Vertices></GLMesh>"),
         "The Vector3DArray holds fewer numbers than its Count needs", 1},
        {"not a number", Frame("<GLObject><Scale><Float>two</Float></Scale></GLObject>"), "Float", 0},
        {"not a byte",
         WithMeshes(1, "<GLMesh><GLRenderer><Texture><Image><ByteArray Count=\"1\">256</ByteArray>"
                       "</Image></Texture></GLRenderer></GLMesh>"),
         "A ByteArray holds 256, which is not a byte", 1},
        {"picture smaller than its size",
         WithMeshes(
             1, "<GLMesh><GLRenderer><Texture><Width><Integer>2</Integer></Width><Height><Integer>1</Integer>"
                "</Height><Image><ByteArray Count=\"4\">1,2,3,4</ByteArray></Image></Texture></GLRenderer></GLMesh>"),
         "The texture holds 4 bytes, but 2 x 1 RGBA pixels take 8", 1},
        {"frames nested too deep", [] {
             std::string frames;
             for (int i = 0; i < 250; ++i)
                 frames += "<GLFrameList Count=\"1\"><GLFrame>";
             for (int i = 0; i < 250; ++i)
                 frames += "</GLFrame></GLFrameList>";
             return Frame(frames);
         }(),
         "Frames nested more than 200 deep", 0},
        {"key missing", Frame("<GLObject><Animator><Array Count=\"1\"><Key/></Array></Animator></GLObject>"),
         "Expected: AnimationKey. Found: Key", 0},
        {"position missing",
         Frame("<GLObject><Animator><Array Count=\"1\"><AnimationKey><Rotation/></AnimationKey></Array></Animator>"
               "</GLObject>"),
         "Expected: Position. Found: Rotation", 0},
        {"rotation missing",
         Frame("<GLObject><Animator><Array Count=\"1\"><AnimationKey><Position><Vector3D>0,0,0</Vector3D>"
               "</Position><Scale/></AnimationKey></Array></Animator></GLObject>"),
         "Expected: Rotation. Found: Scale", 0},
        {"mesh lists that do not fit",
         WithMeshes(1, "<GLMesh><Vertices><Vector3DArray Count=\"3\">0,0,0,1,0,0,0,1,0</Vector3DArray></Vertices>"
                       "</GLMesh>"),
         "The mesh Mesh-0 has 3 vertices, 0 face normals, 0 vertex normals and 0 face colours, which do not fit "
         "together (three vertices to a face)",
         1},
    };
    for (const TBadScene& c : cases) {
        TGLBaseFrame base;
        try {
            ReadXMLScene(base, c.Text);
            ADD_FAILURE() << c.Name << ": no error";
        } catch (const EKorvelaError& e) {
            EXPECT_NE(std::string(e.what()).find(c.Message), std::string::npos) << c.Name << ": " << e.what();
        }
        EXPECT_EQ(base.Meshes().Count(), c.MeshesLeft) << c.Name;
    }
}

TEST(GLXMLScene, FailedSaveKeepsTheOldFile)
{
    test::TTempDir dir;
    const auto target = dir / "scene.txml";
    test::WriteFileText(target, "old");
    std::filesystem::create_directory(dir / "folder.txml");
    TGLBaseFrame base;
    EXPECT_THROW(SaveXMLScene(base, dir / "folder.txml"), EKorvelaError);
    EXPECT_THROW(LoadXMLScene(base, dir / "missing.txml"), EKorvelaError);
    SaveXMLScene(base, target);
    EXPECT_NE(test::ReadFileText(target), "old");
}

} // namespace
} // namespace kv
