#pragma once
// TIFFs the program's own reader does not decode (Deflate, JPEG-in-TIFF, tiles, odd depths),
// read through libtiff so the user still gets the picture.

#include "imaging/ImageProgress.h"
#include "platform/Bitmap.h"

#include <cstdint>
#include <span>
#include <string>

namespace kv {

// Reads the first image of the TIFF held in `data` into `bitmap` at 32 bits per pixel (blue,
// green, red, alpha). Throws EKorvelaError naming `name`; the bitmap then keeps its picture.
void ReadTIFFWithLibrary(std::span<const uint8_t> data, TBitmap& bitmap, const TImageProgress& progress = {},
                         const std::string& name = "TIFF file");

} // namespace kv
