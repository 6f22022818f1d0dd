#pragma once
// Comparisons of the scene engine's values within a tolerance, for the gl tests.

#include "gl/GLQuatLib.h"
#include "gl/Vector.h"

#include <gtest/gtest.h>

#include <cmath>

namespace kv::test {

inline ::testing::AssertionResult Near(const Vector3D& actual, const Vector3D& expected, double tolerance = 1e-12)
{
    if (std::abs(actual.x - expected.x) <= tolerance && std::abs(actual.y - expected.y) <= tolerance &&
        std::abs(actual.z - expected.z) <= tolerance)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "(" << actual.x << ", " << actual.y << ", " << actual.z
                                         << ") is not within " << tolerance << " of (" << expected.x << ", "
                                         << expected.y << ", " << expected.z << ")";
}

inline ::testing::AssertionResult Near(const Quaternion& actual, const Quaternion& expected, double tolerance = 1e-12)
{
    if (std::abs(actual.x - expected.x) <= tolerance && std::abs(actual.y - expected.y) <= tolerance &&
        std::abs(actual.z - expected.z) <= tolerance && std::abs(actual.w - expected.w) <= tolerance)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "(" << actual.x << ", " << actual.y << ", " << actual.z << ", " << actual.w
                                         << ") is not within " << tolerance << " of (" << expected.x << ", "
                                         << expected.y << ", " << expected.z << ", " << expected.w << ")";
}

} // namespace kv::test
