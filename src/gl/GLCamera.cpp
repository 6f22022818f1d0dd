#include "gl/GLCamera.h"

#include <cmath>

namespace kv {

Matrix4x4 TGLCamera::LookAtMatrix() const
{
    const Vector3D f = VectorNormalize(VectorSubtract(Center, Eye));
    const Vector3D s = VectorNormalize(CrossProduct(f, Up));
    const Vector3D u = CrossProduct(s, f);
    Matrix4x4 m;
    m[0] = s.x;
    m[4] = s.y;
    m[8] = s.z;
    m[1] = u.x;
    m[5] = u.y;
    m[9] = u.z;
    m[2] = -f.x;
    m[6] = -f.y;
    m[10] = -f.z;
    m[12] = -DotProduct(s, Eye);
    m[13] = -DotProduct(u, Eye);
    m[14] = DotProduct(f, Eye);
    return m;
}

TViewFrustum ViewFrustum(int width, int height)
{
    TViewFrustum frustum;
    frustum.Left = -width / 2000.0;
    frustum.Right = width / 2000.0;
    frustum.Bottom = -height / 2000.0;
    frustum.Top = height / 2000.0;
    return frustum;
}

double FitToViewScale(double viewWidth, const Vector3D& extentMin, const Vector3D& extentMax)
{
    const Vector3D low = VectorMin(extentMin, Vector3D{});
    const Vector3D high = VectorMax(extentMax, Vector3D{});
    const double diagonal = VectorLength(VectorSubtract(high, low));
    if (!(diagonal > 0) || !std::isfinite(diagonal))
        return 1.0;
    return viewWidth / diagonal * 1.41421356237;
}

} // namespace kv
