#pragma once
// Dragging on the overlay editor's picture: a corner handle stretches the grid, the rotation
// handle turns it, the inside of the frame moves it. Positions are picture pixels; the handles
// are those of the last painted frame.

#include "overlay/KVOverlay.h"

#include <cstdint>
#include <string>

namespace kv {

// The handle or area under (x, y): corner handles 1 to 4, then the rotation handle (each a
// 10 x 10 square around its point, right and bottom edges excluded), then the inside of the
// turned frame (even-odd test over its corners), else dmNone.
TDragMode OverlayHitTest(const TOverlayFrame& frame, int32_t x, int32_t y);

// A button went down at (x, y): remembers the point and what was hit; dragging starts.
void OverlayMouseDown(TOverlayDocument& doc, int32_t x, int32_t y);

// The mouse moved to (x, y) on a picture of boxWidth x boxHeight pixels. With the left button
// held, the drag mode acts on the alignment; returns true when it changed (the picture needs a
// repaint).
bool OverlayMouseMove(TOverlayDocument& doc, int32_t x, int32_t y, bool leftButtonDown, int32_t boxWidth,
                      int32_t boxHeight);

// The button came up: dragging stops (the caller repaints, with contours again).
void OverlayMouseUp(TOverlayDocument& doc);

// "x y": the mouse readout.
std::string OverlayMouseText(int32_t x, int32_t y);

// The rotation that puts the rotation handle under (x, y) for a frame centred on (cx, cy):
// 180 + the angle of atan2(x - cx, y - cy) in degrees, between 0 and 360 (360 straight above the
// centre, 270 to its right, 180 below, 90 to its left).
double RotationHandleAngle(int32_t cx, int32_t cy, int32_t x, int32_t y);

} // namespace kv
