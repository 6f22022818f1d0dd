#pragma once
// Loading a picture file by its extension: JPEG, PNG and GIF through their libraries, TIFF, TGA,
// PCX and LBM through the program's own readers, everything else as a Windows bitmap.

#include "imaging/ImageProgress.h"
#include "platform/Bitmap.h"

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>

namespace kv {

// The decoder an extension selects, compared in lower case.
enum TPictureFormat { pfmBMP, pfmJPEG, pfmTIFF, pfmGIF, pfmPNG, pfmTGA, pfmPCX, pfmLBM };

// ".jpg"/".jpeg", ".tif"/".tiff", ".gif", ".png", ".tga", ".pcx", ".lbm" in any case; anything
// else, no extension and ".drg" included, is a Windows bitmap.
TPictureFormat PictureFormatOf(const std::filesystem::path& fileName);

// Fills `bitmap` from the file by the format its extension selects. TIFFs the program's reader
// does not support (other compressions, tiles) are read through libtiff instead. `progress`
// receives the decoding's stages (not for bitmaps, which load at once). Throws EKorvelaError:
// "Cannot open file <name>", or the decoder's message; the bitmap then keeps its picture.
void LoadImageFile(TBitmap& bitmap, const std::filesystem::path& fileName, const TImageProgress& progress = {});

// The same for a file held in memory; `name` gives the extension and the name errors show.
void LoadImageData(TBitmap& bitmap, std::span<const uint8_t> data, const std::string& name,
                   const TImageProgress& progress = {});

} // namespace kv
