#include "glview/GLGlyphOutlines.h"

#include <QFont>
#include <QPainterPath>
#include <QRawFont>
#include <QTransform>

#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>
#include <deque>
#include <memory>

namespace kv {

namespace {

// Glyphs are read at this many pixels per em and scaled down to 1: Qt flattens curves to about
// half a pixel, so the outlines deviate from the curves by about 1/500 of the height.
constexpr double GlyphPixels = 256;

using TContour = std::vector<Vector2D>;

QFont ToolkitFont(const TGL3DFont& font)
{
    QFont q(QString::fromStdString(font.Name == "Default" ? std::string("MS Sans Serif") : font.Name));
    q.setPixelSize(static_cast<int>(GlyphPixels));
    q.setWeight(font.Bold ? QFont::Bold : QFont::Normal);
    q.setItalic(font.Italic);
    q.setHintingPreference(QFont::PreferNoHinting);
    if (font.FixedPitch)
        q.setStyleHint(QFont::TypeWriter);
    return q;
}

// The glyph's closed contours in em units, y up, without repeated points.
std::vector<TContour> Contours(const QPainterPath& path)
{
    const QTransform toEm = QTransform::fromScale(1 / GlyphPixels, -1 / GlyphPixels);
    std::vector<TContour> contours;
    for (const QPolygonF& polygon : path.toSubpathPolygons(toEm)) {
        TContour contour;
        for (const QPointF& p : polygon) {
            const Vector2D v{p.x(), p.y()};
            if (contour.empty() || contour.back().x != v.x || contour.back().y != v.y)
                contour.push_back(v);
        }
        while (contour.size() > 1 && contour.front().x == contour.back().x && contour.front().y == contour.back().y)
            contour.pop_back();
        if (contour.size() >= 3)
            contours.push_back(std::move(contour));
    }
    return contours;
}

// Even-odd inside test over all contours.
bool Inside(const std::vector<TContour>& contours, const Vector2D& p)
{
    bool inside = false;
    for (const TContour& c : contours)
        for (size_t i = 0, j = c.size() - 1; i < c.size(); j = i++)
            if ((c[i].y > p.y) != (c[j].y > p.y) &&
                p.x < (c[j].x - c[i].x) * (p.y - c[i].y) / (c[j].y - c[i].y) + c[i].x)
                inside = !inside;
    return inside;
}

// Appends the triangle wound counter-clockwise around the normal, so back-face culling keeps it
// when it faces the eye.
void AddTriangle(TGlyphGeometry& g, Vector3D a, Vector3D b, Vector3D c, const Vector3D& normal)
{
    const Vector3D n = CrossProduct(VectorSubtract(b, a), VectorSubtract(c, a));
    if (DotProduct(n, normal) < 0)
        std::swap(b, c);
    for (const Vector3D& v : {a, b, c}) {
        g.Corners.push_back(v);
        g.Normals.push_back(normal);
    }
}

// The GLU tessellator collecting plain triangles (the edge-flag callback keeps it from making
// fans and strips).
struct TTessellation {
    std::deque<std::array<double, 3>> Points;
    std::vector<const std::array<double, 3>*> Corners;
    bool Failed = false;
};

void GLAPIENTRY TessBegin(GLenum, void*) {}
void GLAPIENTRY TessEdgeFlag(GLboolean, void*) {}
void GLAPIENTRY TessVertex(void* vertex, void* data)
{
    static_cast<TTessellation*>(data)->Corners.push_back(static_cast<const std::array<double, 3>*>(vertex));
}
void GLAPIENTRY TessCombine(GLdouble coords[3], void* [4], GLfloat[4], void** out, void* data)
{
    auto* t = static_cast<TTessellation*>(data);
    t->Points.push_back({coords[0], coords[1], coords[2]});
    *out = &t->Points.back();
}
void GLAPIENTRY TessError(GLenum, void* data)
{
    static_cast<TTessellation*>(data)->Failed = true;
}

// The filled area of the contours (non-zero winding, which glyph outlines are made for) as
// triangles in the plane z = 0; empty when GLU fails.
std::vector<Vector2D> Tessellate(const std::vector<TContour>& contours)
{
    const std::unique_ptr<GLUtesselator, void (*)(GLUtesselator*)> tess(gluNewTess(), gluDeleteTess);
    if (!tess)
        return {};
    TTessellation t;
    gluTessCallback(tess.get(), GLU_TESS_BEGIN_DATA, reinterpret_cast<_GLUfuncptr>(&TessBegin));
    gluTessCallback(tess.get(), GLU_TESS_EDGE_FLAG_DATA, reinterpret_cast<_GLUfuncptr>(&TessEdgeFlag));
    gluTessCallback(tess.get(), GLU_TESS_VERTEX_DATA, reinterpret_cast<_GLUfuncptr>(&TessVertex));
    gluTessCallback(tess.get(), GLU_TESS_COMBINE_DATA, reinterpret_cast<_GLUfuncptr>(&TessCombine));
    gluTessCallback(tess.get(), GLU_TESS_ERROR_DATA, reinterpret_cast<_GLUfuncptr>(&TessError));
    gluTessProperty(tess.get(), GLU_TESS_WINDING_RULE, GLU_TESS_WINDING_NONZERO);
    gluTessNormal(tess.get(), 0, 0, 1);
    for (const TContour& c : contours)
        for (const Vector2D& p : c)
            t.Points.push_back({p.x, p.y, 0});
    gluTessBeginPolygon(tess.get(), &t);
    size_t next = 0;
    for (const TContour& c : contours) {
        gluTessBeginContour(tess.get());
        for (size_t i = 0; i < c.size(); ++i, ++next)
            gluTessVertex(tess.get(), t.Points[next].data(), &t.Points[next]);
        gluTessEndContour(tess.get());
    }
    gluTessEndPolygon(tess.get());
    if (t.Failed)
        return {};
    std::vector<Vector2D> triangles;
    triangles.reserve(t.Corners.size());
    for (const auto* corner : t.Corners)
        triangles.push_back({(*corner)[0], (*corner)[1]});
    triangles.resize(triangles.size() / 3 * 3);
    return triangles;
}

TGlyphGeometry Extrude(const std::vector<TContour>& contours, double depth)
{
    TGlyphGeometry g;
    const std::vector<Vector2D> faces = Tessellate(contours);
    for (size_t i = 0; i + 2 < faces.size(); i += 3) {
        const Vector2D &a = faces[i], &b = faces[i + 1], &c = faces[i + 2];
        AddTriangle(g, {a.x, a.y, 0}, {b.x, b.y, 0}, {c.x, c.y, 0}, {0, 0, 1});
        if (depth != 0)
            AddTriangle(g, {a.x, a.y, -depth}, {b.x, b.y, -depth}, {c.x, c.y, -depth}, {0, 0, -1});
    }
    if (depth == 0)
        return g;
    for (const TContour& c : contours)
        for (size_t i = 0; i < c.size(); ++i) {
            const Vector2D& p = c[i];
            const Vector2D& q = c[(i + 1) % c.size()];
            const double dx = q.x - p.x;
            const double dy = q.y - p.y;
            const double length = std::hypot(dx, dy);
            if (length == 0)
                continue;
            // The wall faces away from the filled side, whichever way the contour runs.
            Vector3D normal{dy / length, -dx / length, 0};
            const Vector2D probe{(p.x + q.x) / 2 + normal.x * 1e-4, (p.y + q.y) / 2 + normal.y * 1e-4};
            if (Inside(contours, probe))
                normal = {-normal.x, -normal.y, 0};
            const Vector3D p0{p.x, p.y, 0}, q0{q.x, q.y, 0}, p1{p.x, p.y, -depth}, q1{q.x, q.y, -depth};
            AddTriangle(g, p0, q0, q1, normal);
            AddTriangle(g, p0, q1, p1, normal);
        }
    return g;
}

bool HasOutline(int code)
{
    return code >= 32 && !(code >= 127 && code < 160);
}

} // namespace

TGlyphFontKey GlyphFontKey(const TGL3DFont& font)
{
    return {font.Name, font.Bold, font.Italic, font.FixedPitch, font.Depth()};
}

TGlyphSet BuildGlyphOutlines(const TGL3DFont& font)
{
    TGlyphSet set;
    const QRawFont raw = QRawFont::fromFont(ToolkitFont(font));
    if (!raw.isValid())
        return set;
    for (int code = 0; code < 256; ++code) {
        if (!HasOutline(code))
            continue;
        const QList<quint32> indexes = raw.glyphIndexesForString(QString(QChar(code)));
        if (indexes.size() != 1)
            continue;
        const QList<QPointF> advances = raw.advancesForGlyphIndexes(indexes);
        const QPainterPath path = raw.pathForGlyph(indexes.front());
        const std::vector<TContour> contours = Contours(path);
        TGlyphMetrics& m = set.Metrics[code];
        m.CellIncX = advances.isEmpty() ? 0.0f : static_cast<float>(advances.front().x() / GlyphPixels);
        if (!contours.empty()) {
            const QRectF box = path.boundingRect();
            m.BlackBoxX = static_cast<float>(box.width() / GlyphPixels);
            m.BlackBoxY = static_cast<float>(box.height() / GlyphPixels);
            m.OriginX = static_cast<float>(box.left() / GlyphPixels);
            m.OriginY = static_cast<float>(-box.top() / GlyphPixels);
        }
        set.Glyphs[code] = Extrude(contours, font.Depth());
    }
    set.Valid = true;
    return set;
}

} // namespace kv
