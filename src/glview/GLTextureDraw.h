#pragma once
// The picture side of textures that needs the picture readers or OpenGL: loading a picture file
// into a texture bitmap and drawing the background picture.

#include "gl/GLTexture.h"
#include "platform/Bitmap.h"

#include <filesystem>

class QWidget;

namespace kv {

// Any picture format the program reads, by extension, into the bitmap (LoadFromBitmap). With
// `showProgress` the "Loading Bitmap" window shows the decoding (not for Windows bitmaps, which
// load at once) and is gone afterwards, also when the file is refused. Throws EKorvelaError.
void LoadTextureFile(TGLBaseBitmap& texture, const std::filesystem::path& fileName, bool showProgress = false);

// LoadImageFile, with the "Loading Bitmap" window over `parent` while a decoder runs.
void LoadImageFileShowingProgress(TBitmap& bitmap, const std::filesystem::path& fileName, QWidget* parent = nullptr);

// The picture with its lower left corner at the raster position (moved by RasterPos.x/.y pixels),
// zoomed by PixelZoom; the model-view matrix must be the identity. Needs a current context.
void DrawBackTexture(const TGLBackTexture& back);

} // namespace kv
