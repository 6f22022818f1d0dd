#include "overlay/OverlayLayout.h"

#include <cmath>
#include <numbers>

namespace kv {

TOverlayLayout OverlayLayoutFor(const TOverlayDocument& doc, int32_t cols, int32_t rows)
{
    TOverlayLayout layout;
    const double w = doc.OverlayBitmap.Width();
    const double h = doc.OverlayBitmap.Height();
    layout.Cols = cols;
    layout.Rows = rows;
    layout.StepX = w * doc.ScaleX;
    layout.StepY = h * doc.ScaleY;
    layout.OriginX = w * ((1.0 - cols) / 2.0 * doc.ScaleX - doc.OffsetX);
    layout.OriginY = h * ((1.0 - rows) / 2.0 * doc.ScaleY - doc.OffsetY);
    layout.Left = int32_t(layout.OriginX);
    layout.Top = int32_t(layout.OriginY);
    layout.Right = layout.Left + int32_t(layout.StepX * (cols - 1));
    layout.Bottom = layout.Top + int32_t(layout.StepY * (rows - 1));
    layout.CentreX = (layout.Left + layout.Right) / 2.0;
    layout.CentreY = (layout.Top + layout.Bottom) / 2.0;
    const double radians = doc.Rotation * std::numbers::pi / 180.0;
    layout.Cos = std::cos(radians);
    layout.Sin = std::sin(radians);
    return layout;
}

TPointD RotateAboutCentre(const TOverlayLayout& layout, double x, double y)
{
    const double dx = x - layout.CentreX;
    const double dy = y - layout.CentreY;
    return {layout.CentreX + dx * layout.Cos + dy * layout.Sin, layout.CentreY - dx * layout.Sin + dy * layout.Cos};
}

TPointD GridPointOnPicture(const TOverlayLayout& layout, double c, double r)
{
    return RotateAboutCentre(layout, layout.OriginX + c * layout.StepX, layout.OriginY + r * layout.StepY);
}

} // namespace kv
