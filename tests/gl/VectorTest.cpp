#include "gl/Vector.h"

#include "GLTestHelpers.h"
#include "platform/KVError.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <numbers>

namespace kv {
namespace {

using test::Near;

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
constexpr int32_t IntMax = std::numeric_limits<int32_t>::max();
constexpr int32_t IntMin = std::numeric_limits<int32_t>::min();

TEST(Vector, ComponentwiseOperations)
{
    const Vector3D a{1, -2, 3};
    const Vector3D b{4, 5, -6};
    EXPECT_EQ(VectorAdd(a, b), (Vector3D{5, 3, -3}));
    EXPECT_EQ(VectorSubtract(a, b), (Vector3D{-3, -7, 9}));
    EXPECT_EQ(VectorMultiply(a, b), (Vector3D{4, -10, -18}));
    EXPECT_EQ(VectorDivide(b, Vector3D{2, -5, 4}), (Vector3D{2, -1, -1.5}));
    EXPECT_EQ(VectorScale(a, 2), (Vector3D{2, -4, 6}));
    EXPECT_EQ(VectorDivideBy(a, 4), (Vector3D{0.25, -0.5, 0.75}));
    EXPECT_EQ(DotProduct(a, b), 4 - 10 - 18);
    EXPECT_EQ(CrossProduct(Vector3D{1, 2, 3}, Vector3D{4, 5, 6}), (Vector3D{-3, 6, -3}));
    EXPECT_EQ(CrossProduct(Vector3D{1, 0, 0}, Vector3D{0, 1, 0}), (Vector3D{0, 0, 1}));
    EXPECT_EQ(VectorLength(Vector3D{2, 3, 6}), 7);
    EXPECT_EQ(VectorMin(a, b), (Vector3D{1, -2, -6}));
    EXPECT_EQ(VectorMax(a, b), (Vector3D{4, 5, 3}));
    EXPECT_EQ(VectorAdd(Vector2D{1, 2}, Vector2D{0.5, -4}), (Vector2D{1.5, -2}));
    EXPECT_EQ(VectorMin(Vector2D{1, 2}, Vector2D{0.5, 4}), (Vector2D{0.5, 2}));
    EXPECT_EQ(VectorMax(Vector2D{1, 2}, Vector2D{0.5, 4}), (Vector2D{1, 4}));
    EXPECT_EQ(Vector2DFromPoint(TPoint{-3, 7}), (Vector2D{-3, 7}));
    EXPECT_EQ(MakeSegment3D(a, b), (Segment3D{a, b}));
}

TEST(Vector, EqualityIsExact)
{
    EXPECT_NE((Vector2D{0.1 + 0.2, 1}), (Vector2D{0.3, 1}));
    EXPECT_EQ((Vector3D{0.5, 1, 2}), MakeVector3D(0.5, 1, 2));
    EXPECT_NE((Vector3D{0.5, 1, 2}), MakeVector3D(0.5, 1, std::nextafter(2.0, 3.0)));
}

// A bounding box grown over vertices must not be poisoned by a NaN coordinate.
TEST(Vector, MinimumAndMaximumIgnoreNaN)
{
    EXPECT_EQ(VectorMin(Vector3D{NaN, 1, 2}, Vector3D{0, NaN, 3}), (Vector3D{0, 1, 2}));
    EXPECT_EQ(VectorMax(Vector3D{NaN, 1, 2}, Vector3D{0, NaN, 3}), (Vector3D{0, 1, 3}));
}

TEST(Vector, NormalizeKeepsTheZeroVector)
{
    EXPECT_EQ(VectorNormalize(Vector3D{0, 0, 0}), (Vector3D{0, 0, 0}));
    EXPECT_EQ(VectorNormalize(Vector3D{3, 0, 4}), (Vector3D{0.6, 0, 0.8}));
    EXPECT_EQ(VectorNormalize(Vector3D{-0.0, 0, -0.0}), (Vector3D{-0.0, 0, -0.0}));
    // Squared lengths that underflow or overflow must not turn a direction into zero.
    EXPECT_TRUE(Near(VectorNormalize(Vector3D{1e-200, 0, 0}), Vector3D{1, 0, 0}));
    EXPECT_TRUE(Near(VectorNormalize(Vector3D{3e-170, 0, -4e-170}), Vector3D{0.6, 0, -0.8}));
    EXPECT_TRUE(Near(VectorNormalize(Vector3D{0, 3e200, 4e200}), Vector3D{0, 0.6, 0.8}));
    EXPECT_TRUE(std::isnan(VectorNormalize(Vector3D{NaN, 1, 0}).x));
}

TEST(Vector, AngleBetweenIsTotal)
{
    struct TCase {
        const char* name;
        Vector3D a;
        Vector3D b;
        double radians;
    };
    const TCase cases[] = {
        {"parallel", {1, 0, 0}, {2, 0, 0}, 0.0},
        {"opposite", {1, 0, 0}, {-1, 0, 0}, std::numbers::pi},
        {"right angle", {0, 3, 0}, {0, 0, -2}, std::numbers::pi / 2},
        {"zero vector", {0, 0, 0}, {1, 2, 3}, 0.0},
        {"opposite with cosine rounded below -1", {-2.4, -2.7, 5.0}, {0.24, 0.27, -0.5}, std::numbers::pi},
        {"parallel with cosine rounded above 1", {0.4, 0.5, -1.0}, {0.8, 1.0, -2.0}, 0.0},
        {"lengths underflow", {1e-170, 0, 0}, {0, 0, 1e-170}, std::numbers::pi / 2},
        {"lengths overflow", {1e170, 0, 0}, {-1e170, 0, 0}, std::numbers::pi},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_NEAR(AngleBetween(c.a, c.b), c.radians, 1e-15);
    }
    // The last two rows only test the clamp while the raw cosine really leaves [-1, 1].
    auto cosine = [](const Vector3D& a, const Vector3D& b) {
        return DotProduct(a, b) / (VectorLength(a) * VectorLength(b));
    };
    EXPECT_LT(cosine(cases[4].a, cases[4].b), -1.0);
    EXPECT_GT(cosine(cases[5].a, cases[5].b), 1.0);
}

TEST(Vector, TriangleNormalFollowsTheWinding)
{
    const Vector3D o{1, 1, 1};
    const Vector3D x{3, 1, 1};
    const Vector3D y{1, 4, 1};
    EXPECT_EQ(TriangleNormal(o, x, y), (Vector3D{0, 0, 1}));
    EXPECT_EQ(TriangleNormal(o, y, x), (Vector3D{0, 0, -1}));
    EXPECT_EQ(TriangleNormal(Triangle3D{x, y, o}), (Vector3D{0, 0, 1}));
    EXPECT_EQ(TriangleNormal(o, x, Vector3D{5, 1, 1}), (Vector3D{0, 0, 0}));
}

// Z first, then X; (1, 1, 0) is the centre.
TEST(Vector, RotateAboutCentreTurnsAboutZThenX)
{
    struct TCase {
        const char* name;
        Vector3D p;
        double a;
        double b;
        Vector3D expected;
    };
    const Vector3D c{1, 1, 0};
    const TCase cases[] = {
        {"no turn", {2, 3, 4}, 0, 0, {2, 3, 4}},    {"Z by 90", {2, 1, 0}, 0, 90, {1, 0, 0}},
        {"X by 90", {1, 2, 0}, 90, 0, {1, 1, -1}},  {"Z then X", {2, 1, 0}, 90, 90, {1, 1, 1}},
        {"Z by 180", {2, 1, 5}, 0, 180, {0, 1, 5}},
    };
    for (const TCase& row : cases) {
        SCOPED_TRACE(row.name);
        EXPECT_TRUE(Near(RotateAboutCentre(row.p, c, row.a, row.b), row.expected, 1e-15));
    }
}

TEST(Vector, ToPointRoundsHalvesToEvenAndSaturates)
{
    struct TCase {
        Vector3D v;
        TPoint expected;
    };
    const TCase cases[] = {
        {{2.5, 3.5, 9}, {2, 4}},
        {{-2.5, -0.5, 0}, {-2, 0}},
        {{1.4999, 2.5000001, 0}, {1, 3}},
        {{-1.5, 0.49999999999999994, 0}, {-2, 0}},
        {{1e20, -1e20, 0}, {IntMax, IntMin}},
        {{NaN, 2147483646.5, 0}, {0, 2147483646}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.v.x << ", " << c.v.y);
        EXPECT_EQ(Vector3DToPoint(c.v), c.expected);
    }
}

TEST(Vector, TextFormsAndTheirReaders)
{
    EXPECT_EQ(Vector2DToStr({0.5, 100}), "0.5,100");
    EXPECT_EQ(Vector3DToStr({1, -2.5, 0x1p-20}), "1,-2.5,9.5367431640625E-0007");
    EXPECT_EQ(Vector3DToStr({1, -2.5, 0.001}, ';', 2), "1.00;-2.50;0.00");
    EXPECT_EQ(Vector3DToStr({1, 2, 3}, ' ', 0), "1 2 3");

    const Vector3D awkward{0.1, -1e-300, 123456.789};
    EXPECT_EQ(StrToVector3D(Vector3DToStr(awkward)), awkward);
    EXPECT_EQ(StrToVector2D(Vector2DToStr({-0.3, 7e22})), (Vector2D{-0.3, 7e22}));
    EXPECT_EQ(StrToVector3D(" 1 ,\r\n2, 3"), (Vector3D{1, 2, 3}));
    EXPECT_THROW(StrToVector3D("1,2"), EKorvelaError);
    EXPECT_THROW(StrToVector2D("1,2,3"), EKorvelaError);
    EXPECT_THROW(StrToVector2D(""), EKorvelaError);
}

} // namespace
} // namespace kv
