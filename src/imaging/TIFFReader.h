#pragma once
// The program's own TIFF reader: the first image of a file, in strips, uncompressed, PackBits or
// LZW, at 1, 4, 8, 16 (grey), 24 (RGB) or 32 (RGBA or CMYK) bits per pixel.
//
// Files of either byte order are read; the picture lands in the bitmap top row first. What the
// reader does not support (other compressions, tiled images) it refuses with
// ETIFFUnsupportedError, so that the picture loader can hand the file to libtiff instead.

#include "imaging/ImageProgress.h"
#include "platform/Bitmap.h"
#include "platform/KVError.h"

#include <cstdint>
#include <span>
#include <string>

namespace kv {

// A TIFF this reader cannot decode but another reader may: "Unsupported Compression = 8", or a
// tiled image.
class ETIFFUnsupportedError : public EKorvelaError {
public:
    using EKorvelaError::EKorvelaError;
};

// Reads the TIFF held in `data` into `bitmap`. A file whose first directory offset is 0 leaves
// the bitmap as it was. Throws EKorvelaError with the texts "Invalid TIF File", "Unsupported
// Bits/Pixel: N", "Width or Height is Zero", "Invalid LZW Code", ETIFFUnsupportedError for
// "Unsupported Compression = N" and tiled images, and an EKorvelaError naming `name` when the
// picture would need far more memory than the file could fill. On any error the bitmap keeps its
// picture. Image data cut short ends the decoding quietly: rows not decoded stay 0.
void ReadTIFF(std::span<const uint8_t> data, TBitmap& bitmap, const TImageProgress& progress = {},
              const std::string& name = "TIFF file");

} // namespace kv
