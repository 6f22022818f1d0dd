#include "glview/GL3DTextDraw.h"

#include "gl/GLRenderer.h"

#include <GL/gl.h>

#include <unordered_set>

namespace kv {

namespace {

void CompileGlyphs(uint32_t base, const TGlyphSet& glyphs)
{
    for (int code = 0; code < 256; ++code) {
        const TGlyphGeometry& g = glyphs.Glyphs[code];
        glNewList(base + static_cast<GLuint>(code), GL_COMPILE);
        if (!g.Corners.empty()) {
            glBegin(GL_TRIANGLES);
            for (size_t i = 0; i < g.Corners.size(); ++i) {
                glNormal3d(g.Normals[i].x, g.Normals[i].y, g.Normals[i].z);
                glVertex3d(g.Corners[i].x, g.Corners[i].y, g.Corners[i].z);
            }
            glEnd();
        }
        glTranslated(glyphs.Metrics[code].CellIncX, glyphs.Metrics[code].CellIncY, 0);
        glEndList();
    }
}

} // namespace

uint32_t TGL3DTextLists::ListsFor(TGL3DFont& font)
{
    const TGlyphFontKey key = GlyphFontKey(font);
    auto found = Fonts_.find(&font);
    if (found != Fonts_.end() && font.Built() && found->second.Key == key)
        return found->second.Base;
    if (found != Fonts_.end()) {
        if (found->second.Base)
            glDeleteLists(found->second.Base, 256);
        Fonts_.erase(found);
    }
    TFontLists lists;
    lists.Key = key;
    const TGlyphSet glyphs = BuildGlyphOutlines(font);
    if (glyphs.Valid)
        lists.Base = glGenLists(256);
    if (lists.Base == 0) {
        // The font stays unbuilt and the text draws nothing.
        font.Invalidate();
        return 0;
    }
    CompileGlyphs(lists.Base, glyphs);
    font.SetGlyphMetrics(glyphs.Metrics);
    Fonts_[&font] = lists;
    return lists.Base;
}

void TGL3DTextLists::Draw(TGL3DString& text)
{
    if (text.Text().empty())
        return;
    const uint32_t base = ListsFor(text.Font);
    if (base == 0)
        return;
    const TGL3DLayout layout = text.Layout();
    const Float4 color = ColorToFloat4(text.GetColor(), text.ColorAlpha());
    glColor4f(color.r, color.g, color.b, color.a);
    if (text.RenderMode() == rmWire)
        glPolygonMode(GL_FRONT, GL_LINE);
    glListBase(base);
    for (const TGL3DLine& line : layout.Lines) {
        if (line.Text.empty())
            continue;
        glPushMatrix();
        glTranslated(line.Origin.x, line.Origin.y, line.Origin.z);
        glCallLists(static_cast<GLsizei>(line.Text.size()), GL_UNSIGNED_BYTE, line.Text.data());
        glPopMatrix();
    }
}

namespace {

std::unordered_set<const TGL3DFont*> LiveFonts(const std::vector<TGLObject*>& objects)
{
    std::unordered_set<const TGL3DFont*> live;
    for (TGLObject* object : objects)
        if (auto* text = dynamic_cast<TGL3DString*>(object))
            live.insert(&text->Font);
    return live;
}

} // namespace

void TGL3DTextLists::Collect(const std::vector<TGLObject*>& objects)
{
    if (Fonts_.empty())
        return;
    const std::unordered_set<const TGL3DFont*> live = LiveFonts(objects);
    for (auto it = Fonts_.begin(); it != Fonts_.end();) {
        if (live.count(it->first)) {
            ++it;
            continue;
        }
        glDeleteLists(it->second.Base, 256);
        it = Fonts_.erase(it);
    }
}

void TGL3DTextLists::FreeAll(const std::vector<TGLObject*>& objects)
{
    for (const auto& [font, lists] : Fonts_)
        glDeleteLists(lists.Base, 256);
    Fonts_.clear();
    for (TGLObject* object : objects)
        if (auto* text = dynamic_cast<TGL3DString*>(object))
            text->Font.Invalidate();
}

} // namespace kv
