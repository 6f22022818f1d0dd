#pragma once
// The picture drawn behind the scene: 32-bit RGBA rows, bottom row first, as glDrawPixels reads
// them, placed by a raster position and zoom.

#include "gl/Vector.h"

#include <cstdint>
#include <filesystem>
#include <vector>

namespace kv {

class TBitmap;

class TGLBackTexture {
public:
    // Output row r is the bitmap's row height-1-r; each pixel becomes (red, green, blue, 255).
    void LoadFromBitmap(const TBitmap& bitmap);
    // Any picture format the program reads, by extension. Throws EKorvelaError.
    void LoadFromFile(const std::filesystem::path& fileName);
    void Clear();
    // Draws the picture at the raster position with the pixel zoom; the model-view matrix must be
    // the identity. Needs a current context.
    void Draw() const;

    std::vector<uint8_t> Image;
    int32_t Width = 0;
    int32_t Height = 0;
    bool Enabled = false;
    Vector3D RasterPos{0, 0, -10};
    Vector2D PixelZoom{1, 1};
};

} // namespace kv
