#pragma once
// Our bitmaps as Qt images and back, for the clipboard and the printer.

#include "platform/Bitmap.h"

#include <QImage>

namespace kv {

// An image of the same size and colours: pf1bit as a mono image, pf4bit and pf8bit as 8-bit
// indexed images with the colour table, pf15bit as RGB555, pf24bit as BGR888, pf32bit as RGB32.
QImage BitmapToQImage(const TBitmap& bitmap);

// A bitmap of the same size and colours: mono images become pf1bit, 8-bit indexed ones pf8bit
// with their colour table, everything else pf24bit (pixels with transparency laid over white).
// Throws EKorvelaError when the bitmap cannot be allocated.
TBitmap QImageToBitmap(const QImage& image);

} // namespace kv
