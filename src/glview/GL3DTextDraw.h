#pragma once
// 3D text in OpenGL: each font's 256 extruded glyphs compiled into consecutive display lists, each
// list ending with the move to the next character, so a line of text is one glCallLists from its
// origin. The lists are built at a string's first draw and again after its font changed (depth,
// name, weight, slant); lists of fonts that left the scene are deleted at the next Collect. Every
// call needs the viewer's context current.

#include "gl/GLFonts.h"
#include "glview/GLGlyphOutlines.h"

#include <cstdint>
#include <unordered_map>
#include <vector>

namespace kv {

class TGLObject;

class TGL3DTextLists {
public:
    ~TGL3DTextLists() = default;

    // The string in its font colour at the current model-view matrix: filled faces, or their
    // outlines in wire mode. Builds the font's lists when needed; draws nothing without them.
    void Draw(TGL3DString& text);
    // Deletes the lists of fonts no longer among `objects`' strings.
    void Collect(const std::vector<TGLObject*>& objects);
    // Deletes every list (the context goes); the fonts build again at their next draw.
    void FreeAll(const std::vector<TGLObject*>& objects);

private:
    struct TFontLists {
        uint32_t Base = 0;
        TGlyphFontKey Key;
    };
    // The first of the font's 256 lists, or 0 when the glyphs could not be made.
    uint32_t ListsFor(TGL3DFont& font);

    std::unordered_map<const TGL3DFont*, TFontLists> Fonts_;
};

} // namespace kv
