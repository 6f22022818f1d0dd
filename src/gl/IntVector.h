#pragma once
// Integer points for screen and bitmap positions, and the few operations on them.

#include <cstdint>

namespace kv {

struct TPoint {
    int32_t x = 0;
    int32_t y = 0;
    bool operator==(const TPoint&) const = default;
};

struct TRect {
    int32_t Left = 0;
    int32_t Top = 0;
    int32_t Right = 0;
    int32_t Bottom = 0;
    bool operator==(const TRect&) const = default;
};

// Sums and differences are computed wide and saturate at the int32_t range instead of overflowing.
TPoint PointAdd(TPoint a, TPoint b);
TPoint PointSubtract(TPoint a, TPoint b);
// Each coordinate times (or divided by) s, truncated toward zero; beyond the int32_t range it
// saturates and NaN gives 0 (so dividing by 0 gives the extreme values, 0 / 0 gives 0).
TPoint PointMultiply(TPoint p, double s);
TPoint PointDivide(TPoint p, double s);
// sqrt(x*x + y*y), computed in doubles.
double PointLength(TPoint p);
// truncate((top-left + bottom-right) / 2) per coordinate.
TPoint RectCentre(const TRect& r);

} // namespace kv
