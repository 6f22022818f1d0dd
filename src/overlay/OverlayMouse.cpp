#include "overlay/OverlayMouse.h"

#include <cmath>
#include <numbers>

namespace kv {

namespace {

bool InSquare(const TPoint& centre, int32_t x, int32_t y)
{
    return x >= centre.X - 5 && x < centre.X + 5 && y >= centre.Y - 5 && y < centre.Y + 5;
}

// Even-odd crossing test of a horizontal ray from (x, y) against the closed polygon.
bool InsidePolygon(const TPoint (&corners)[4], int32_t x, int32_t y)
{
    bool inside = false;
    for (int i = 0, j = 3; i < 4; j = i++) {
        const TPoint& a = corners[i];
        const TPoint& b = corners[j];
        if ((a.Y > y) != (b.Y > y)) {
            const double crossX = a.X + double(y - a.Y) * (b.X - a.X) / double(b.Y - a.Y);
            if (x < crossX)
                inside = !inside;
        }
    }
    return inside;
}

double Distance(const TPoint& a, int32_t x, int32_t y)
{
    return std::hypot(double(x - a.X), double(y - a.Y));
}

} // namespace

TDragMode OverlayHitTest(const TOverlayFrame& frame, int32_t x, int32_t y)
{
    if (!frame.Valid)
        return dmNone;
    for (int k = 0; k < 4; ++k)
        if (InSquare(frame.Corner[k], x, y))
            return TDragMode(dmCorner1 + k);
    if (InSquare(frame.RotationHandle, x, y))
        return dmRotate;
    return InsidePolygon(frame.Corner, x, y) ? dmPan : dmNone;
}

void OverlayMouseDown(TOverlayDocument& doc, int32_t x, int32_t y)
{
    doc.LastMouse = {x, y};
    doc.DragMode = OverlayHitTest(doc.Frame, x, y);
    doc.Dragging = true;
}

double RotationHandleAngle(int32_t cx, int32_t cy, int32_t x, int32_t y)
{
    return 180.0 + std::atan2(double(x - cx), double(y - cy)) * 180.0 / std::numbers::pi;
}

bool OverlayMouseMove(TOverlayDocument& doc, int32_t x, int32_t y, bool leftButtonDown, int32_t boxWidth,
                      int32_t boxHeight)
{
    bool changed = false;
    if (leftButtonDown && doc.Dragging) {
        const TPoint& centre = doc.Frame.Centre;
        switch (doc.DragMode) {
        case dmCorner1:
        case dmCorner2:
        case dmCorner3:
        case dmCorner4:
            if (boxHeight > 0) {
                const double d =
                    (Distance(centre, x, y) - Distance(centre, doc.LastMouse.X, doc.LastMouse.Y)) / boxHeight;
                // As with the shrink button, a scale that would turn negative (and mirror the
                // grid) keeps both scales.
                const double scaleX = doc.ScaleX + d * doc.DefaultScaleX * 1.5;
                const double scaleY = doc.ScaleY + d * doc.DefaultScaleY * 1.5;
                if (scaleX >= 0.0 && scaleY >= 0.0) {
                    doc.ScaleX = scaleX;
                    doc.ScaleY = scaleY;
                    changed = true;
                }
            }
            break;
        case dmRotate:
            doc.Rotation = WrapRotation(RotationHandleAngle(centre.X, centre.Y, x, y));
            changed = true;
            break;
        case dmPan:
            if (boxWidth > 0 && boxHeight > 0) {
                doc.OffsetX -= double(x - doc.LastMouse.X) / boxWidth;
                doc.OffsetY -= double(y - doc.LastMouse.Y) / boxHeight;
                changed = true;
            }
            break;
        case dmNone:
            break;
        }
    }
    doc.LastMouse = {x, y};
    return changed;
}

void OverlayMouseUp(TOverlayDocument& doc)
{
    doc.Dragging = false;
}

std::string OverlayMouseText(int32_t x, int32_t y)
{
    return std::to_string(x) + " " + std::to_string(y);
}

} // namespace kv
