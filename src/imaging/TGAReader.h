#pragma once
// Truevision TGA pictures: colour-mapped, true-colour and grey images, uncompressed or
// run-length encoded, at 8, 15, 16, 24 and 32 bits per pixel, in any of the four corner orders.

#include "imaging/ImageProgress.h"
#include "platform/Bitmap.h"

#include <cstdint>
#include <span>
#include <string>

namespace kv {

// Reads the TGA held in `data` into `bitmap`: 8 bits per pixel with a colour table for mapped
// and grey images, 15 (5-5-5) for 15/16-bit, 24 and 32 for true colour. Throws EKorvelaError
// naming `name` for a malformed header; pixel data cut short leaves the rest of the picture 0.
void ReadTGA(std::span<const uint8_t> data, TBitmap& bitmap, const TImageProgress& progress = {},
             const std::string& name = "TGA file");

} // namespace kv
