#include "scenefiles/ModelExport.h"

#include "gl/GLTestFigures.h"
#include "gl/GLTextureCoords.h"
#include "imaging/PNGReader.h"
#include "platform/KVError.h"
#include "scenefiles/GLXFileReader.h"
#include "support/TestData.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <regex>
#include <string>

namespace kv {
namespace {

// A torus and a soccer ball named like the terrain meshes, and an empty mesh that is left out.
void BuildModel(TGLBaseFrame& base)
{
    TGLMesh& torus = *base.Meshes().NewMesh();
    BuildTestFigure(torus, stTorus);
    torus.SetName("Terrain Mesh");
    torus.FaceColor.Put(0, TColorTriple{{0x0000FF, 0x00FF00, 0xFF0000}});
    base.Meshes().NewMesh();
    TGLMesh& ball = *base.Meshes().NewMesh();
    BuildTestFigure(ball, stSoccerBall);
    ball.SetName("Base \"Mesh\"");
}

constexpr int64_t ModelFaces = 242 + 180;

// The torus draped as the overlay drapes a terrain: white, a picture whose pixels all differ,
// planar coordinates seen from above.
TBitmap DrapeTorus(TGLBaseFrame& base)
{
    TBitmap picture(6, 4, pf24bit);
    for (int32_t y = 0; y < picture.Height(); ++y)
        for (int32_t x = 0; x < picture.Width(); ++x)
            picture.SetPixel(x, y, TColor(40 * x) | TColor(60 * y) << 8 | 0x800000);
    TGLMesh& torus = *base.Meshes().Mesh(0);
    torus.SetColor(0xFFFFFF);
    TGLObjectTexture& texture = *torus.Texture;
    texture.LoadFromBitmap(picture);
    texture.TextureMode = tmComputed;
    texture.SetPitch(-90);
    texture.SetScale({0.3, 0.2});
    texture.SetOffset({0.1, -0.4});
    texture.Enabled = true;
    return picture;
}

uint32_t U32At(const std::string& data, size_t at)
{
    uint32_t v;
    std::memcpy(&v, data.data() + at, 4);
    return v;
}

std::vector<int64_t> Numbers(const std::string& text, const std::string& key)
{
    std::vector<int64_t> values;
    const std::regex pattern("\"" + key + "\":([0-9]+)");
    for (auto it = std::sregex_iterator(text.begin(), text.end(), pattern); it != std::sregex_iterator(); ++it)
        values.push_back(std::stoll((*it)[1]));
    return values;
}

// The container of a .glb checked as the glTF 2.0 rules lay it out: header, aligned JSON and BIN
// chunks, buffer views inside the buffer, accessors filling their views.
TEST(ModelExport, GLBContainerHoldsWhatItsJSONDescribes)
{
    TGLBaseFrame base;
    BuildModel(base);
    const std::string data = GLBModelData(base);
    ASSERT_GE(data.size(), 28u);
    EXPECT_EQ(data.substr(0, 4), "glTF");
    EXPECT_EQ(U32At(data, 4), 2u);
    EXPECT_EQ(U32At(data, 8), data.size());
    const uint32_t jsonLength = U32At(data, 12);
    EXPECT_EQ(data.substr(16, 4), "JSON");
    EXPECT_EQ(jsonLength % 4, 0u);
    const std::string json = data.substr(20, jsonLength);
    const size_t binAt = 20 + jsonLength;
    const uint32_t binLength = U32At(data, binAt);
    EXPECT_EQ(data.substr(binAt + 4, 4), std::string("BIN\0", 4));
    EXPECT_EQ(binAt + 8 + binLength, data.size());
    EXPECT_EQ(Numbers(json, "byteLength").back(), binLength);

    const std::vector<int64_t> offsets = Numbers(json, "byteOffset");
    std::vector<int64_t> lengths = Numbers(json, "byteLength");
    lengths.pop_back(); // the buffer's
    ASSERT_EQ(offsets.size(), 6u);
    const std::vector<int64_t> counts = Numbers(json, "count");
    ASSERT_EQ(counts.size(), 6u);
    for (size_t i = 0; i < offsets.size(); ++i) {
        EXPECT_EQ(offsets[i] % 4, 0) << i;
        EXPECT_LE(offsets[i] + lengths[i], binLength) << i;
        // Positions and normals are three floats, colours four bytes.
        EXPECT_EQ(lengths[i], counts[i] * (i % 3 == 2 ? 4 : 12)) << i;
    }
    EXPECT_EQ(counts[0] + counts[3], 3 * ModelFaces);
    EXPECT_NE(json.find("\"name\":\"Base \\\"Mesh\\\"\""), std::string::npos);
    EXPECT_NE(json.find("\"min\":["), std::string::npos);

    // Normals are unit length.
    for (int64_t i = 0; i < counts[1]; ++i) {
        float n[3];
        std::memcpy(n, data.data() + binAt + 8 + offsets[1] + 12 * i, 12);
        ASSERT_NEAR(n[0] * n[0] + n[1] * n[1] + n[2] * n[2], 1.0, 1e-5) << i;
    }
    // The first corner colours come through in order, red in the first byte.
    const char* colors = data.data() + binAt + 8 + offsets[2];
    EXPECT_EQ(std::string(colors, 12), std::string("\xFF\x00\x00\xFF\x00\xFF\x00\xFF\x00\x00\xFF\xFF", 12));

    TGLBaseFrame empty;
    const std::string nothing = GLBModelData(empty);
    EXPECT_EQ(U32At(nothing, 8), nothing.size());
    EXPECT_EQ(nothing.find("[]"), std::string::npos) << "glTF allows no empty arrays";
}

std::vector<std::smatch> Matches(const std::string& text, const std::string& pattern)
{
    std::vector<std::smatch> found;
    const std::regex re(pattern);
    for (auto it = std::sregex_iterator(text.begin(), text.end(), re); it != std::sregex_iterator(); ++it)
        found.push_back(*it);
    return found;
}

// A draped mesh's coordinates and picture travel inside the .glb: its own TEXCOORD_0 accessor
// (v down the picture), the picture as PNG in the binary chunk, and a material that names it;
// the undraped mesh keeps the vertex-colour material.
TEST(ModelExport, GLBEmbedsTheDrapedPictureWithItsCoordinates)
{
    TGLBaseFrame base;
    BuildModel(base);
    const TBitmap picture = DrapeTorus(base);
    const std::vector<Vector2D> st = CornerTexCoords(*base.Meshes().Mesh(0));
    ASSERT_EQ(st.size(), size_t(3 * 242));
    const std::string data = GLBModelData(base);
    const std::string json = data.substr(20, U32At(data, 12));
    const size_t bin = 20 + U32At(data, 12) + 8;

    std::vector<std::pair<size_t, size_t>> views;
    for (const std::smatch& m : Matches(json, R"(\{"buffer":0,"byteOffset":(\d+),"byteLength":(\d+))"))
        views.emplace_back(std::stoul(m[1]), std::stoul(m[2]));
    struct TAccessor {
        size_t View, Count;
        std::string Type;
    };
    std::vector<TAccessor> accessors;
    for (const std::smatch& m :
         Matches(json, R"re(\{"bufferView":(\d+),"componentType":\d+,(?:"normalized":true,)?"count":(\d+),"type":"(\w+)")re"))
        accessors.push_back({std::stoul(m[1]), std::stoul(m[2]), m[3]});
    for (const TAccessor& a : accessors) {
        ASSERT_LT(a.View, views.size());
        EXPECT_EQ(views[a.View].first % 4, 0u) << "accessor data starts on a 4-byte boundary";
    }
    const std::vector<std::smatch> texCoords = Matches(json, R"("POSITION":(\d+)[^}]*"TEXCOORD_0":(\d+))");
    ASSERT_EQ(texCoords.size(), 1u) << "only the draped mesh has coordinates";
    const TAccessor& position = accessors.at(std::stoul(texCoords[0][1]));
    const TAccessor& uv = accessors.at(std::stoul(texCoords[0][2]));
    EXPECT_EQ(uv.Type, "VEC2");
    EXPECT_EQ(uv.Count, position.Count);
    EXPECT_EQ(views[uv.View].second, 8 * uv.Count);
    for (size_t k : {size_t(0), size_t(1), st.size() - 1}) {
        float u, v;
        std::memcpy(&u, data.data() + bin + views[uv.View].first + 8 * k, 4);
        std::memcpy(&v, data.data() + bin + views[uv.View].first + 8 * k + 4, 4);
        EXPECT_NEAR(u, st[k].x, 1e-6) << k;
        EXPECT_NEAR(v, 1.0 - st[k].y, 1e-6) << k;
    }

    // Mesh 0 uses material 1, whose base colour texture is texture 0, whose image is a PNG of
    // the picture, top row first.
    const std::vector<std::smatch> materials = Matches(json, R"("material":(\d+))");
    ASSERT_EQ(materials.size(), 2u);
    EXPECT_EQ(materials[0][1], "1");
    EXPECT_EQ(materials[1][1], "0");
    EXPECT_NE(json.find(R"(,{"name":"Texture 1","pbrMetallicRoughness":{"baseColorFactor":[1,1,1,1],"baseColorTexture":{"index":0})"),
              std::string::npos)
        << json;
    EXPECT_NE(json.find(R"("textures":[{"sampler":0,"source":0}])"), std::string::npos) << json;
    const std::vector<std::smatch> images = Matches(json, R"("images":\[\{"bufferView":(\d+),"mimeType":"image/png"\}\])");
    ASSERT_EQ(images.size(), 1u) << json;
    const auto [at, length] = views.at(std::stoul(images[0][1]));
    TBitmap decoded;
    ReadPNG({reinterpret_cast<const uint8_t*>(data.data() + bin + at), length}, decoded);
    ASSERT_EQ(decoded.Width(), picture.Width());
    ASSERT_EQ(decoded.Height(), picture.Height());
    for (int32_t y = 0; y < picture.Height(); ++y)
        for (int32_t x = 0; x < picture.Width(); ++x)
            EXPECT_EQ(decoded.GetPixel(x, y), picture.GetPixel(x, y)) << x << "," << y;
}

// Saved as .x with its picture beside it and loaded again, the draped mesh comes back textured
// with the same picture and coordinates; without the picture file it loads untextured.
TEST(ModelExport, XFileKeepsTheDrapedPicture)
{
    TGLBaseFrame base;
    BuildModel(base);
    DrapeTorus(base);
    const TGLMesh& torus = *base.Meshes().Mesh(0);
    test::TTempDir dir;
    ExportModel(base, dir / "model.x");
    ASSERT_TRUE(std::filesystem::exists(dir / "model_texture.png"));
    EXPECT_FALSE(std::filesystem::exists(dir / "model_texture2.png")) << "one draped mesh, one picture";

    TGLBaseFrame copy;
    LoadXFile(copy, dir / "model.x");
    ASSERT_EQ(copy.Meshes().Count(), 3);
    const TGLMesh& back = *copy.Meshes().Mesh(0);
    ASSERT_TRUE(back.Texture->Enabled);
    EXPECT_EQ(back.Texture->Width, torus.Texture->Width);
    EXPECT_EQ(back.Texture->Height, torus.Texture->Height);
    EXPECT_TRUE(std::ranges::equal(back.Texture->Image.Items(), torus.Texture->Image.Items()));
    const std::vector<Vector2D> before = CornerTexCoords(torus), after = CornerTexCoords(back);
    ASSERT_EQ(after.size(), before.size());
    for (size_t k = 0; k < before.size(); ++k) {
        ASSERT_NEAR(after[k].x, before[k].x, 1e-6) << k;
        ASSERT_NEAR(after[k].y, before[k].y, 1e-6) << k;
    }
    EXPECT_FALSE(copy.Meshes().Mesh(2)->Texture->Enabled);

    // A name that would end the quoted picture name, or split it at a blank, still reads back.
    ExportModel(base, dir / "my \"terrain\".x");
    TGLBaseFrame quoted;
    LoadXFile(quoted, dir / "my \"terrain\".x");
    EXPECT_TRUE(quoted.Meshes().Mesh(0)->Texture->Enabled);
    EXPECT_TRUE(std::filesystem::exists(dir / "my__terrain__texture.png"));

    std::filesystem::remove(dir / "model_texture.png");
    TGLBaseFrame bare;
    LoadXFile(bare, dir / "model.x");
    EXPECT_EQ(bare.Meshes().Mesh(0)->FaceCount(), 242);
    EXPECT_FALSE(bare.Meshes().Mesh(0)->Texture->Enabled);
}

TEST(ModelExport, OBJNamesTheDrapedPictureAndGivesEveryCornerItsCoordinates)
{
    TGLBaseFrame base;
    BuildModel(base);
    DrapeTorus(base);
    test::TTempDir dir;
    ExportModel(base, dir / "model.obj");
    EXPECT_TRUE(std::filesystem::exists(dir / "model_texture.png"));
    const std::string mtl = test::ReadFileText(dir / "model.mtl");
    EXPECT_NE(mtl.find("illum 2\nmap_Kd model_texture.png\nnewmtl Base_"), std::string::npos) << mtl;
    const std::string obj = test::ReadFileText(dir / "model.obj");
    EXPECT_EQ(Matches(obj, "\nvt ").size(), size_t(3 * 242));
    EXPECT_NE(obj.find("\nf 1/1/1 2/2/2 3/3/3\n"), std::string::npos);
    const std::string last = std::to_string(3 * ModelFaces);
    EXPECT_NE(obj.find(" " + last + "//" + last + "\n"), std::string::npos) << "the ball has no coordinates";
}

TEST(ModelExport, PLYHeaderCountsMatchItsData)
{
    TGLBaseFrame base;
    BuildModel(base);
    const std::string data = PLYModelData(base);
    const size_t end = data.find("end_header\n") + 11;
    const std::string header = data.substr(0, end);
    EXPECT_NE(header.find("element vertex " + std::to_string(3 * ModelFaces) + "\n"), std::string::npos);
    EXPECT_NE(header.find("element face " + std::to_string(ModelFaces) + "\n"), std::string::npos);
    EXPECT_EQ(data.size() - end, size_t(3 * ModelFaces * 27 + ModelFaces * 13));
}

TEST(ModelExport, OBJNamesItsMaterialsAndCountsFromOne)
{
    TGLBaseFrame base;
    BuildModel(base);
    const std::string obj = OBJModelText(base, "model.mtl");
    EXPECT_NE(obj.find("mtllib model.mtl\no Terrain_Mesh\nusemtl Terrain_Mesh\nv "), std::string::npos);
    EXPECT_NE(obj.find("\nf 1//1 2//2 3//3\n"), std::string::npos);
    const std::string last = std::to_string(3 * ModelFaces);
    EXPECT_NE(obj.find(" " + last + "//" + last + "\n"), std::string::npos);
    const std::string mtl = MTLText(base);
    EXPECT_NE(mtl.find("newmtl Terrain_Mesh\nKd 1.0000 0.0000 0.0000\nKs 0.5 0.5 0.5\nNs 10\nd 1\n"), std::string::npos)
        << mtl;
    EXPECT_NE(mtl.find("newmtl Base_\"Mesh\"\n"), std::string::npos);
    EXPECT_EQ(ModelFormatOf("a/b.GLB"), mfGLB);
    test::TTempDir dir;
    EXPECT_THROW(ExportModel(base, dir / "model.stl"), EKorvelaError);
}

// `assimp info FILE -r` (no post-processing), or empty when assimp is not installed.
std::string AssimpInfo(const std::filesystem::path& file)
{
    if (!std::filesystem::exists("/usr/bin/assimp"))
        return {};
    std::string output;
    FILE* pipe = popen(("/usr/bin/assimp info '" + file.string() + "' -r 2>&1").c_str(), "r");
    char buffer[4096];
    for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        output.append(buffer, n);
    pclose(pipe);
    return output;
}

int64_t InfoValue(const std::string& info, const std::string& key)
{
    std::smatch match;
    if (!std::regex_search(info, match, std::regex(key + ":\\s+([0-9]+)")))
        return -1;
    return std::stoll(match[1]);
}

TEST(ModelExport, AssimpReadsEveryFormatWithOurCounts)
{
    TGLBaseFrame base;
    BuildModel(base);
    test::TTempDir dir;
    if (AssimpInfo(dir.Path()).empty())
        GTEST_SKIP() << "assimp-utils is not installed (scripts/install-deps.sh)";
    for (const char* name : {"model.obj", "model.ply", "model.glb", "model.x"}) {
        ExportModel(base, dir / name);
        const std::string info = AssimpInfo(dir / name);
        EXPECT_EQ(InfoValue(info, "Faces"), ModelFaces) << name << "\n" << info;
        EXPECT_EQ(InfoValue(info, "Vertices"), 3 * ModelFaces) << name << "\n" << info;
    }
}

// assimp finds the draped mesh's picture and coordinates in each format that carries them: its
// own .obj export of our file holds (u, v) pairs that are our corners' (s, t), and its material
// names the picture (embedded in the .glb).
TEST(ModelExport, AssimpFindsTheDrapedPicture)
{
    TGLBaseFrame base;
    BuildModel(base);
    DrapeTorus(base);
    test::TTempDir dir;
    if (AssimpInfo(dir.Path()).empty())
        GTEST_SKIP() << "assimp-utils is not installed (scripts/install-deps.sh)";
    std::vector<std::pair<double, double>> ours;
    for (const Vector2D& c : CornerTexCoords(*base.Meshes().Mesh(0)))
        ours.emplace_back(c.x, c.y);
    std::sort(ours.begin(), ours.end());
    // One of our corners within a millionth (the X file keeps six decimals, the others floats).
    const auto isOurs = [&](double u, double v) {
        constexpr double near = 2e-6;
        for (auto it = std::lower_bound(ours.begin(), ours.end(), std::pair{u - near, -1e300});
             it != ours.end() && it->first <= u + near; ++it)
            if (std::abs(it->second - v) <= near)
                return true;
        return false;
    };
    for (const char* name : {"model.glb", "model.x", "model.obj"}) {
        SCOPED_TRACE(name);
        ExportModel(base, dir / name);
        const std::filesystem::path again = dir / (std::string("assimp_") + name + ".obj");
        const std::string command =
            "/usr/bin/assimp export '" + (dir / name).string() + "' '" + again.string() + "' >/dev/null 2>&1";
        ASSERT_EQ(std::system(command.c_str()), 0);
        const std::string obj = test::ReadFileText(again);
        const std::vector<std::smatch> vt = Matches(obj, R"(\nvt (\S+) (\S+))");
        ASSERT_FALSE(vt.empty());
        for (const std::smatch& m : vt) {
            ASSERT_TRUE(isOurs(std::stod(m[1]), std::stod(m[2]))) << m[0];
        }
        std::filesystem::path mtl = again;
        mtl.replace_extension(".mtl");
        EXPECT_NE(test::ReadFileText(mtl).find("map_Kd "), std::string::npos);
    }
    EXPECT_EQ(InfoValue(AssimpInfo(dir / "model.glb"), "Textures \\(embed.\\)"), 1);
}

TEST(ModelExport, WeReadWhatAssimpWritesAsX)
{
    TGLBaseFrame base;
    BuildModel(base);
    test::TTempDir dir;
    if (AssimpInfo(dir.Path()).empty())
        GTEST_SKIP() << "assimp-utils is not installed (scripts/install-deps.sh)";
    ExportModel(base, dir / "model.glb");
    const std::string command = "/usr/bin/assimp export '" + (dir / "model.glb").string() + "' '" +
                                (dir / "assimp.x").string() + "' >/dev/null 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0);
    TGLBaseFrame copy;
    LoadXFile(copy, dir / "assimp.x");
    int64_t faces = 0;
    for (int32_t i = 0; i < copy.Meshes().Count(); ++i)
        faces += copy.Meshes().Mesh(i)->FaceCount();
    EXPECT_EQ(faces, ModelFaces);
}

} // namespace
} // namespace kv
