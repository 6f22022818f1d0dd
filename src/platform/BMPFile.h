#pragma once
// Windows bitmap (BMP) files.
//
// Reading: headers of 12 (OS/2), 40, 52, 56, 64 (OS/2 2), 108 and 124 bytes; 1, 4, 8, 16, 24 and
// 32 bits per pixel; uncompressed, RLE8, RLE4, and bit fields for 16 and 32 bits; rows stored
// bottom-up or top-down; at least 1 x 1 pixels. 16-bit pixels in the 5-5-5 layout become pf15bit and 32-bit pixels in the
// 8-8-8 layout pf32bit, copied as they are; other bit-field layouts are converted to pf32bit.
// Every size and offset is checked against the data before it is used; a failure throws
// EKorvelaError with one sentence that names the file and the byte ("map.bmp: the pixel data at
// byte 1078 needs 40000 bytes, the file has 3912 from there").
//
// Writing: a 40-byte header, uncompressed, rows bottom-up, pf15bit as 16 bits per pixel (which
// means 5-5-5), the colour table of the formats up to 8 bits.

#include "platform/Bitmap.h"

#include <filesystem>
#include <span>
#include <string>

namespace kv {

// Reads the file; errors name the file by its name without the folder.
TBitmap LoadBMPFile(const std::filesystem::path& fileName);

// Reads a BMP file held in memory; `name` is the file name the errors give.
TBitmap LoadBMPStream(std::span<const char> data, const std::string& name);

// The bitmap as the bytes of a BMP file. Throws EKorvelaError when it is too large for the format
// (4 GiB).
std::string FormatBMPData(const TBitmap& bitmap);

// Writes the bitmap as a BMP file; a failure leaves an existing file as it was.
void SaveBMPFile(const std::filesystem::path& fileName, const TBitmap& bitmap);

} // namespace kv
