#include "glview/GLTextureDraw.h"

#include "imaging/ImageLib.h"
#include "platform/Bitmap.h"
#include "platform/gui/BitmapProgress.h"

#include <memory>

#include <GL/gl.h>

namespace kv {

void LoadImageFileShowingProgress(TBitmap& bitmap, const std::filesystem::path& fileName, QWidget* parent)
{
    if (PictureFormatOf(fileName) == pfmBMP) {
        LoadImageFile(bitmap, fileName);
        return;
    }
    // Owned here so the window goes also when the decoder throws.
    const auto window = std::make_unique<TBitmapProgress>(parent);
    window->Open();
    LoadImageFile(bitmap, fileName,
                  [&window](TProgressStage stage, int percent) { window->Report(static_cast<int>(stage), percent); });
}

void LoadTextureFile(TGLBaseBitmap& texture, const std::filesystem::path& fileName, bool showProgress)
{
    TBitmap bitmap;
    if (showProgress)
        LoadImageFileShowingProgress(bitmap, fileName);
    else
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
