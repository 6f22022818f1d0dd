#include "glview/GLBackTexture.h"

#include "imaging/ImageLib.h"
#include "platform/Bitmap.h"
#include "platform/Color.h"

#include <GL/gl.h>

namespace kv {

void TGLBackTexture::LoadFromBitmap(const TBitmap& bitmap)
{
    const int32_t width = bitmap.Width();
    const int32_t height = bitmap.Height();
    std::vector<uint8_t> image(size_t(width) * size_t(height) * 4);
    size_t k = 0;
    for (int32_t r = 0; r < height; ++r)
        for (int32_t x = 0; x < width; ++x) {
            const TColor color = bitmap.GetPixel(x, height - 1 - r);
            image[k++] = static_cast<uint8_t>(color & 0xFF);
            image[k++] = static_cast<uint8_t>((color >> 8) & 0xFF);
            image[k++] = static_cast<uint8_t>((color >> 16) & 0xFF);
            image[k++] = 255;
        }
    Image = std::move(image);
    Width = width;
    Height = height;
}

void TGLBackTexture::LoadFromFile(const std::filesystem::path& fileName)
{
    TBitmap bitmap;
    LoadImageFile(bitmap, fileName);
    LoadFromBitmap(bitmap);
}

void TGLBackTexture::Clear()
{
    Image.clear();
    Width = Height = 0;
    Enabled = false;
}

void TGLBackTexture::Draw() const
{
    if (Width <= 0 || Height <= 0)
        return;
    glRasterPos3d(0, 0, RasterPos.z);
    glBitmap(0, 0, 0, 0, static_cast<float>(RasterPos.x), static_cast<float>(RasterPos.y), nullptr);
    glPixelZoom(static_cast<float>(PixelZoom.x), static_cast<float>(PixelZoom.y));
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glDrawPixels(Width, Height, GL_RGBA, GL_UNSIGNED_BYTE, Image.data());
}

} // namespace kv
