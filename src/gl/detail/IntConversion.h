#pragma once
// Conversions of doubles to 32-bit integers that are total: a value beyond the integer range
// saturates and NaN becomes 0, where a plain cast would be undefined behaviour.

#include "platform/Rounding.h"

#include <cmath>
#include <cstdint>
#include <limits>

namespace kv {

// The double, already integral, as an int32_t, saturating outside the range; NaN gives 0.
inline int32_t SaturateToInt32(double integral)
{
    if (std::isnan(integral))
        return 0;
    if (integral <= static_cast<double>(std::numeric_limits<int32_t>::min()))
        return std::numeric_limits<int32_t>::min();
    if (integral >= static_cast<double>(std::numeric_limits<int32_t>::max()))
        return std::numeric_limits<int32_t>::max();
    return static_cast<int32_t>(integral);
}

// Truncation toward zero.
inline int32_t TruncToInt32(double value)
{
    return SaturateToInt32(std::trunc(value));
}

// Rounding to nearest with halves to even (2.5 gives 2, 3.5 gives 4), independent of the

} // namespace kv
