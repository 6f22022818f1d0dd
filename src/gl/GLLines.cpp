#include "gl/GLLines.h"

namespace kv {

TGLLines::TGLLines() = default;

void TGLLines::Merge(const TGLObject& source)
{
    if (&source == this)
        return;
    Clear();
    TGLRenderer::Assign(source);
    if (const auto* lines = dynamic_cast<const TGLLines*>(&source)) {
        Vertices.Assign(lines->Vertices);
        LineColor.Assign(lines->LineColor);
        LineProperties.Assign(lines->LineProperties);
        OctTreeValid = false;
    }
}

uint32_t TGLLines::GetColor() const
{
    return LineColor.Count() == 0 ? 0xFFFFFF : static_cast<uint32_t>(LineColor.Get(0));
}

void TGLLines::ResetAll()
{
    TGLRenderer::ResetAll();
    Clear();
}

void TGLLines::SetColor(uint32_t color)
{
    for (int32_t& c : LineColor.Items())
        c = static_cast<int32_t>(color);
}

void TGLLines::SetRenderMode(uint8_t mode)
{
    if (mode != RenderMode())
        OctTreeValid = false;
    TGLRenderer::SetRenderMode(mode);
}

int32_t TGLLines::AddSegment(const Vector3D& from, const Vector3D& to, uint32_t color)
{
    return AddSegment(from, to, color, TLineProperty{});
}

int32_t TGLLines::AddSegment(const Vector3D& from, const Vector3D& to, uint32_t color, int32_t width)
{
    TLineProperty property;
    property.Width = width;
    return AddSegment(from, to, color, property);
}

int32_t TGLLines::AddSegment(const Vector3D& from, const Vector3D& to, uint32_t color, const TLineProperty& property)
{
    if (Vertices.Count() == 0) {
        ExtentMin = VectorMin(from, to);
        ExtentMax = VectorMax(from, to);
    } else {
        ExtentMin = VectorMin(ExtentMin, VectorMin(from, to));
        ExtentMax = VectorMax(ExtentMax, VectorMax(from, to));
    }
    const int32_t index = Vertices.AddSegment({from, to});
    LineColor.Add(static_cast<int32_t>(color));
    LineProperties.Add(property);
    OctTreeValid = false;
    return index;
}

void TGLLines::Clear()
{
    Vertices.Clear();
    LineColor.Clear();
    LineProperties.Clear();
    OctTree.Clear();
    OctTreeValid = false;
    ExtentMin = {};
    ExtentMax = {};
}

void TGLLines::PrepareDraw()
{
    if (OctTreeValid)
        return;
    OctTree.Clear();
    OctTree.SetBounds(ExtentMin, ExtentMax);
    const int32_t segments = SegmentCount();
    for (int32_t i = 0; i < segments; ++i)
        OctTree.Insert(Vertices.Segment(i), i);
    OctTreeValid = true;
}

std::vector<int32_t> TGLLines::DrawOrder(const TFrustum& frustum)
{
    PrepareDraw();
    OctTree.UpdateVisibility(frustum);
    return OctTree.VisibleItems();
}

int32_t TGLLineList::NewLines()
{
    auto lines = std::make_unique<TGLLines>();
    TGLLines* added = lines.get();
    const int32_t index = Add(std::move(lines));
    added->SetName("Lines-" + std::to_string(index + 1));
    return index;
}

} // namespace kv
