#include "glview/GLTextureDraw.h"

#include "imaging/ImageLib.h"
#include "platform/Bitmap.h"

#include <GL/gl.h>

namespace kv {

void LoadTextureFile(TGLBaseBitmap& texture, const std::filesystem::path& fileName)
{
    TBitmap bitmap;
    LoadImageFile(bitmap, fileName);
    texture.LoadFromBitmap(bitmap);
}

void DrawBackTexture(const TGLBackTexture& back)
{
    if (back.Width <= 0 || back.Height <= 0 || back.Image.Count() < int64_t(back.Width) * back.Height * 4)
        return;
    glRasterPos3d(0, 0, back.RasterPos.z);
    glBitmap(0, 0, 0, 0, static_cast<float>(back.RasterPos.x), static_cast<float>(back.RasterPos.y), nullptr);
    glPixelZoom(static_cast<float>(back.PixelZoom.x), static_cast<float>(back.PixelZoom.y));
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glDrawPixels(back.Width, back.Height, GL_RGBA, GL_UNSIGNED_BYTE, back.Image.Items().data());
}

} // namespace kv
