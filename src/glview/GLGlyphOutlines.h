#pragma once
// Extruded outline glyphs for 3D text: the outlines of the toolkit's font for the character codes
// 0..255 (read as Latin-1), flattened, tessellated with GLU into front faces at z = 0 and back
// faces at z = -depth, joined by side walls. Units are the font's em: 1.0 is the font's height,
// whatever size the font description asks for. Needs a QGuiApplication, not an OpenGL context.

#include "gl/GLFonts.h"
#include "gl/Vector.h"

#include <array>
#include <vector>

namespace kv {

// The triangles of one glyph, three corners each, with a normal per corner (per face).
struct TGlyphGeometry {
    std::vector<Vector3D> Corners;
    std::vector<Vector3D> Normals;
};

struct TGlyphSet {
    std::array<TGlyphGeometry, 256> Glyphs;
    TGlyphMetricsTable Metrics{};
    // False when the toolkit had no usable font: nothing is drawn.
    bool Valid = false;
};

// Codes below 32 and from 127 to 159 have no outline and no advance.
TGlyphSet BuildGlyphOutlines(const TGL3DFont& font);

// The font description the glyphs depend on, to notice a changed font.
struct TGlyphFontKey {
    std::string Name;
    bool Bold = false;
    bool Italic = false;
    bool FixedPitch = false;
    double Depth = 0;
    bool operator==(const TGlyphFontKey&) const = default;
};
TGlyphFontKey GlyphFontKey(const TGL3DFont& font);

} // namespace kv
