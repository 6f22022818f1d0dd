#pragma once
// The overlay editor's picture: the prepared picture, optionally inverted, with the topo grid's
// frame, handles and contours drawn over it, and the readouts beside it.

#include "mapview/TopoGrid.h"
#include "mapview/TriangleContours.h"
#include "overlay/KVOverlay.h"
#include "overlay/OverlayLayout.h"
#include "platform/Bitmap.h"
#include "platform/Rect.h"

#include <optional>
#include <string>

namespace kv {

struct TOverlayPaintOptions {
    bool InvertImage = false;
    bool HideContours = false;    // neither frame, handles nor contours
    double IntervalMetres = 50.0; // the contour interval field's value / the unit factor
    int32_t LineWidth = 1;
    // The part of the picture to repaint; the contours are traced only over its cells (plus a
    // margin) while the grid is not turned. None: the whole picture.
    std::optional<TRect> Clip;
};

// The first level of a triangle whose lowest elevation is z: the elevation truncated to whole
// metres, rounded up to a multiple of the interval truncated to whole metres (at least 1), and
// raised by that step when it lies below z, so that no level below the triangle is traced.
double OverlayFirstLevel(double z, double interval);

// The frame of the layout: the rectangle enlarged by 2 pixels, its corners turned, the turned
// middle of its top edge and its unturned centre.
TOverlayFrame OverlayFrameFor(const TOverlayLayout& layout);

// Paints the picture into `screen` (resized to it, 24 bits per pixel). Unless the contours are
// hidden it stores the frame in the document and draws it and its handles; unless a drag is
// going on it traces the contours in the document's line colour. Returns false when the abort
// hook stopped the tracing. Draws nothing (and leaves `screen` empty) without a picture.
bool PaintOverlay(TOverlayDocument& doc, const TTopoGrid& grid, TBitmap& screen, const TOverlayPaintOptions& options,
                  const TAbortRequested& abortRequested = {});
// The same without a topo grid (null): the picture alone.
bool PaintOverlay(TOverlayDocument& doc, const TTopoGrid* grid, TBitmap& screen, const TOverlayPaintOptions& options,
                  const TAbortRequested& abortRequested = {});

struct TOverlayReadouts {
    std::string Origin;    // "-0.5000 -0.5000"
    std::string Scale;     // ScaleX / (east spacing x f) and ScaleY / (north spacing x f), 8 decimals
    std::string Rotation;  // "3.0"
    bool HasScale = false; // the spacings are known (both non-zero); Scale and Rotation are set
};
TOverlayReadouts OverlayReadouts(const TOverlayDocument& doc, double eastSpacing, double northSpacing,
                                 double unitFactor);

} // namespace kv
