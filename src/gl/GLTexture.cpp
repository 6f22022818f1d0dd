#include "gl/GLTexture.h"

#include "gl/GLCubeMap.h"
#include "gl/GLQuatLib.h"

#include <cmath>
#include <limits>
#include <new>

namespace kv {

// ---- TGLBaseBitmap ----

void TGLBaseBitmap::Changed()
{
    if (OnChange)
        OnChange(this);
}

void TGLBaseBitmap::Clear()
{
    Image.Clear();
    Width = 0;
    Height = 0;
    Enabled = false;
}

void TGLBaseBitmap::Assign(const TGLBaseBitmap& source)
{
    if (&source == this)
        return;
    Image.Assign(source.Image);
    Width = source.Width;
    Height = source.Height;
    Enabled = source.Enabled;
    Changed();
}

void TGLBaseBitmap::LoadFromBitmap(const TBitmap& bitmap)
{
    const int32_t width = bitmap.Width();
    const int32_t height = bitmap.Height();
    Image.Clear();
    const int64_t bytes = int64_t{width} * height * 4;
    if (bytes > std::numeric_limits<int32_t>::max())
        throw std::bad_alloc(); // more than a byte array can hold; nothing has changed but Image
    if (bytes > 0) {
        Image.SetCapacity(static_cast<int32_t>(bytes));
        for (int32_t r = 0; r < height; ++r)
            for (int32_t x = 0; x < width; ++x) {
                // Red in the low byte of the colour.
                const TColor color = bitmap.GetPixel(x, height - 1 - r);
                Image.Add(static_cast<uint8_t>(color & 0xFF));
                Image.Add(static_cast<uint8_t>((color >> 8) & 0xFF));
                Image.Add(static_cast<uint8_t>((color >> 16) & 0xFF));
                Image.Add(uint8_t{255});
            }
    }
    Width = width;
    Height = height;
    Changed();
}

// ---- TGLObjectTexture ----

TGLObjectTexture::TGLObjectTexture() : CubeMap(std::make_unique<TGLCubeMap>()) {}

TGLObjectTexture::~TGLObjectTexture() = default;

void TGLObjectTexture::Changed()
{
    Uploaded = false;
    TGLBaseBitmap::Changed();
}

void TGLObjectTexture::Assign(const TGLBaseBitmap& source)
{
    if (&source == this)
        return;
    TGLBaseBitmap::Assign(source);
    if (const auto* texture = dynamic_cast<const TGLObjectTexture*>(&source)) {
        Uploaded = false;
        TextureMode = texture->TextureMode;
        AutoTextureMap = texture->AutoTextureMap;
        SetManualTextureMap(texture->ManualTextureMap_);
        SetScale(texture->Scale_);
        SetOffset(texture->Offset_);
        SetYaw(texture->Yaw_);
        SetPitch(texture->Pitch_);
        SetRoll(texture->Roll_);
        SetSPlane(texture->SPlane_);
        SetTPlane(texture->TPlane_);
    }
}

namespace {

template <typename T> bool Store(T& field, const T& value)
{
    if (field == value)
        return false;
    field = value;
    return true;
}

} // namespace

void TGLObjectTexture::SetManualTextureMap(uint8_t map)
{
    if (Store(ManualTextureMap_, map))
        Changed();
}

void TGLObjectTexture::SetScale(const Vector2D& scale)
{
    if (Store(Scale_, scale))
        Changed();
}

void TGLObjectTexture::SetOffset(const Vector2D& offset)
{
    if (Store(Offset_, offset))
        Changed();
}

void TGLObjectTexture::SetYaw(double degrees)
{
    if (Store(Yaw_, degrees))
        Changed();
}

void TGLObjectTexture::SetPitch(double degrees)
{
    if (Store(Pitch_, degrees))
        Changed();
}

void TGLObjectTexture::SetRoll(double degrees)
{
    if (Store(Roll_, degrees))
        Changed();
}

void TGLObjectTexture::SetSPlane(const Float4& plane)
{
    if (Store(SPlane_, plane))
        Changed();
}

void TGLObjectTexture::SetTPlane(const Float4& plane)
{
    if (Store(TPlane_, plane))
        Changed();
}

void TGLObjectTexture::SetHighlight(bool on)
{
    if (Store(Highlight_, on))
        Changed();
}

double TextureArcTan2(double y, double x)
{
    if (x == 0)
        return y >= 0 ? M_PI / 2 : -M_PI / 2;
    return std::atan2(y, x);
}

Vector3D TextureRotate(const Vector3D& p, double a1, double a2, double a3)
{
    return QuaternionRotateVector(QuaternionFromEuler(-a1, a2, a3), p);
}

std::vector<Vector2D> TGLObjectTexture::MappedTexCoords(std::span<const Vector3D> vertices) const
{
    std::vector<Vector2D> coords;
    if (ManualTextureMap_ == mmPlanar) {
        for (const Vector3D& p : vertices) {
            const Vector3D r = TextureRotate(p, Pitch_, Yaw_, Roll_);
            coords.push_back(Vector2D{r.x * Scale_.x - Offset_.x, r.y * Scale_.y - Offset_.y});
        }
        return coords;
    }
    if (ManualTextureMap_ != mmCylindrical && ManualTextureMap_ != mmSpherical)
        return coords;
    const Quaternion turn = QuaternionFromEuler(-Pitch_, 0, 0);
    for (size_t face = 0; face + 3 <= vertices.size(); face += 3) {
        Vector3D r[3];
        bool nonNegative = false;
        bool negative = false;
        for (size_t k = 0; k < 3; ++k) {
            r[k] = QuaternionRotateVector(turn, vertices[face + k]);
            const double angle = TextureArcTan2(r[k].y, r[k].x);
            nonNegative = nonNegative || angle >= 0;
            negative = negative || angle < 0;
        }
        const Vector3D n = TriangleNormal(r[0], r[1], r[2]);
        // A face on the far side whose corners lie on both sides of the seam at +-180 degrees:
        // its u values are kept together by moving the positive ones down one turn.
        const bool acrossSeam = nonNegative && negative && std::abs(TextureArcTan2(n.y, n.x)) > M_PI / 2;
        for (const Vector3D& c : r) {
            double u = TextureArcTan2(c.y, c.x) / (2 * M_PI);
            if (acrossSeam && u > 0)
                u -= 1;
            u = u * Scale_.x - Offset_.x;
            const double v = ManualTextureMap_ == mmCylindrical
                                 ? c.z * Scale_.y - Offset_.y
                                 : TextureArcTan2(c.z, VectorLength(c)) * Scale_.y / M_PI - Offset_.y;
            coords.push_back(Vector2D{u, v});
        }
    }
    return coords;
}

void TGLObjectTexture::ComputeTexCoords(std::span<const Vector3D> vertices, const Vector3D&, const Vector3D&)
{
    TexCoords.Clear();
    for (const Vector2D& c : MappedTexCoords(vertices))
        TexCoords.Add(c);
}

Matrix4x4 TGLObjectTexture::GeneratedTextureMatrix() const
{
    // glScaled, glTranslated, glRotated in turn: the texture coordinate meets the rotation first,
    // which in row-vector layout is the leftmost factor.
    Matrix4x4 scale;
    scale[0] = Scale_.x;
    scale[5] = Scale_.y;
    Matrix4x4 translate;
    translate[12] = Offset_.x;
    translate[13] = Offset_.y;
    const double c = std::cos(Roll_ * DegToRad);
    const double s = std::sin(Roll_ * DegToRad);
    Matrix4x4 rotate;
    rotate[0] = c;
    rotate[1] = s;
    rotate[4] = -s;
    rotate[5] = c;
    return MatrixMultiply(MatrixMultiply(rotate, translate), scale);
}

} // namespace kv
