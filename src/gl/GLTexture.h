#pragma once
// Textures as plain data: the pixels of a texture (RGBA rows, bottom row first, as OpenGL takes
// them), the mapping parameters of an object's texture and the texture coordinates it computes
// for a mesh. The viewer uploads the pixels (TextureName is its OpenGL name, 0 until it makes one)
// and sets up the texture state from these values; nothing here calls OpenGL.
//
// Modes of an object texture: 0 generated coordinates (OpenGL's object-linear, eye-linear or
// sphere-map generation with the S and T planes, under GeneratedTextureMatrix), 1 computed
// coordinates (TexCoords, one per mesh corner, from a planar, cylindrical or spherical mapping),
// 2 a cube map.

#include "gl/GLLibrary.h"
#include "gl/GLMatrix.h"
#include "gl/Vector.h"
#include "platform/Bitmap.h"
#include "platform/HugeArry.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <vector>

namespace kv {

using TVector2DArray = THugeRecordArray<Vector2D>;

class TGLBaseBitmap {
public:
    TGLBaseBitmap() = default;
    virtual ~TGLBaseBitmap() = default;
    TGLBaseBitmap(const TGLBaseBitmap&) = delete;
    TGLBaseBitmap& operator=(const TGLBaseBitmap&) = delete;

    // Fires OnChange; descendants add to it.
    virtual void Changed();
    // No pixels, size 0, disabled.
    void Clear();
    // Copies the pixels, size and Enabled, then notifies a change.
    virtual void Assign(const TGLBaseBitmap& source);
    // The bitmap's pixels as RGBA with alpha 255, its bottom row first; notifies a change. Throws
    // std::bad_alloc for a picture whose RGBA bytes a byte array cannot hold (Image is then empty).
    void LoadFromBitmap(const TBitmap& bitmap);

    uint32_t TextureName = 0;
    THugeByte Image{4};
    int32_t Width = 0;
    int32_t Height = 0;
    bool Enabled = false;
    std::function<void(TGLBaseBitmap* sender)> OnChange;
};

// The picture behind the scene: drawn at RasterPos with PixelZoom.
class TGLBackTexture : public TGLBaseBitmap {
public:
    Vector3D RasterPos{0, 0, -10};
    Vector2D PixelZoom{1, 1};
};

enum TTextureMode : uint8_t { tmGenerated = 0, tmComputed = 1, tmCubeMap = 2 };
enum TManualTextureMap : uint8_t { mmPlanar = 0, mmCylindrical = 1, mmSpherical = 2 };
enum TAutoTextureMap : uint8_t { amObjectLinear = 0, amEyeLinear = 1, amSphereMap = 2 };

class TGLCubeMap;

class TGLObjectTexture : public TGLBaseBitmap {
public:
    TGLObjectTexture();
    ~TGLObjectTexture() override;

    // Also clears Uploaded.
    void Changed() override;
    // The bitmap's Assign; from an object texture also the modes and the mapping parameters (the
    // cube map is not copied), and Uploaded cleared.
    void Assign(const TGLBaseBitmap& source) override;

    uint8_t ManualTextureMap() const { return ManualTextureMap_; }
    const Vector2D& Scale() const { return Scale_; }
    const Vector2D& Offset() const { return Offset_; }
    double Yaw() const { return Yaw_; }
    double Pitch() const { return Pitch_; }
    double Roll() const { return Roll_; }
    const Float4& SPlane() const { return SPlane_; }
    const Float4& TPlane() const { return TPlane_; }
    bool Highlight() const { return Highlight_; }
    // Each stores the value and notifies a change (which clears Uploaded) when it differs.
    void SetManualTextureMap(uint8_t map);
    void SetScale(const Vector2D& scale);
    void SetOffset(const Vector2D& offset);
    void SetYaw(double degrees);
    void SetPitch(double degrees);
    void SetRoll(double degrees);
    void SetSPlane(const Float4& plane);
    void SetTPlane(const Float4& plane);
    void SetHighlight(bool on);

    // TexCoords for the corners, by ManualTextureMap: planar, one per vertex; cylindrical and
    // spherical, one per corner of each whole face. Any other map leaves TexCoords empty. The
    // extents are not used by any mapping.
    void ComputeTexCoords(std::span<const Vector3D> vertices, const Vector3D& extentMin, const Vector3D& extentMax);
    // The same coordinates, returned instead of kept.
    std::vector<Vector2D> MappedTexCoords(std::span<const Vector3D> vertices) const;
    // The texture matrix of generated coordinates: scale by Scale, translate by Offset, rotate by
    // Roll about z, composed as glScaled, glTranslated, glRotated compose them.
    Matrix4x4 GeneratedTextureMatrix() const;

    bool Uploaded = false;
    TVector2DArray TexCoords{5};
    uint8_t TextureMode = tmGenerated;
    uint8_t AutoTextureMap = amObjectLinear;
    std::unique_ptr<TGLCubeMap> CubeMap;

private:
    uint8_t ManualTextureMap_ = mmPlanar;
    Vector2D Scale_{1, 1};
    Vector2D Offset_;
    double Yaw_ = 0;
    double Pitch_ = 0;
    Float4 TPlane_{0, 1, 0, 0};
    Float4 SPlane_{1, 0, 0, 0};
    bool Highlight_ = false;
    double Roll_ = 0;
};

// The two-argument arctangent of the texture mappings: +-pi/2 by the sign of y (0 counting as
// positive) when x is exactly 0.
double TextureArcTan2(double y, double x);

// p turned by the angles (a1, a2, a3) in degrees: the rotation of the Euler angles (-a1, a2, a3).
Vector3D TextureRotate(const Vector3D& p, double a1, double a2, double a3);

} // namespace kv
