#include "scenefiles/GLXFileBinToText.h"
#include "scenefiles/GLXFileReader.h"
#include "scenefiles/GLXFileWriter.h"
#include "scenefiles/Hash.h"

#include "SceneFixtures.h"
#include "XFileBuilder.h"
#include "platform/KVError.h"
#include "support/TestData.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace kv {
namespace {

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    EXPECT_EQ(start, text.size()) << "every line ends in CR LF";
    return lines;
}

TEST(GLXFileWriter, EmptyListGivesTheHeaderAlone)
{
    TGLBaseFrame base;
    EXPECT_EQ(Lines(XFileText(base)),
              (std::vector<std::string>{"xof 0302txt 0064", "", "Header {", " 1;", " 0;", " 0;", "}"}));
}

TEST(GLXFileWriter, OneTriangleMesh)
{
    TGLBaseFrame base;
    TGLMesh& mesh = *base.Meshes().NewMesh();
    mesh.AddTriangle({0, 0, 2}, {1, 0, 2}, {0, 1, 2}, 0x0000FF);
    mesh.CalcNormals(true);
    const std::vector<std::string> lines = Lines(XFileText(base));
    const std::vector<std::string> expected = {"xof 0302txt 0064",
                                               "",
                                               "Header {",
                                               " 1;",
                                               " 0;",
                                               " 0;",
                                               "}",
                                               "",
                                               "Mesh Mesh-0 {",
                                               " 3;",
                                               " 0.000000;0.000000;-2.000000;,",
                                               " 1.000000;0.000000;-2.000000;,",
                                               " 0.000000;1.000000;-2.000000;;",
                                               " 1;",
                                               " 3;2,1,0;;",
                                               " ",
                                               " MeshMaterialList {",
                                               "  1;",
                                               "  1;",
                                               "  0;",
                                               "  ",
                                               "  Material {",
                                               "   1.000000;0.000000;0.000000;1.000000;;",
                                               "   10.000000;",
                                               "   0.500000;0.500000;0.500000;;",
                                               "   0.000000;0.000000;0.000000;;",
                                               "  }",
                                               " }",
                                               " ",
                                               " MeshNormals {",
                                               "  3;",
                                               "  0.000000;0.000000;-1.000000;,",
                                               "  0.000000;0.000000;-1.000000;,",
                                               "  0.000000;0.000000;-1.000000;;",
                                               "  1;",
                                               "  3;2,1,0;;",
                                               " }",
                                               "}"};
    EXPECT_EQ(lines, expected);
}

TEST(GLXFileWriter, OneMaterialPerDistinctColourInOrderOfFirstUse)
{
    TGLBaseFrame base;
    TGLMesh& mesh = *base.Meshes().NewMesh();
    mesh.SetName("Terrain Mesh");
    for (uint32_t color : {0x0000FFu, 0x00FF00u, 0x0000FFu, 0x000002u})
        mesh.AddTriangle({0, 0, 0}, {1, 0, 0}, {0, 1, 0}, color);
    mesh.VertexNormals.Clear();
    const std::string text = XFileText(base);
    // Other readers end a name at a blank: the blank becomes "_".
    EXPECT_NE(text.find("\r\nMesh Terrain_Mesh {\r\n"), std::string::npos);
    EXPECT_NE(text.find("  3;\r\n  4;\r\n  0;\r\n  1;\r\n  0;\r\n  2;\r\n"), std::string::npos);
    EXPECT_NE(text.find("   0.007843;0.000000;0.000000;1.000000;;"), std::string::npos);
    // Without one normal per corner the normals block would point past its normals.
    EXPECT_EQ(text.find("MeshNormals"), std::string::npos);
}

TEST(GLXFileWriter, OnlyTheBaseFramesOwnMeshesWithoutPoses)
{
    TGLBaseFrame base;
    TGLMesh& mesh = *base.Meshes().NewMesh();
    BuildTestFigure(mesh, stTorus);
    const std::string before = XFileText(base);
    base.Position = {5, 6, 7};
    base.RotateBy(10, 20, 30);
    mesh.Position = {1, 1, 1};
    BuildTestFigure(*base.Frames().Frame(base.Frames().NewFrame())->Meshes().NewMesh(), stSoccerBall);
    EXPECT_EQ(XFileText(base), before);
}

TEST(GLXFileWriter, ColourTableNumbersKeysInOrderOfAddition)
{
    TIntegerHashTable table;
    // More keys than buckets, so chains are walked.
    for (uint32_t i = 0; i < 5000; ++i)
        EXPECT_EQ(table.Add(i * 7919u), int32_t(i));
    for (uint32_t i = 0; i < 5000; i += 7)
        EXPECT_EQ(table.Find(i * 7919u), int32_t(i));
    EXPECT_EQ(table.Find(3), -1);
    EXPECT_EQ(table.Key(42), 42u * 7919u);
    table.Clear();
    EXPECT_EQ(table.Count(), 0);
    EXPECT_EQ(table.Find(0), -1);
    EXPECT_LT(TIntegerHashTable::Bucket(0xFFFFFFFF), 2048u);
}

TEST(GLXFile, WrittenTerrainReadsBackIntoTheSameMeshes)
{
    TGLBaseFrame original;
    TGLMesh& terrain = *original.Meshes().NewMesh();
    test::FillAwkwardMesh(terrain);
    terrain.SetName("Terrain");
    TGLMesh& baseMesh = *original.Meshes().NewMesh();
    BuildTestFigure(baseMesh, stSoccerBall);
    baseMesh.SetName("Base");
    test::TTempDir dir;
    SaveXFile(original, dir / "scene.x");

    TGLBaseFrame copy;
    copy.Meshes().NewMesh()->SetRenderMode(rmSmooth);
    copy.Meshes().NewMesh();
    LoadXFile(copy, dir / "scene.x");
    ASSERT_EQ(copy.Meshes().Count(), 2);
    EXPECT_EQ(copy.Meshes().Mesh(0)->RenderMode(), rmSmooth);
    for (int32_t m = 0; m < 2; ++m) {
        const TGLMesh& a = *original.Meshes().Mesh(m);
        const TGLMesh& b = *copy.Meshes().Mesh(m);
        EXPECT_EQ(b.Name(), a.Name());
        ASSERT_EQ(b.Vertices.Count(), a.Vertices.Count());
        ASSERT_EQ(b.VertexNormals.Count(), a.VertexNormals.Count());
        for (int32_t i = 0; i < a.Vertices.Count(); ++i) {
            // Six decimals: the z of the awkward mesh is near 1.2e6, so its last digit is 5e-7.
            const Vector3D va = a.Vertices.Get(i), vb = b.Vertices.Get(i);
            ASSERT_NEAR(vb.x, va.x, 5.1e-7) << i;
            ASSERT_NEAR(vb.y, va.y, 5.1e-7) << i;
            ASSERT_NEAR(vb.z, va.z, 5.1e-7) << i;
            const Vector3D na = a.VertexNormals.Get(i), nb = b.VertexNormals.Get(i);
            ASSERT_NEAR(nb.x, na.x, 5.1e-7) << i;
            ASSERT_NEAR(nb.z, na.z, 5.1e-7) << i;
        }
        for (int32_t f = 0; f < a.FaceCount(); ++f)
            ASSERT_EQ(b.FaceColor.Get(f),
                      (TColorTriple{{a.FaceColor.FaceColor(f), a.FaceColor.FaceColor(f), a.FaceColor.FaceColor(f)}}))
                << f;
    }
}

std::string XText(const std::string& body)
{
    return "xof 0302txt 0032\n" + body;
}

TEST(GLXFileReader, NamesTriangulationFramesAndReuse)
{
    const std::string text = XText(R"(
template Mesh { <3D82AB44-62DA-11cf-AB39-0020AF71E433> DWORD nVertices; }
# a comment { with braces
Mesh {
  5; 0;0;0;, 1;0;0;, 1;1;0;, 0;1;0;, 0.5;2;0;;
  2; 4;0,1,2,3;, 5;0,1,2,3,4;;
}
Frame Outer {
  FrameTransformMatrix { 1,0,0,0, 0,1,0,0, 0,0,1,0, 10,0,0,1;; }
  Mesh Terrain Mesh { 3; 1;2;3;, 0;0;0;, 1;0;0;; 1; 3;0,1,2;; }
}
Mesh { 3; 1;2;3;, 0;0;0;, 1;0;0;; 1; 3;0,1,2;; }
)");
    TGLBaseFrame base;
    base.Meshes().NewMesh();
    base.Meshes().NewMesh();
    ReadXFile(base, text);
    ASSERT_EQ(base.Meshes().Count(), 3);
    const TGLMesh& first = *base.Meshes().Mesh(0);
    EXPECT_EQ(first.Name(), "Mesh0");
    // Quad 0,1,2,3: (3,2,0), (2,1,0); pentagon: (0,2,1), (0,3,2), (0,4,3).
    const std::vector<Vector3D> p = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {0.5, 2, 0}};
    const std::vector<int> corners = {3, 2, 0, 2, 1, 0, 0, 2, 1, 0, 3, 2, 0, 4, 3};
    ASSERT_EQ(first.Vertices.Count(), 15);
    for (size_t i = 0; i < corners.size(); ++i)
        EXPECT_EQ(first.Vertices.Get(int32_t(i)), p[size_t(corners[i])]) << i;
    EXPECT_EQ(first.VertexNormals.Count(), 15);
    EXPECT_EQ(first.GetColor(), 0xFFFFFFu);

    const TGLMesh& framed = *base.Meshes().Mesh(1);
    EXPECT_EQ(framed.Name(), "Terrain");
    EXPECT_EQ(framed.Vertices.Get(2), (Vector3D{11, 2, -3}));
    // The frame's matrix ends with the frame; the third mesh is unmoved and gets the counter's name.
    const TGLMesh& third = *base.Meshes().Mesh(2);
    EXPECT_EQ(third.Name(), "Mesh2");
    EXPECT_EQ(third.Vertices.Get(2), (Vector3D{1, 2, -3}));

    // Appending keeps the meshes already there.
    ReadXFile(base, text, {}, true);
    EXPECT_EQ(base.Meshes().Count(), 6);
}

TEST(GLXFileReader, MaterialsNormalsAndTheLibrary)
{
    const std::string text = XText(R"(
Material Red { 1.0;0.0;0.0;1.0;; 200.0; 0.1;0.2;0.3;; 0.0;0.0;0.5;; TextureFilename { "red.png"; } }
Material Blue { 0;0;1;1;; 5; 0;0;0;; 0;0;0;; }
Mesh Library { 4; 0;0;0;, 1;0;0;, 1;1;0;, 0;1;0;;
  2; 3;0,1,2;, 3;0,2,3;;
  MeshMaterialList { 2; 1; 0;; { Red } { Blue } }
}
Mesh PerFace { 4; 0;0;0;, 1;0;0;, 1;1;0;, 0;1;0;;
  2; 4;0,1,2,3;, 3;0,2,3;;
  MeshTextureCoords { 4; 0;0;, 1;0;, 1;1;, 0;1;; }
  MeshMaterialList { 3; 2; 1, 2;; Material { 0;1;0;1;; 1; 0;0;0;; 0;0;0;; } { Blue } { Missing } }
  MeshNormals { 2; 0;0;1;, 0;1;0;; 2; 4;0,1,1,0;, 3;1,1,1;; }
}
)");
    TGLBaseFrame base;
    ReadXFile(base, text);
    const TGLMesh& library = *base.Meshes().Mesh(0);
    EXPECT_EQ(library.FaceColor.Get(0), (TColorTriple{{0x0000FF, 0x0000FF, 0x0000FF}}));
    EXPECT_EQ(library.FaceColor.Get(1), (TColorTriple{{0x0000FF, 0x0000FF, 0x0000FF}}));
    EXPECT_EQ(library.LightShininess, 128.0f);
    EXPECT_EQ(library.LightSpecular, (Float4{0.1f, 0.2f, 0.3f, 1}));
    EXPECT_EQ(library.LightEmission, (Float4{0, 0, 0.5f, 1}));

    // Material indexes belong to the file's faces: both triangles of the quad take Blue, the
    // triangle takes the default white of the missing library material.
    const TGLMesh& perFace = *base.Meshes().Mesh(1);
    ASSERT_EQ(perFace.FaceCount(), 3);
    EXPECT_EQ(perFace.FaceColor.FaceColor(0), 0xFF0000u);
    EXPECT_EQ(perFace.FaceColor.FaceColor(1), 0xFF0000u);
    EXPECT_EQ(perFace.FaceColor.FaceColor(2), 0xFFFFFFu);
    EXPECT_EQ(perFace.LightShininess, 1.0f);
    // Normals follow the corners of the triangles: quad (3,2,0) names normals 0,1,0.
    ASSERT_EQ(perFace.VertexNormals.Count(), 9);
    EXPECT_EQ(perFace.VertexNormals.Get(0), (Vector3D{0, 0, -1}));
    EXPECT_EQ(perFace.VertexNormals.Get(1), (Vector3D{0, 1, -0.0}));
}

TEST(GLXFileReader, BinaryFilesReadLikeTheirText)
{
    for (bool doubles : {false, true}) {
        test::TXBinaryBuilder b(doubles);
        b.Token(31).Name("Header").Open();
        b.Token(5).Data += std::string("\x01\x02\x03\x04\x05\x06\x07\x08\x09\x0A\x0B\x0C\x0D\x0E\x0F\x10", 16);
        b.Token(40).Name("major").Token(20).Token(14).Token(52).Token(3).U32(3).Token(15).Close();
        b.Name("Header").Open().Integers({1, 0, 1}).Close();
        b.Name("AnimationSet").Open().Name("Animation").Open().Close().Close();
        b.Name("Frame").Name("Root").Open();
        b.Name("FrameTransformMatrix").Open().Floats({1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 5, 1}).Close();
        test::AddBinaryQuad(b, "Quad", 1);
        b.Close();
        const std::string text = XFileBinaryToText(b.Data);
        EXPECT_NE(text.find("template Header {\r\n <04030201-0605-0807-090A0B0C-0D0E0F10>\r\n WORD major;\r\n"
                            " [array 3]\r\n}\r\n"),
                  std::string::npos)
            << text;
        EXPECT_NE(text.find("//Skipping: AnimationSet "), std::string::npos);
        EXPECT_NE(text.find("\"rock.png\";"), std::string::npos);

        TGLBaseFrame base;
        std::vector<int32_t> progress;
        ReadXFile(base, b.Data, [&](int32_t p) { progress.push_back(p); });
        ASSERT_EQ(base.Meshes().Count(), 1);
        const TGLMesh& quad = *base.Meshes().Mesh(0);
        EXPECT_EQ(quad.Name(), "Quad");
        ASSERT_EQ(quad.FaceCount(), 2);
        EXPECT_EQ(quad.Vertices.Get(0), (Vector3D{0, 1, -6}));
        EXPECT_EQ(quad.GetColor(), 0x0000FFu);
        EXPECT_EQ(quad.LightShininess, 20.0f);
        EXPECT_EQ(quad.VertexNormals.Get(5), (Vector3D{0, 0, -1}));
    }
}

struct TBadXFile {
    const char* Name;
    std::string Data;
    std::string Message;
};

std::string Quads(const std::string& faces)
{
    return XText("Mesh M { 4; 0;0;0;, 1;0;0;, 1;1;0;, 0;1;0;; " + faces + " }");
}

TEST(GLXFileReader, FailuresSayWhatIsWrong)
{
    test::TXBinaryBuilder open;
    test::TXBinaryBuilder shortMaterial;
    shortMaterial.Name("Material").Open().Floats({1, 2, 3}).Close();
    test::TXBinaryBuilder noBrace;
    noBrace.Name("Mesh").Integers({1});
    test::TXBinaryBuilder twoCounts;
    twoCounts.Name("Mesh").Open().Integers({1, 2});
    test::TXBinaryBuilder hugeList;
    hugeList.Name("Mesh").Open().Token(6).U32(0x40000000);
    test::TXBinaryBuilder strayToken;
    strayToken.Open();
    test::TXBinaryBuilder unclosed;
    unclosed.Name("Frame").Open();
    test::TXBinaryBuilder badChild;
    badChild.Name("Frame").Open().Integers({1});
    test::TXBinaryBuilder noTemplateName;
    noTemplateName.Token(31).Open();
    test::TXBinaryBuilder noGUID;
    noGUID.Token(31).Name("T").Open().Close();
    test::TXBinaryBuilder noString;
    noString.Name("Material").Open().Floats({1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1}).Name("TextureFilename").Open().Close();
    test::TXBinaryBuilder noSemicolon;
    noSemicolon.Name("Material").Open().Floats({1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1});
    noSemicolon.Name("TextureFilename").Open().String("a").Close();
    test::TXBinaryBuilder noRealList;
    noRealList.Name("Frame").Open().Name("FrameTransformMatrix").Open().Integers({1});
    test::TXBinaryBuilder noIntegerList;
    noIntegerList.Name("Header").Open().Floats({1});

    const std::vector<TBadXFile> cases = {
        {"not an X file", "xof", "Invalid File"},
        {"wrong magic", "xob 0302txt 0032", "Invalid File"},
        {"bzip", "xof 0302bzip0032", "File Type Unsupported: BZip"},
        {"compressed", "xof 0302com 0032", "File Type Unsupported: Compressed"},
        {"tzip", "xof 0302tzip0032", "File Type Unsupported: BTip"},
        {"unknown", "xof 0302abc 0032", "File Type Unsupported: Unknown"},
        {"no brace", XText("Mesh M"), "Syntax Error"},
        {"face index out of range", Quads("1; 3;0,1,4;;"), "Face 0 refers to vertex 4, but there are 4"},
        {"negative face index", Quads("1; 3;0,-1,2;;"), "Face 0 refers to vertex -1, but there are 4"},
        {"normal index out of range", Quads("1; 3;0,1,2;; MeshNormals { 1; 0;0;1;; 1; 3;0,0,1;; }"),
         "Face 0 refers to normal 1, but there are 1"},
        {"normal faces shaped unlike", Quads("1; 3;0,1,2;; MeshNormals { 1; 0;0;1;; 1; 4;0,0,0,0;; }"),
         "The normals of mesh M are given for faces shaped unlike the mesh's faces"},
        {"normal face count differs", Quads("1; 3;0,1,2;; MeshNormals { 1; 0;0;1;; 2; 3;0,0,0;, 3;0,0,0;; }"),
         "The normals of mesh M are given for faces shaped unlike the mesh's faces"},
        {"material index out of range", Quads("1; 3;0,1,2;; MeshMaterialList { 1; 1; 1;; { X } }"),
         "Face 0 of mesh M uses material 1, but the list has 1"},
        {"vertex count beyond the file", XText("Mesh { 2000000000; 0;0;0;; }"),
         "The file claims 2000000000 vertices, more than it can hold"},
        {"face count beyond the file", Quads("99999; 3;0,1,2;;"), "The file claims 99999 faces, more than it can hold"},
        {"corner count beyond the file", Quads("1; 99999;0,1,2;;"),
         "The file claims 99999 face corners, more than it can hold"},
        {"negative count", Quads("-1;"), "The file claims -1 faces, more than it can hold"},
        {"number missing at the end", XText("Mesh { 1; 0;0;                                                  "),
         "Unexpected end of the file: a number is missing"},
        {"not a number", XText("Mesh { x; }"), "'x' is not a valid integer value"},
        {"frames nested too deep",
         XText(std::string(300 * 8, ' ')
                   .replace(0, 0,
                            [] {
                                std::string s;
                                for (int i = 0; i < 300; ++i)
                                    s += "Frame {\n";
                                return s;
                            }())),
         "Frames nested more than 200 deep"},
        {"binary: object name missing", strayToken.Data, "Syntax Error: Object name missing"},
        {"binary: brace missing", noBrace.Data, "Missing Open Brace"},
        {"binary: close brace missing", unclosed.Data, "Syntax Error: } missing"},
        {"binary: name or brace", badChild.Data, "Syntax Error: Name or \"}\" expected"},
        {"binary: two counts", twoCounts.Data, "Syntax Error: Expected Single Integer"},
        {"binary: integer list missing", noIntegerList.Data, "Syntax Error: Integer List missing"},
        {"binary: real list missing", noRealList.Data, "Syntax Error: Real List missing"},
        {"binary: short material", shortMaterial.Data, "Error: Insufficient Reals in material"},
        {"binary: template name", noTemplateName.Data, "Syntax Error: Name Missing"},
        {"binary: template GUID", noGUID.Data, "Syntax Error: GUID Missing"},
        {"binary: string missing", noString.Data, "Syntax Error: String missing"},
        {"binary: semicolon missing", noSemicolon.Data, "Syntax Error: Semicolon missing"},
        {"binary: list beyond the file", hugeList.Data,
         "The binary X file claims a list of 1073741824 numbers, more than it holds"},
        {"binary: token cut short", open.Data + std::string("\x01\x00\x10\x00", 4),
         "The binary X file ends inside a token"},
    };
    for (const TBadXFile& c : cases) {
        TGLBaseFrame base;
        try {
            ReadXFile(base, c.Data);
            ADD_FAILURE() << c.Name << ": no error";
        } catch (const EKorvelaError& e) {
            EXPECT_EQ(std::string(e.what()), c.Message) << c.Name;
        }
    }
    EXPECT_THROW(XFileBinaryToText(XText("")), EKorvelaError);
}

TEST(GLXFileReader, VersionIsNotChecked)
{
    TGLBaseFrame base;
    ReadXFile(base, "xof 9999txt 0032 Mesh A { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;; }");
    EXPECT_EQ(base.Meshes().Mesh(0)->Name(), "A");
}

} // namespace
} // namespace kv
