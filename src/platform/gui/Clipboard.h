#pragma once
// Pictures and plain text on the system clipboard. Needs a running QGuiApplication; without one
// these throw EKorvelaError.

#include "platform/Bitmap.h"

#include <string>

namespace kv {

// Puts a copy of the bitmap on the clipboard (replacing what it held).
void PutClipboardBitmap(const TBitmap& bitmap);

// Whether the clipboard holds a picture.
bool ClipboardHasBitmap();

// The clipboard's picture as a bitmap (see QImageToBitmap for the formats). Throws EKorvelaError
// "The clipboard holds no picture" when it has none.
TBitmap ReadClipboardBitmap();

// Puts UTF-8 text on the clipboard.
void PutClipboardText(const std::string& text);

// The clipboard's plain text as UTF-8; empty when it holds none.
std::string ReadClipboardText();

} // namespace kv
