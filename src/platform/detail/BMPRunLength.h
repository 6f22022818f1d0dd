#pragma once
// The run-length codes of compressed BMP files (RLE8 and RLE4).

#include "platform/Bitmap.h"

#include <cstdint>
#include <span>
#include <string>

namespace kv {

// Decodes `codes`, the compressed pixels that start at byte `offset` of the file `name`, into
// `bitmap` (pf8bit for RLE8, pf4bit for RLE4, already sized and 0). Rows are coded bottom-up.
// Pixels placed beyond a row's end or above the top row are dropped. The data must end with the
// end-of-bitmap code or fill the last row; otherwise, or when a code is cut off, it throws
// EKorvelaError naming the file and the byte.
void DecodeBMPRunLength(std::span<const uint8_t> codes, uint64_t offset, const std::string& name, bool fourBits,
                        TBitmap& bitmap);

} // namespace kv
