#include "gl/GLTextureCoords.h"

namespace kv {

namespace {

// OpenGL's object-linear generation: the plane's dot product with (x, y, z, 1).
double PlaneValue(const Float4& plane, const Vector3D& p)
{
    return double(plane.r) * p.x + double(plane.g) * p.y + double(plane.b) * p.z + double(plane.a);
}

} // namespace

std::vector<Vector2D> CornerTexCoords(const TGLMesh& mesh)
{
    const TGLObjectTexture& texture = *mesh.Texture;
    const std::span<const Vector3D> corners = mesh.Vertices.Items().first(size_t(3) * size_t(mesh.FaceCount()));
    std::vector<Vector2D> coords;
    if (corners.empty())
        return coords;
    if (texture.TextureMode == tmComputed) {
        if (mesh.TexCoordsValid && size_t(texture.TexCoords.Count()) >= corners.size()) {
            const std::span<const Vector2D> kept = texture.TexCoords.Items();
            coords.assign(kept.begin(), kept.begin() + std::ptrdiff_t(corners.size()));
        } else {
            coords = texture.MappedTexCoords(mesh.Vertices.Items());
            if (coords.size() < corners.size())
                coords.clear();
            coords.resize(std::min(coords.size(), corners.size()));
        }
        return coords;
    }
    if (texture.TextureMode != tmGenerated || texture.AutoTextureMap != amObjectLinear)
        return coords;
    // The generated (s, t, 0, 1) goes through the texture matrix, row vector on the left.
    const Matrix4x4 m = texture.GeneratedTextureMatrix();
    coords.reserve(corners.size());
    for (const Vector3D& p : corners) {
        const double s = PlaneValue(texture.SPlane(), p);
        const double t = PlaneValue(texture.TPlane(), p);
        const double q = s * m[3] + t * m[7] + m[15];
        const double divide = q != 0 ? q : 1.0;
        coords.push_back({(s * m[0] + t * m[4] + m[12]) / divide, (s * m[1] + t * m[5] + m[13]) / divide});
    }
    return coords;
}

bool TextureHasPicture(const TGLBaseBitmap& bitmap)
{
    return bitmap.Width > 0 && bitmap.Height > 0 && bitmap.Image.Count() >= int64_t{bitmap.Width} * bitmap.Height * 4;
}

TBitmap TextureBitmap(const TGLBaseBitmap& bitmap)
{
    if (!TextureHasPicture(bitmap))
        return TBitmap();
    TBitmap picture(bitmap.Width, bitmap.Height, pf24bit);
    const std::span<const uint8_t> rgba = bitmap.Image.Items();
    for (int32_t y = 0; y < bitmap.Height; ++y) {
        const size_t row = size_t(bitmap.Height - 1 - y) * size_t(bitmap.Width) * 4;
        for (int32_t x = 0; x < bitmap.Width; ++x) {
            const uint8_t* p = rgba.data() + row + size_t(x) * 4;
            picture.SetPixel(x, y, TColor(p[0]) | (TColor(p[1]) << 8) | (TColor(p[2]) << 16));
        }
    }
    return picture;
}

} // namespace kv
