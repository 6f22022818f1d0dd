#include "gl/GLLibrary.h"

#include "platform/KVError.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>

namespace kv {
namespace {

TEST(GLLibrary, ColoursBecomeFloatsByteByByte)
{
    struct TCase {
        const char* name;
        uint32_t color;
        Float4 expected;
    };
    const TCase cases[] = {
        {"red is the low byte", 0x0000FF, {1, 0, 0, 1}},
        {"green", 0x008000, {0, 128.0f / 255.0f, 0, 1}},
        {"blue is the third byte", 0xFF0000, {0, 0, 1, 1}},
        {"the top byte is no part of the colour", 0x80FF0000, {0, 0, 1, 1}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ColorToFloat4(c.color), c.expected);
    }
    EXPECT_EQ(ColorToFloat4(0x0000FF, 0.25), (Float4{1, 0, 0, 0.25f}));
    EXPECT_EQ(ColorToRGB(0x336699), (Vector3F{0x99 / 255.0f, 0x66 / 255.0f, 0x33 / 255.0f}));
}

TEST(GLLibrary, FloatsBecomeColoursTruncatedAndClamped)
{
    struct TCase {
        const char* name;
        Float4 f;
        uint32_t color;
    };
    const TCase cases[] = {
        {"truncation", {0.999f, 0.5f, 0, 1}, 0x007FFE},
        {"alpha is ignored", {0, 0, 1, 0}, 0xFF0000},
        {"out of range clamps", {1.5f, -0.2f, 1.0001f, 1}, 0xFF00FF},
        {"NaN is 0", {std::nanf(""), 1, 0, 1}, 0x00FF00},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Float4ToColor(c.f), c.color);
    }
    // Truncation must not lose a step on the way back: every byte value survives.
    for (uint32_t byte = 0; byte < 256; ++byte) {
        const uint32_t color = byte | (255 - byte) << 8 | byte << 16;
        EXPECT_EQ(Float4ToColor(ColorToFloat4(color)), color);
    }
}

TEST(GLLibrary, SinglesAreRoundedToNearest)
{
    EXPECT_EQ(MakeVector3F(0.1, -2, 1e40), (Vector3F{0.1f, -2.0f, INFINITY}));
    EXPECT_EQ(MakeFloat4(0.2, 0.3, 0.4, 0.5), (Float4{0.2f, 0.3f, 0.4f, 0.5f}));
    EXPECT_EQ(Vector3FToVector3D({0.5f, 0.2f, -1}), (Vector3D{0.5, double(0.2f), -1}));
    EXPECT_EQ(Vector3DToVector3F({0.5, 0.2, -1}), (Vector3F{0.5f, 0.2f, -1}));
    EXPECT_NE(MakeFloat4(0, 0, 0, 1), MakeFloat4(0, 0, 0, 0.9999999));
    EXPECT_EQ(Float4ToArray({1, 2, 3, 4}), (std::array<float, 4>{1, 2, 3, 4}));
}

TEST(GLLibrary, Float4TextKeepsTheSingleValue)
{
    const Float4 f = MakeFloat4(0.2, 1, 0, 0.5);
    EXPECT_EQ(Float4ToStr(f), "0.200000002980232239,1,0,0.5");
    EXPECT_EQ(StrToFloat4(Float4ToStr(f)), f);
    EXPECT_EQ(StrToFloat4(" 0.5 , 0.25,1,0"), (Float4{0.5f, 0.25f, 1, 0}));
    EXPECT_THROW(StrToFloat4("0.5,0.25,1"), EKorvelaError);
}

} // namespace
} // namespace kv
