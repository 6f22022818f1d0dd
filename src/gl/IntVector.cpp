#include "gl/IntVector.h"

#include "IntConversion.h"

#include <cmath>

namespace kv {

TPoint PointAdd(TPoint a, TPoint b)
{
    return {SaturateToInt32(double(a.x) + double(b.x)), SaturateToInt32(double(a.y) + double(b.y))};
}

TPoint PointSubtract(TPoint a, TPoint b)
{
    return {SaturateToInt32(double(a.x) - double(b.x)), SaturateToInt32(double(a.y) - double(b.y))};
}

TPoint PointMultiply(TPoint p, double s)
{
    return {TruncToInt32(p.x * s), TruncToInt32(p.y * s)};
}

TPoint PointDivide(TPoint p, double s)
{
    return {TruncToInt32(p.x / s), TruncToInt32(p.y / s)};
}

double PointLength(TPoint p)
{
    return std::sqrt(double(p.x) * p.x + double(p.y) * p.y);
}

TPoint RectCentre(const TRect& r)
{
    // The sums are exact in doubles; the halves are truncated toward zero.
    return {TruncToInt32((double(r.Left) + r.Right) / 2), TruncToInt32((double(r.Top) + r.Bottom) / 2)};
}

} // namespace kv
