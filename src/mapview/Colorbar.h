#pragma once
// The elevation colour bar: an ordered list of boundaries down a bar, each with a colour, a
// position and the elevation at that position. Band i (1 <= i <= n - 1) lies between boundary
// i - 1 (above) and boundary i (below) and has entry i's colour; entry 0 only marks the top.
// The map, the topographic editor and the terrain colouring take their colours from it.
//
// The model has no display: it paints onto a canvas (PaintColorBar) and reports changes through
// its events; the control that shows it repaints on OnInvalidate and forwards the mouse.

#include "platform/Canvas.h"
#include "platform/Color.h"
#include "platform/Cursors.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace kv {

// The palettes: 13, 20, 24, 30 or 33 entries.
enum TColorCount { dc12, dc20, dc24, dc30, dc32 };

// Positions run from 0 at the top of the bar to this at the bottom.
inline constexpr int32_t BarPositionScale = 100000;

struct TColorBarEntry {
    TColor Color = clBlack;
    int32_t Position = 0; // 0 .. BarPositionScale
    double Value = 0.0;   // elevation at the boundary
    bool operator==(const TColorBarEntry&) const = default;
};

// The colours of a palette, entry 0 first.
std::vector<TColor> PaletteColors(TColorCount count);

class TColorBar {
public:
    // A bar of the dc20 palette, evenly spaced over the range 0 .. 0.
    TColorBar();

    // Properties read by the painting and the mouse; whoever changes one repaints.
    int32_t Selected = 1;     // the selected band
    bool LabelBars = false;   // label every band with its lower boundary's elevation
    double ScaleFactor = 1.0; // labels show value x ScaleFactor
    int32_t Decimals = 0;     // decimals of the labels
    bool Adjustable = true;   // boundaries can be dragged with the mouse
    bool AdjustEnds = true;   // the top and bottom boundaries too

    // Events. OnChangeSelect: the user selected another band (its index). OnChangeSpread: a
    // boundary drag ended and moved the boundaries. OnChangingBar: a boundary is being dragged
    // (its index, the elevation and the position under the mouse). OnInvalidate: the picture
    // changed and wants repainting.
    std::function<void(int32_t band)> OnChangeSelect;
    std::function<void()> OnChangeSpread;
    std::function<void(int32_t index, double value, int32_t position)> OnChangingBar;
    std::function<void()> OnInvalidate;

    const std::vector<TColorBarEntry>& Entries() const { return entries_; }
    int32_t Count() const { return static_cast<int32_t>(entries_.size()); }
    double Top() const { return top_; }
    double Bottom() const { return bottom_; }

    TColorCount ColorCount() const { return colorCount_; }
    // A new palette: loads it and spaces the boundaries evenly. The same value does nothing.
    void SetColorCount(TColorCount count);

    // Stores the range (the elevations at the top and the bottom) and recomputes every value.
    void SetRange(double top, double bottom);

    // Fills the entries' colours from the palette of ColorCount and sets their number; positions
    // of entries that existed before are kept, new ones start at the bottom.
    void LoadPalette();
    // Boundary i at i x 100000 / (n - 1).
    void SpaceEvenly();
    // Entry `index` takes the colour; an index outside the entries does nothing.
    void SetEntryColor(int32_t index, TColor color);
    // The boundaries strictly between first and last evenly between those two. first is clamped
    // to 0 and last to n - 1; nothing happens unless first < last.
    void SpreadEvenly(int32_t first, int32_t last);
    // The colours strictly between first and last (clamped to 1 .. n - 1, swapped if need be)
    // blended in a straight line from first's colour in steps of (last - first) / (last - first
    // + 1); components are rounded to whole numbers.
    void Gradient(int32_t first, int32_t last);
    // Boundary `index` moves to `position` (clamped to 0 .. 100000); later boundaries not below
    // their predecessor are pushed down to it + g (at most 100000), earlier ones not above their
    // successor pushed up to it - g (at least 0), g being about two pixels of a bar `height`
    // pixels tall. An index outside the entries does nothing.
    void MoveBoundary(int32_t index, int32_t position, int32_t height);

    // The colour of the band that holds the value; a value on a boundary takes the band above
    // it. A value beyond the bar's ends (or not a number) takes the nearest end band.
    TColor GetBandColor(double value) const;
    // Entry i's colour for the first i in 1 .. n - 1 whose value the value reaches (value >=
    // entry i's value), provided it is not above entry 0's value; otherwise entry 0's colour.
    TColor GetLevelColor(double value) const;

    // The mouse, y in pixels from the top of a bar `height` pixels tall (only when Adjustable).
    // Each returns the cursor the bar wants under the mouse.
    TCursor MouseDown(int32_t y, int32_t height);
    TCursor MouseMove(int32_t y, int32_t height);
    // Ends a drag at y: MoveBoundary, then with `spread` (Ctrl held) the boundaries above and
    // below the moved one are spread evenly; OnChangeSpread.
    TCursor MouseUp(int32_t y, int32_t height, bool spread);
    // While a boundary is dragged: the y of the line that follows the mouse.
    std::optional<int32_t> DragLine() const;

    // The boundary a mouse at y would grab: within 1 pixel of its place; boundaries 1 .. n - 2,
    // or 0 .. n - 1 with AdjustEnds.
    std::optional<int32_t> BoundaryAt(int32_t y, int32_t height) const;
    // The band whose pixel rows hold y, if any.
    std::optional<int32_t> BandAt(int32_t y, int32_t height) const;
    // Pixel row of boundary i on a bar `height` pixels tall.
    int32_t BoundaryY(int32_t index, int32_t height) const;

private:
    void RecomputeValues();
    void Invalidate() const;

    std::vector<TColorBarEntry> entries_;
    TColorCount colorCount_ = dc20;
    double top_ = 0.0;
    double bottom_ = 0.0;
    std::optional<int32_t> dragIndex_;
    int32_t dragY_ = 0;
};

// Text on a canvas, which needs the windowing toolkit's fonts: the GUI layer implements it.
// Painting without one skips the labels.
class TTextPainter {
public:
    virtual ~TTextPainter() = default;
    // Width and height in pixels of the text in the canvas's font.
    virtual TPoint TextExtent(const TCanvas& canvas, const std::string& text) = 0;
    // The text with its top-left corner at (x, y), in the canvas's font colour, no background.
    virtual void TextOut(TCanvas& canvas, int32_t x, int32_t y, const std::string& text) = 0;
};

// Paints the bar onto the canvas's bitmap, `width` x `height` pixels from (0, 0): each band
// filled with its colour and outlined (black, or grey 0x808080 on dark colours); with LabelBars
// and a text painter each band's value centred in it where the text fits; when `enabled`, a
// dotted inverted frame around the selected band; while a boundary is dragged, an inverted line
// at the mouse. The canvas's pen, brush and font colour are left as they were.
void PaintColorBar(TCanvas& canvas, const TColorBar& bar, int32_t width, int32_t height, bool enabled,
                   TTextPainter* text);

} // namespace kv
