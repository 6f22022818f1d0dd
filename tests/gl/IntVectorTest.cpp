#include "gl/IntVector.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace kv {
namespace {

constexpr int32_t IntMax = std::numeric_limits<int32_t>::max();
constexpr int32_t IntMin = std::numeric_limits<int32_t>::min();

TEST(IntVector, ArithmeticTruncatesTowardZeroAndSaturates)
{
    EXPECT_EQ(PointAdd({1, -2}, {10, 20}), (TPoint{11, 18}));
    EXPECT_EQ(PointSubtract({1, -2}, {10, 20}), (TPoint{-9, -22}));
    EXPECT_EQ(PointAdd({IntMax, IntMin}, {1, -1}), (TPoint{IntMax, IntMin}));

    struct TCase {
        const char* name;
        TPoint p;
        double s;
        TPoint product;
        TPoint quotient;
    };
    const TCase cases[] = {
        {"positive", {7, 9}, 2.0, {14, 18}, {3, 4}},
        {"fractions truncate toward zero", {-7, 7}, 1.5, {-10, 10}, {-4, 4}},
        {"negative factor", {5, -5}, -0.5, {-2, 2}, {-10, 10}},
        {"division by zero saturates", {5, -5}, 0.0, {0, 0}, {IntMax, IntMin}},
        {"huge factor saturates", {3, -3}, 1e300, {IntMax, IntMin}, {0, 0}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(PointMultiply(c.p, c.s), c.product);
        EXPECT_EQ(PointDivide(c.p, c.s), c.quotient);
    }
    EXPECT_EQ(PointDivide({0, 0}, 0.0), (TPoint{0, 0}));
}

TEST(IntVector, LengthAndCentre)
{
    EXPECT_EQ(PointLength({3, -4}), 5.0);
    EXPECT_EQ(PointLength({IntMin, IntMin}), 2147483648.0 * 1.4142135623730951);
    EXPECT_EQ(RectCentre({0, 0, 5, 7}), (TPoint{2, 3}));
    EXPECT_EQ(RectCentre({-5, -7, 0, 0}), (TPoint{-2, -3}));
    EXPECT_EQ(RectCentre({IntMax, IntMax, IntMax, IntMax}), (TPoint{IntMax, IntMax}));
}

} // namespace
} // namespace kv
