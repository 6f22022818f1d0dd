#pragma once
// ZSoft PCX pictures: 1-bit, 4-plane (16 colours), 4-bit, 8-bit with its 256-colour table, and
// 24/32-bit in three or four planes, run-length encoded or not.

#include "imaging/ImageProgress.h"
#include "platform/Bitmap.h"

#include <cstdint>
#include <span>
#include <string>

namespace kv {

// Reads the PCX held in `data` into `bitmap`. Throws EKorvelaError naming `name` for a malformed
// or unsupported header; image data cut short leaves the remaining rows 0.
void ReadPCX(std::span<const uint8_t> data, TBitmap& bitmap, const TImageProgress& progress = {},
             const std::string& name = "PCX file");

} // namespace kv
