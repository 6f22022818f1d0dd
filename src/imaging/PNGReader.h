#pragma once
// PNG pictures through libpng: every colour type and depth, transparency kept as alpha.

#include "imaging/ImageProgress.h"
#include "platform/Bitmap.h"

#include <cstdint>
#include <span>
#include <string>

namespace kv {

// Reads the PNG held in `data` into `bitmap`: 32 bits per pixel when the picture carries
// transparency, else 24. Throws EKorvelaError naming `name`; the bitmap then keeps its picture.
void ReadPNG(std::span<const uint8_t> data, TBitmap& bitmap, const TImageProgress& progress = {},
             const std::string& name = "PNG file");

} // namespace kv
