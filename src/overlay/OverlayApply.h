#pragma once
// Draping the overlay picture over the terrain mesh: the picture becomes the mesh's texture, with
// a planar mapping that gives every grid point of the mesh the picture position the editor shows
// under it.
//
// The terrain mesh is centred on the grid's centre, X east along the columns and Z south along
// the rows, in metres x the unit factor f, Y up; so a vertex's column is X / (east spacing x f) +
// (C - 1) / 2 and its row Z / (north spacing x f) + (R - 1) / 2, whatever its height.
//
// Unturned grid: computed planar coordinates (the vertices turned by -90 degrees of pitch so that
// north runs along t), s = X x ScaleX / (east spacing x f) - OffsetX and t = -Z x ScaleY /
// (north spacing x f) + 1 + OffsetY: the fraction of the picture's width, and of its height from
// the bottom row, where the editor drew the point.
//
// Turned grid: the editor turns the grid in picture pixels, which are square, while the grid's
// cells in general are not the same number of pixels per metre east and north. The planar
// mapping scales after turning and so cannot follow such a turn; the texture instead gets
// coordinates generated from the object's own position (object-linear S and T planes), which
// express the editor's affine map from (X, Z) to the picture exactly for any spacings.

#include "gl/GLMesh.h"
#include "overlay/KVOverlay.h"

#include <cstdint>

namespace kv {

struct TOverlayGround {
    int32_t Cols = 0; // the topo grid's size
    int32_t Rows = 0;
    double EastSpacing = 0.0; // metres between columns and between rows
    double NorthSpacing = 0.0;
    double UnitFactor = 1.0; // the mesh's units per metre
};

// Gives the mesh the white colour and the picture as its enabled texture, mapped as the editor
// shows the alignment. Throws EKorvelaError when there is no picture or the spacings are not
// positive.
void ApplyOverlay(const TOverlayDocument& doc, const TOverlayGround& ground, TGLMesh& mesh);

// A loaded picture prepared as the editor prepares one (its default size, "Medium" sharpness,
// centred on a picture whose sides are powers of two) and stretched over the whole grid,
// unturned: the picture's C columns and R rows of pixel centres fall on the grid's points, so a
// map of exactly the grid's cells drapes cell for cell. Throws EKorvelaError for an empty picture.
TOverlayDocument StretchedOverlay(const TBitmap& loaded, int32_t cols, int32_t rows);

} // namespace kv
