#include "gl/IntVector.h"

#include "IntConversion.h"

#include <cmath>

namespace kv {

TPoint PointAdd(TPoint a, TPoint b)
{
    return {SaturateToInt32(double(a.X) + double(b.X)), SaturateToInt32(double(a.Y) + double(b.Y))};
}

TPoint PointSubtract(TPoint a, TPoint b)
{
    return {SaturateToInt32(double(a.X) - double(b.X)), SaturateToInt32(double(a.Y) - double(b.Y))};
}

TPoint PointMultiply(TPoint p, double s)
{
    return {TruncToInt32(p.X * s), TruncToInt32(p.Y * s)};
}

TPoint PointDivide(TPoint p, double s)
{
    return {TruncToInt32(p.X / s), TruncToInt32(p.Y / s)};
}

double PointLength(TPoint p)
{
    return std::sqrt(double(p.X) * p.X + double(p.Y) * p.Y);
}

TPoint RectCentre(const TRect& r)
{
    // The sums are exact in doubles; the halves are truncated toward zero.
    return {TruncToInt32((double(r.Left) + r.Right) / 2), TruncToInt32((double(r.Top) + r.Bottom) / 2)};
}

} // namespace kv
