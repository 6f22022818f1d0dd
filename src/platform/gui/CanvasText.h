#pragma once
// Text on our canvases, set by Qt's font engine in the canvas's font (TCanvas::Font: name, size in
// points at 96 pixels per inch, colour). Glyphs are drawn without smoothing, so every text pixel
// has exactly the font's colour, in every pixel format. Like the rest of the canvas, text keeps to
// the clip rectangle. Needs a running QGuiApplication; without one these throw EKorvelaError.

#include "platform/Canvas.h"

#include <cstdint>
#include <string>

namespace kv {

// Width of the text in pixels (its advance: where the next text would start).
int32_t TextWidth(const TCanvas& canvas, const std::string& text);

// Height of a line of the font in pixels (ascent + descent), whatever the text.
int32_t TextHeight(const TCanvas& canvas, const std::string& text);

// Draws UTF-8 text with the top-left corner of its line at (x, y). With a solid brush the
// rectangle (x, y, x + TextWidth, y + TextHeight) is first filled with the brush colour.
void TextOut(TCanvas& canvas, int32_t x, int32_t y, const std::string& text);

} // namespace kv
