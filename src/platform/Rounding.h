#pragma once
// Rounding to the nearest integer with halves to even (2.5 gives 2, 3.5 gives 4), independent
// of the floating-point environment's rounding mode: readers, the map and the scene engine all
// round this way.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

namespace kv {

// The nearest whole number as a double; NaN and infinities stay as they are.
inline double RoundHalfEven(double value)
{
    const double lower = std::floor(value);
    const double fraction = value - lower;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(lower, 2.0) != 0.0))
        return lower + 1.0;
    return std::isnan(fraction) ? value : lower;
}

// The same clamped to the 32-bit range; NaN gives 0.
inline int32_t RoundHalfEvenToInt32(double value)
{
    if (std::isnan(value))
        return 0;
    return static_cast<int32_t>(std::clamp(RoundHalfEven(value), double(std::numeric_limits<int32_t>::min()),
                                           double(std::numeric_limits<int32_t>::max())));
}

} // namespace kv
