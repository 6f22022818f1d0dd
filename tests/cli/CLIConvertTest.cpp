// "convert" as a user runs it: part of the sample DEM out as a printable STL solid.

#include "dem/DEMWriter.h"
#include "gl/GLFrame.h"
#include "gl/GLMesh.h"
#include "gl/GLTextureCoords.h"
#include "overlay/KVOverlay.h"
#include "platform/BMPFile.h"
#include "scenefiles/GLXFileReader.h"
#include "scenefiles/GLXMLReader.h"
#include "support/DEMFixtures.h"
#include "support/TestData.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>
#include <sys/wait.h>

namespace kv {
namespace {

using test::TTempDir;

int RunConvert(const std::string& args, const TTempDir& scratch, std::string& err,
               const std::filesystem::path& dem = test::SamplesDir() / "jacksboro.dem")
{
    const std::string command = "XDG_CONFIG_HOME='" + scratch.Path().string() + "' '" KV_CLI_PATH "' convert '" +
                                dem.string() + "' " + args + " >/dev/null 2>'" + (scratch / "err.txt").string() +
                                "' </dev/null";
    const int status = std::system(command.c_str());
    err = test::ReadFileText(scratch / "err.txt");
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128;
}

float FloatAt(const std::string& bytes, size_t offset)
{
    uint32_t bits = 0;
    for (int k = 3; k >= 0; --k)
        bits = (bits << 8) | uint8_t(bytes[offset + size_t(k)]);
    return std::bit_cast<float>(bits);
}

TEST(CLIConvert, ABoxOfTheSampleBecomesASolidOfThePrintSize)
{
    TTempDir scratch;
    const auto stl = scratch / "hills.stl";
    std::string err;
    ASSERT_EQ(RunConvert("--box 100,50,300,200 '" + stl.string() + "' --print-size 120 --base-mm 4 --budget 20",
                         scratch, err),
              0)
        << err;
    const std::string bytes = test::ReadFileText(stl);
    ASSERT_GE(bytes.size(), 84u);
    const uint32_t count =
        uint8_t(bytes[80]) | uint8_t(bytes[81]) << 8 | uint8_t(bytes[82]) << 16 | uint32_t(uint8_t(bytes[83])) << 24;
    ASSERT_EQ(bytes.size(), 84 + 50 * size_t(count));
    EXPECT_LE(count, 20u * 1024 + 3000) << "the budget thins the terrain";
    float low[3] = {1e30f, 1e30f, 1e30f};
    float high[3] = {-1e30f, -1e30f, -1e30f};
    for (size_t t = 0; t < count; ++t)
        for (size_t k = 0; k < 9; ++k) {
            const float v = FloatAt(bytes, 84 + 50 * t + 12 + 4 * k);
            low[k % 3] = std::min(low[k % 3], v);
            high[k % 3] = std::max(high[k % 3], v);
        }
    for (float v : low)
        EXPECT_EQ(v, 0);
    EXPECT_FLOAT_EQ(std::max(high[0], high[1]), 120) << "the longer side is the print size";
    EXPECT_GT(high[2], 4) << "the terrain stands on its 4 mm base";
}

// The same hills stored in feet and in metres print as the same solid.
TEST(CLIConvert, AFeetDEMGivesTheShapeOfTheSameTerrainInMetres)
{
    TTempDir scratch;
    std::string outputs[2];
    for (int feet = 0; feet < 2; ++feet) {
        TDEMArray dem = test::MakeUTMGrid(12, 9, 500000, 4000000, 30, 1);
        for (int32_t c = 0; c < dem.Cols(); ++c)
            for (int32_t r = 0; r < dem.Rows(); ++r) {
                // 5000 ft is exactly 1524 m.
                const int32_t steps = (c * 7 + r * 3) % 11;
                dem.SetValue(c, r, feet ? 5000 * steps : 1524 * steps);
            }
        dem.Info.ElevUnits = feet ? ucFeet : ucMeters;
        dem.Info.MinElevation = dem.Info.DataMin = 0;
        dem.Info.MaxElevation = dem.Info.DataMax = (feet ? 5000 : 1524) * 10;
        const auto file = scratch / (feet ? "feet.dem" : "metres.dem");
        SaveDEMFile(file, dem);
        const auto stl = scratch / (feet ? "feet.stl" : "metres.stl");
        std::string err;
        ASSERT_EQ(RunConvert("--box 0,0,12,9 '" + stl.string() + "'", scratch, err, file), 0) << err;
        outputs[feet] = test::ReadFileText(stl);
    }
    ASSERT_EQ(outputs[0].size(), outputs[1].size());
    ASSERT_GT(outputs[0].size(), 84u);
    EXPECT_EQ(outputs[0].compare(84, std::string::npos, outputs[1], 84, std::string::npos), 0);
}

// The scene files hold the window's two meshes, which scene-info reads back with the same counts
// whichever file they went into.
TEST(CLIConvert, SceneFilesHoldTheTerrainAndItsBase)
{
    TTempDir scratch;
    std::vector<std::string> listings;
    for (const char* name : {"hills.txml", "hills.x"}) {
        SCOPED_TRACE(name);
        std::string err;
        ASSERT_EQ(RunConvert("--box 100,50,300,200 --budget 5 '" + (scratch / name).string() + "'", scratch, err), 0)
            << err;
        const std::string command = "'" KV_CLI_PATH "' scene-info '" + (scratch / name).string() + "' >'" +
                                    (scratch / "info.txt").string() + "' 2>&1";
        ASSERT_EQ(std::system(command.c_str()), 0) << test::ReadFileText(scratch / "info.txt");
        const std::string info = test::ReadFileText(scratch / "info.txt");
        std::string counts; // the name and triangle columns of each mesh line
        std::istringstream lines(info);
        for (std::string line; std::getline(lines, line);) {
            std::vector<std::string> columns;
            std::istringstream cells(line);
            for (std::string cell; std::getline(cells, cell, '\t');)
                columns.push_back(cell);
            if (columns.size() >= 5 && columns[0] == "mesh")
                counts += columns[2] + " " + columns[3] + "\n";
        }
        EXPECT_NE(counts.find("Terrain"), std::string::npos) << info;
        EXPECT_NE(counts.find("Base"), std::string::npos) << info;
        listings.push_back(counts);
    }
    // The X writer joins names with blanks by "_".
    std::string x = listings[1];
    for (char& c : x)
        c = c == '_' ? ' ' : c;
    EXPECT_EQ(listings[0], x);
}

// A picture of the box's cells drapes over the terrain in the scene file: the terrain mesh (not
// the base) carries it as its texture, at the editor's prepared size.
TEST(CLIConvert, ADrapedPictureTravelsWithTheScene)
{
    TTempDir scratch;
    TBitmap picture(200, 150, pf24bit);
    for (int32_t y = 0; y < 150; ++y)
        for (int32_t x = 0; x < 200; ++x)
            picture.SetPixel(x, y, x < 100 ? 0x0000FF : 0x00FF00);
    SaveBMPFile(scratch / "map.bmp", picture);
    std::string err;
    const auto scene = scratch / "draped.txml";
    ASSERT_EQ(RunConvert("--box 50,50,250,200 --budget 5 '" + scene.string() + "' --drape '" +
                             (scratch / "map.bmp").string() + "'",
                         scratch, err),
              0)
        << err;
    TGLBaseFrame frame;
    LoadXMLScene(frame, scene);
    int draped = 0;
    for (int32_t i = 0; i < frame.Meshes().Count(); ++i) {
        const TGLMesh& mesh = *frame.Meshes().Mesh(i);
        SCOPED_TRACE(mesh.Name());
        const bool terrain = mesh.Name() == "Terrain Mesh";
        ASSERT_TRUE(mesh.Texture);
        EXPECT_EQ(mesh.Texture->Enabled, terrain);
        if (terrain) {
            ++draped;
            const TOverlaySize size = DefaultOverlaySize(200, 150);
            EXPECT_EQ(mesh.Texture->Width, PowerOfTwoAtLeast(size.Width));
            EXPECT_EQ(mesh.Texture->Height, PowerOfTwoAtLeast(size.Height));
        }
    }
    EXPECT_EQ(draped, 1);

    // The model files carry the same picture and coordinates: the .x names its picture file and
    // reads back draped as the scene is, the .glb embeds it, the .obj's material names it.
    const auto textured = [](const TGLBaseFrame& base) -> const TGLMesh* {
        for (int32_t i = 0; i < base.Meshes().Count(); ++i)
            if (base.Meshes().Mesh(i)->Texture->Enabled)
                return base.Meshes().Mesh(i);
        return nullptr;
    };
    const std::vector<Vector2D> sceneCoords = CornerTexCoords(*textured(frame));
    for (const char* name : {"draped.x", "draped.glb", "draped.obj"}) {
        SCOPED_TRACE(name);
        ASSERT_EQ(RunConvert("--box 50,50,250,200 --budget 5 '" + (scratch / name).string() + "' --drape '" +
                                 (scratch / "map.bmp").string() + "'",
                             scratch, err),
                  0)
            << err;
    }
    EXPECT_TRUE(std::filesystem::exists(scratch / "draped_texture.png"));
    TGLBaseFrame x;
    LoadXFile(x, scratch / "draped.x");
    const TGLMesh* terrain = textured(x);
    ASSERT_NE(terrain, nullptr);
    EXPECT_EQ(terrain->Texture->Width, textured(frame)->Texture->Width);
    const std::vector<Vector2D> xCoords = CornerTexCoords(*terrain);
    ASSERT_EQ(xCoords.size(), sceneCoords.size());
    for (size_t k = 0; k < xCoords.size(); k += 97) {
        EXPECT_NEAR(xCoords[k].x, sceneCoords[k].x, 1e-6) << k;
        EXPECT_NEAR(xCoords[k].y, sceneCoords[k].y, 1e-6) << k;
    }
    const std::string glb = test::ReadFileText(scratch / "draped.glb");
    EXPECT_NE(glb.find("\"TEXCOORD_0\""), std::string::npos);
    EXPECT_NE(glb.find("\"mimeType\":\"image/png\""), std::string::npos);
    EXPECT_NE(test::ReadFileText(scratch / "draped.mtl").find("map_Kd draped_texture.png"), std::string::npos);

    // Files that cannot keep the picture are refused.
    for (const char* name : {"out.stl", "out.ply"}) {
        EXPECT_EQ(RunConvert("--box 50,50,250,200 '" + (scratch / name).string() + "' --drape '" +
                                 (scratch / "map.bmp").string() + "'",
                             scratch, err),
                  1);
        EXPECT_NE(err.find("--drape goes into .txml, .x, .glb and .obj files"), std::string::npos) << err;
        EXPECT_NE(err.find(std::string(name) + " cannot keep the picture"), std::string::npos) << err;
        EXPECT_FALSE(std::filesystem::exists(scratch / name));
    }
}

TEST(CLIConvert, RefusalsSayWhyAndWriteNothing)
{
    struct TCase {
        const char* Name;
        std::string Args;
        const char* Message;
    };
    TTempDir scratch;
    const std::string dxf = "'" + (scratch / "out.dxf").string() + "'";
    const std::string stl = "'" + (scratch / "out.stl").string() + "'";
    const TCase cases[] = {
        {"unknown kind of file", "--box 0,0,50,50 " + dxf, "OUT must end in .stl, .txml, .x"},
        {"no box", stl, "convert needs --box"},
        {"box off the map", "--box 900,900,950,950 " + stl, "The box selects no cells of the map"},
        {"budget out of range", "--box 0,0,50,50 --budget 1001 " + stl, "--budget must lie between"},
        {"open solid", "--box 0,0,50,50 --no-base " + stl, "--no-base leaves an STL solid open"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        std::string err;
        EXPECT_EQ(RunConvert(c.Args, scratch, err), 1);
        EXPECT_NE(err.find(c.Message), std::string::npos) << err;
        EXPECT_FALSE(std::filesystem::exists(scratch / "out.stl"));
        EXPECT_FALSE(std::filesystem::exists(scratch / "out.dxf"));
    }
}

} // namespace
} // namespace kv
