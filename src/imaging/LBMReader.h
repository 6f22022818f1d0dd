#pragma once
// IFF pictures (.lbm): interleaved bitmaps (ILBM) of 1 to 8 bit planes with their colour map,
// extra-half-brite, 24-bit deep ILBM, and chunky PBM, uncompressed or ByteRun1.

#include "imaging/ImageProgress.h"
#include "platform/Bitmap.h"

#include <cstdint>
#include <span>
#include <string>

namespace kv {

// Reads the IFF picture held in `data` into `bitmap`: 8 bits per pixel with a colour table, or
// 24 for deep images. Throws EKorvelaError naming `name` for a malformed or unsupported file
// (hold-and-modify pictures among them); a body cut short leaves the remaining rows 0.
void ReadLBM(std::span<const uint8_t> data, TBitmap& bitmap, const TImageProgress& progress = {},
             const std::string& name = "LBM file");

} // namespace kv
