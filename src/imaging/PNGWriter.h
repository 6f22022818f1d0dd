#pragma once
// Pictures as PNG files (8-bit RGB) through libpng, for the command-line tool's outputs.

#include "platform/Bitmap.h"

#include <string>

namespace kv {

// The bitmap, whatever its pixel format, as a PNG file in memory. Throws EKorvelaError when the
// encoder fails (or the bitmap is empty: PNG has no pictures without pixels).
std::string EncodePNG(const TBitmap& bitmap);

} // namespace kv
