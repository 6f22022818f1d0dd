#include "gl/GLCubeMap.h"

namespace kv {

TGLCubeMap::TGLCubeMap()
{
    for (TGLBaseBitmap* face : Faces())
        face->OnChange = [this](TGLBaseBitmap*) { Uploaded = false; };
}

namespace {

template <typename T>
void StoreClearing(T& field, const T& value, bool& uploaded)
{
    if (field == value)
        return;
    field = value;
    uploaded = false;
}

} // namespace

void TGLCubeMap::SetSPlane(const Float4& plane)
{
    StoreClearing(SPlane_, plane, Uploaded);
}

void TGLCubeMap::SetTPlane(const Float4& plane)
{
    StoreClearing(TPlane_, plane, Uploaded);
}

void TGLCubeMap::SetRPlane(const Float4& plane)
{
    StoreClearing(RPlane_, plane, Uploaded);
}

void TGLCubeMap::SetScale(const Vector3D& scale)
{
    StoreClearing(Scale_, scale, Uploaded);
}

void TGLCubeMap::SetOffset(const Vector3D& offset)
{
    StoreClearing(Offset_, offset, Uploaded);
}

} // namespace kv
