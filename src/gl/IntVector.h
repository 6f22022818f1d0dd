#pragma once
// Arithmetic on the platform's integer points (screen and bitmap positions).

#include "platform/Rect.h"

#include <cstdint>

namespace kv {

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
