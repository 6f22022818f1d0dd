#pragma once
// JPEG pictures through libjpeg: grey, colour and (Adobe) CMYK files, always 24 bits per pixel.

#include "imaging/ImageProgress.h"
#include "platform/Bitmap.h"

#include <cstdint>
#include <span>
#include <string>

namespace kv {

// Reads the JPEG held in `data` into `bitmap` at 24 bits per pixel. Throws EKorvelaError naming
// `name`; the bitmap then keeps its picture.
void ReadJPEG(std::span<const uint8_t> data, TBitmap& bitmap, const TImageProgress& progress = {},
              const std::string& name = "JPEG file");

} // namespace kv
