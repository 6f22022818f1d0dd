#pragma once
// The six faces of a cube map and how its texture coordinates are generated, as plain data. The
// viewer uploads the faces (LeftMap to +X, RightMap to -X, TopMap to +Y, BottomMap to -Y, FrontMap
// to +Z, BackMap to -Z) and sets up the generation from these values.

#include "gl/GLLibrary.h"
#include "gl/GLTexture.h"
#include "gl/Vector.h"

#include <array>
#include <cstdint>

namespace kv {

enum TCubeMapMode : uint8_t { cmObjectLinear = 0, cmReflectionMap = 1 };

class TGLCubeMap {
public:
    TGLCubeMap();
    TGLCubeMap(const TGLCubeMap&) = delete;
    TGLCubeMap& operator=(const TGLCubeMap&) = delete;

    const Float4& SPlane() const { return SPlane_; }
    const Float4& TPlane() const { return TPlane_; }
    const Float4& RPlane() const { return RPlane_; }
    const Vector3D& Scale() const { return Scale_; }
    const Vector3D& Offset() const { return Offset_; }
    // Each stores the value and clears Uploaded when it differs.
    void SetSPlane(const Float4& plane);
    void SetTPlane(const Float4& plane);
    void SetRPlane(const Float4& plane);
    void SetScale(const Vector3D& scale);
    void SetOffset(const Vector3D& offset);

    // The faces in upload order: +X, -X, +Y, -Y, +Z, -Z.
    std::array<TGLBaseBitmap*, 6> Faces() { return {&LeftMap, &RightMap, &TopMap, &BottomMap, &FrontMap, &BackMap}; }

    // The viewer's OpenGL name for the cube map, 0 until it makes one: each cube map keeps its
    // own faces, so two cube-mapped objects never show each other's pictures.
    uint32_t TextureName = 0;
    bool Uploaded = false;
    uint8_t MapMode = cmObjectLinear;
    TGLBaseBitmap LeftMap;
    TGLBaseBitmap RightMap;
    TGLBaseBitmap TopMap;
    TGLBaseBitmap BottomMap;
    TGLBaseBitmap FrontMap;
    TGLBaseBitmap BackMap;

private:
    Float4 SPlane_{1, 0, 0, 0};
    Float4 TPlane_{0, 1, 0, 0};
    Float4 RPlane_{0, 0, 1, 0};
    Vector3D Scale_{1, 1, 1};
    Vector3D Offset_;
};

} // namespace kv
