#pragma once
// Rounding shared by the map view's modules.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

namespace kv {

// Round to the nearest integer, halves to even, clamped to the 32-bit range; not a number gives 0.
inline int32_t RoundHalfEven(double x)
{
    if (std::isnan(x))
        return 0;
    double r = std::floor(x);
    const double fraction = x - r;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(r, 2.0) != 0.0))
        r += 1.0;
    return static_cast<int32_t>(
        std::clamp(r, double(std::numeric_limits<int32_t>::min()), double(std::numeric_limits<int32_t>::max())));
}

} // namespace kv
