#include "scenefiles/ModelExport.h"

#include "gl/GLTestFigures.h"
#include "platform/KVError.h"
#include "scenefiles/GLXFileReader.h"
#include "support/TestData.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
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
