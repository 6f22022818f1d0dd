#pragma once
// The drawing surface of a bitmap: pen, brush, font, an optional clip rectangle, and the
// drawing operations with exact pixel rules (no smoothing, no anti-aliasing).
//
// Pixel rules:
// - A rectangle (Left, Top, Right, Bottom) covers columns Left .. Right - 1 and rows
//   Top .. Bottom - 1 (see Rect.h). Nothing is drawn outside the bitmap or the clip rectangle.
// - Lines follow Bresenham's rule: along the longer axis every pixel from one end to the other,
//   on the shorter axis the position nearest the exact line; a point exactly half-way goes to the
//   smaller coordinate. The pixels do not depend on the direction the line is drawn in. A pen wider
//   than 1 pixel repeats the line across the shorter axis, centred (the extra pixel of an even
//   width goes right or down).
// - A dotted pen draws every other pixel, starting with the first one of each line (for a
//   rectangle outline, the pattern runs once around it, clockwise from the top-left corner; on an
//   ellipse outline the pixels whose x + y is even). Dots apply to 1-pixel pens; a wider dotted
//   pen draws solid.
// - The pen mode applies to the pen's pixels only: pmCopy paints the pen colour, pmNot inverts the
//   pixel (flips its stored bits: the colour's bytes, or the palette index), so that drawing the
//   same figure twice restores the picture. The brush always paints its colour.
// - Colours are painted as the nearest colour a bitmap of 15 bits or with a palette can hold.

#include "platform/Bitmap.h"
#include "platform/Color.h"
#include "platform/Rect.h"

#include <cstdint>
#include <optional>
#include <string>

namespace kv {

enum TPenStyle { psSolid, psDot };
enum TPenMode { pmCopy, pmNot };
enum TBrushStyle { bsSolid, bsClear };
enum TCopyMode { cmSrcCopy, cmNotSrcCopy };
enum TLineEnd { leOmitLast, leDrawLast };

struct TPen {
    TColor Color = clBlack;
    int32_t Width = 1; // values below 1 count as 1
    TPenStyle Style = psSolid;
    TPenMode Mode = pmCopy;
};

struct TBrush {
    TColor Color = clWhite;
    TBrushStyle Style = bsSolid;
};

// The font text is drawn in (by the GUI services, see platform/gui/CanvasText.h).
struct TFont {
    std::string Name = "Sans Serif";
    int32_t Size = 8; // points, at 96 pixels per inch
    TColor Color = clBlack;
};

class TCanvas {
public:
    // A canvas on the bitmap, which must outlive it. The bitmap may be resized or reformatted
    // between calls; every call works on its current state.
    explicit TCanvas(TBitmap& bitmap) : bitmap_(&bitmap) {}

    TBitmap& Bitmap() const { return *bitmap_; }

    TPen Pen;
    TBrush Brush;
    TFont Font;
    // Where the next LineTo starts.
    TPoint PenPos;

    // Limits every drawing operation to the rectangle (besides the bitmap's own bounds).
    void SetClipRect(const TRect& clip) { clip_ = clip; }
    void ClearClipRect() { clip_.reset(); }
    const std::optional<TRect>& ClipRect() const { return clip_; }
    // The pixels drawing may touch now: the bitmap's bounds, cut by the clip rectangle.
    TRect DrawableRect() const;

    // The pixel's colour, or clNone outside the bitmap.
    TColor GetPixel(int32_t x, int32_t y) const;
    // Paints one pixel in the colour (inside the clip rectangle only; the pen mode does not apply).
    void SetPixel(int32_t x, int32_t y, TColor color);

    // A line with the pen from `from` to `to`; its last pixel (at `to`) only with leDrawLast.
    // A line from a point to itself is that one pixel with leDrawLast and nothing without.
    void Line(TPoint from, TPoint to, TLineEnd end);
    void MoveTo(int32_t x, int32_t y) { PenPos = {x, y}; }
    // A line from PenPos to (x, y) without its last pixel; PenPos moves to (x, y).
    void LineTo(int32_t x, int32_t y);

    // The rectangle's outline with the pen, inside its bounds (a pen of width w paints the w
    // outermost rows and columns), and its inside with the brush. A rectangle whose corners are
    // given the wrong way round is turned first.
    void Rectangle(const TRect& rect);
    // The rectangle with the brush colour (whatever the brush style); an empty rectangle paints
    // nothing.
    void FillRect(const TRect& rect);
    // The ellipse that fits the rectangle, outlined with the pen and filled with the brush: the
    // pixels whose centres lie inside the ellipse whose axes end a quarter pixel inside the
    // rectangle's edges, and always the middle row(s) and column(s), so that it touches all four
    // sides (a circle of 10 pixels has rows of 4, 6, 8, 10, 10, 10, 10, 8, 6 and 4 pixels). The
    // outline is the pixels of that shape with a neighbour (left, right, up or down) outside it; a
    // pen of width w paints everything outside the same shape of the rectangle shrunk by w - 1 on
    // each side. The result is symmetric left to right and top to bottom, and turning the
    // rectangle by a quarter turns the picture. Rectangles over 2^30 pixels wide or high draw
    // nothing.
    void Ellipse(const TRect& rect);

    // Copies the source rectangle of a bitmap into the destination rectangle, stretching or
    // shrinking it by taking for each destination pixel the source pixel under its centre.
    // cmNotSrcCopy paints the inverted colours. Source pixels outside the source bitmap leave the
    // destination as it was; empty rectangles copy nothing. Source and destination may be the
    // same bitmap, even overlapping.
    void CopyRect(const TRect& dest, const TBitmap& source, const TRect& sourceRect, TCopyMode mode = cmSrcCopy);
    void CopyRect(const TRect& dest, const TCanvas& source, const TRect& sourceRect, TCopyMode mode = cmSrcCopy)
    {
        CopyRect(dest, source.Bitmap(), sourceRect, mode);
    }
    // The whole bitmap stretched into the rectangle.
    void StretchDraw(const TRect& dest, const TBitmap& bitmap);

private:
    TBitmap* bitmap_;
    std::optional<TRect> clip_;
};

} // namespace kv
