#pragma once
// GIF pictures through giflib: the first image of the file on its logical screen, 8 bits per
// pixel with the file's colour table.

#include "imaging/ImageProgress.h"
#include "platform/Bitmap.h"

#include <cstdint>
#include <span>
#include <string>

namespace kv {

// Reads the first image of the GIF held in `data` into `bitmap` (8 bits per pixel, the local or
// global colour table; the screen around the image in the background colour). Throws
// EKorvelaError naming `name`; the bitmap then keeps its picture.
void ReadGIF(std::span<const uint8_t> data, TBitmap& bitmap, const TImageProgress& progress = {},
             const std::string& name = "GIF file");

} // namespace kv
