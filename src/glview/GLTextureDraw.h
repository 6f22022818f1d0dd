#pragma once
// The picture side of textures that needs the picture readers or OpenGL: loading a picture file
// into a texture bitmap and drawing the background picture.

#include "gl/GLTexture.h"

#include <filesystem>

namespace kv {

// Any picture format the program reads, by extension, into the bitmap (LoadFromBitmap). Throws
// EKorvelaError.
void LoadTextureFile(TGLBaseBitmap& texture, const std::filesystem::path& fileName);

// The picture with its lower left corner at the raster position (moved by RasterPos.x/.y pixels),
// zoomed by PixelZoom; the model-view matrix must be the identity. Needs a current context.
void DrawBackTexture(const TGLBackTexture& back);

} // namespace kv
