#pragma once
// Where the overlay editor shows the topo grid on the picture: the pixel positions of the grid
// points and the turn about the frame's centre. The painting, the mouse and the draping all use
// these, so that the terrain receives the picture exactly as the editor showed it.

#include "overlay/KVOverlay.h"

#include <cstdint>

namespace kv {

struct TPointD {
    double X = 0.0;
    double Y = 0.0;
};

struct TOverlayLayout {
    int32_t Cols = 0;
    int32_t Rows = 0;
    double StepX = 0.0;   // pixels per column: picture width x ScaleX
    double StepY = 0.0;   // pixels per row
    double OriginX = 0.0; // grid point (0, 0) before the turn, exactly
    double OriginY = 0.0;
    int32_t Left = 0; // the frame: the grid's first and last points, truncated
    int32_t Top = 0;
    int32_t Right = 0;
    int32_t Bottom = 0;
    double CentreX = 0.0; // the turn's centre: the frame's middle
    double CentreY = 0.0;
    double Cos = 1.0;
    double Sin = 0.0;
};

// The layout of a cols x rows grid on the document's picture.
TOverlayLayout OverlayLayoutFor(const TOverlayDocument& doc, int32_t cols, int32_t rows);

// (x, y) turned about the centre by the rotation: x' = cx + dx cos + dy sin, y' = cy - dx sin +
// dy cos (positive angles turn anticlockwise on screen).
TPointD RotateAboutCentre(const TOverlayLayout& layout, double x, double y);

// The picture position (pixels from the top-left corner, not truncated) the editor draws grid
// point (c, r) on; c and r may be fractional.
TPointD GridPointOnPicture(const TOverlayLayout& layout, double c, double r);

} // namespace kv
