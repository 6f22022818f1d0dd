#pragma once
// Colouring of the terrain mesh from a colour bar: each corner by its height, each triangle by
// the steepness of its slope, or the whole surface wrapped in a height-ramp texture. The
// "Terrain Special Effects" dialog binds its buttons to these.

#include "gl/GLMesh.h"
#include "mapview/Colorbar.h"
#include "platform/Bitmap.h"

#include <cstdint>
#include <functional>

namespace kv {

// The slope bar's start: 13 entries from white (steep, 90 degrees) through greys to full green
// (flat, 0 degrees), evenly spaced, range 90 to 0, no labels.
void ResetSlopeBar(TColorBar& bar);
// The depth bar's start: the 24-entry palette, labels on.
void ResetDepthBar(TColorBar& bar);

// Removes the mesh's texture (its picture too), so that the corner colours show.
void EmptyTexture(TGLMesh& mesh);

// "Color Faces": the bar's range becomes the mesh's height extents (top = highest Y), then every
// corner takes the bar's level colour for its Y. The texture is removed first.
void ColorFaces(TGLMesh& mesh, TColorBar& depthBar);

// The slope of a triangle in degrees (0 flat, towards 90 steep): between the first highest and
// the first lowest of its corners.
double TriangleSlopeDegrees(const Triangle3D& triangle);

// "Color By Slope": every triangle takes the slope bar's level colour for its slope on all three
// corners. `count` is told the triangle index before triangles 0, 100, 200, ...
void ColorBySlope(TGLMesh& mesh, const TColorBar& slopeBar, const std::function<void(int32_t)>& count = {});

inline constexpr int32_t DepthTextureWidth = 256;
inline constexpr int32_t DepthTextureHeight = 128;

// The height ramp: one full-width stripe per band of the bar, the top band in row 0.
void BuildDepthTexture(const TColorBar& depthBar, TBitmap& bitmap);

// "Color Depth": white corners and the ramp stretched over the mesh's height, the highest band at
// the top. A mesh without height (empty or flat) uses a scale of 1.
void ApplyDepthTexture(TGLMesh& mesh, const TBitmap& ramp);

} // namespace kv
