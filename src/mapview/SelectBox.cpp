#include "mapview/SelectBox.h"

#include "platform/Canvas.h"

#include "platform/Rounding.h"

#include <cmath>
#include <cstdlib>
#include <utility>

namespace kv {

THitZone SelectionHitTest(const TRect& r, int32_t x, int32_t y)
{
    const auto in = [x, y](int64_t left, int64_t top, int64_t right, int64_t bottom) {
        return x >= left && x < right && y >= top && y < bottom;
    };
    const int64_t l = r.Left, t = r.Top, rt = r.Right, b = r.Bottom;
    if (in(l - 3, t - 3, l + 3, t + 3))
        return hzTopLeft;
    if (in(rt - 3, t - 3, rt + 3, t + 3))
        return hzTopRight;
    if (in(l - 3, b - 3, l + 3, b + 3))
        return hzBottomLeft;
    if (in(rt - 3, b - 3, rt + 3, b + 3))
        return hzBottomRight;
    if (in(l - 3, t + 3, l + 3, b - 3))
        return hzLeft;
    if (in(rt - 3, t + 3, rt + 3, b - 3))
        return hzRight;
    if (in(l + 3, t - 3, rt - 3, t + 3))
        return hzTop;
    if (in(l + 3, b - 3, rt - 3, b + 3))
        return hzBottom;
    if (in(l, t, rt, b))
        return hzInside;
    return hzOutside;
}

TCursor SelectionCursor(THitZone zone)
{
    switch (zone) {
    case hzTopLeft:
    case hzBottomRight:
        return crSizeNWSE;
    case hzTopRight:
    case hzBottomLeft:
        return crSizeNESW;
    case hzLeft:
    case hzRight:
        return crSizeWE;
    case hzTop:
    case hzBottom:
        return crSizeNS;
    case hzInside:
        return crSizeAll;
    case hzOutside:
        break;
    }
    return crDefault;
}

void TSelectionBox::SetDrawingSurface(TBitmap* surface)
{
    const bool wasActive = active_;
    Hide();
    surface_ = surface;
    surfaceWidth_ = surface ? surface->Width() : 0;
    surfaceHeight_ = surface ? surface->Height() : 0;
    if (wasActive)
        Show();
}

void TSelectionBox::Show()
{
    active_ = true;
    Draw();
}

void TSelectionBox::Hide()
{
    Erase();
    active_ = false;
}

void TSelectionBox::SetRect(const TRect& rect)
{
    rect_ = rect;
    centre_ = {static_cast<int32_t>((int64_t{rect.Left} + rect.Right) / 2),
               static_cast<int32_t>((int64_t{rect.Top} + rect.Bottom) / 2)};
    if (active_)
        Draw();
}

void TSelectionBox::SetRectIfChanged(const TRect& rect)
{
    if (!(rect == rect_))
        SetRect(rect);
}

void TSelectionBox::SetScale(double x, double y)
{
    if (x > 0.0)
        scaleX_ = x;
    if (y > 0.0)
        scaleY_ = y;
}

TPoint TSelectionBox::Scaled(int32_t x, int32_t y) const
{
    return {RoundHalfEvenToInt32(x / scaleX_), RoundHalfEvenToInt32(y / scaleY_)};
}

void TSelectionBox::MouseDown(int32_t x, int32_t y)
{
    if (!active_ || !surface_)
        return;
    const TPoint p = Scaled(x, y);
    mode_ = SelectionHitTest(rect_, p.X, p.Y);
    if (UserSizeable)
        cursor_ = SelectionCursor(mode_);
    if (mode_ == hzOutside && UserSizeable) {
        rect_ = {p.X, p.Y, p.X, p.Y};
        centre_ = p;
        Draw();
    }
    last_ = p;
    dragging_ = true;
}

void TSelectionBox::MouseMove(int32_t x, int32_t y)
{
    if (!active_ || !surface_)
        return;
    const TPoint p = Scaled(x, y);
    if (dragging_) {
        if (ScrollBox) {
            const TPoint offset = ScrollBox->SurfaceOffset();
            const int64_t a = int64_t{p.X} + offset.X;
            const int64_t b = int64_t{p.Y} + offset.Y;
            int64_t dx = 0, dy = 0;
            if (a < 0)
                dx = a;
            else if (a > ScrollBox->ClientWidth())
                dx = a - ScrollBox->ClientWidth();
            if (b < 0)
                dy = b;
            else if (b > ScrollBox->ClientHeight())
                dy = b - ScrollBox->ClientHeight();
            if (dx != 0 || dy != 0)
                ScrollBox->ScrollBy(static_cast<int32_t>(dx), static_cast<int32_t>(dy));
        }
        if (UserSizeable) {
            if (CenterMode)
                ResizeCentred(p);
            else
                ResizeByMode(p);
            if (mode_ != hzInside) {
                Normalize();
                Draw();
            }
        }
    } else {
        const THitZone zone = SelectionHitTest(rect_, p.X, p.Y);
        if (UserSizeable) {
            mode_ = zone;
            cursor_ = SelectionCursor(zone);
        }
        if (UserMoveable && zone == hzInside)
            cursor_ = crSizeAll;
    }
    last_ = p;
}

void TSelectionBox::MouseUp()
{
    if (!active_ || !surface_)
        return;
    dragging_ = false;
}

void TSelectionBox::ResizeByMode(TPoint p)
{
    TRect& r = rect_;
    switch (mode_) {
    case hzTopLeft:
        r = {p.X, p.Y, r.Right, r.Bottom};
        break;
    case hzTopRight:
        r = {r.Left, p.Y, p.X, r.Bottom};
        break;
    case hzBottomLeft:
        r = {p.X, r.Top, r.Right, p.Y};
        break;
    case hzInside:
        Move(p);
        break;
    case hzLeft:
        r.Left = p.X;
        break;
    case hzRight:
        r.Right = p.X;
        break;
    case hzTop:
        r.Top = p.Y;
        break;
    case hzBottom:
        r.Bottom = p.Y;
        break;
    case hzOutside:
    case hzBottomRight:
        mode_ = hzBottomRight;
        r = {r.Left, r.Top, p.X, p.Y};
        break;
    }
}

void TSelectionBox::ResizeCentred(TPoint p)
{
    if (mode_ == hzInside) {
        Move(p);
        return;
    }
    const double ratio = surfaceHeight_ > 0 ? double(surfaceWidth_) / surfaceHeight_ : 1.0;
    double dx = double(p.X) - centre_.X;
    double dy = double(p.Y) - centre_.Y;
    if ((dy != 0.0 && std::fabs(dx / dy) > ratio) || (dy == 0.0 && ratio < 1.0))
        dy = ratio > 0.0 ? std::trunc(dx / ratio) : 0.0;
    else
        dx = std::trunc(dy * ratio);
    const auto at = [](double base, double delta) {
        return static_cast<int32_t>(std::clamp(base + delta, double(INT32_MIN), double(INT32_MAX)));
    };
    rect_ = {at(centre_.X, -dx), at(centre_.Y, -dy), at(centre_.X, dx), at(centre_.Y, dy)};
}

void TSelectionBox::Move(TPoint p)
{
    if (!UserMoveable)
        return;
    const int32_t dx = p.X - last_.X;
    const int32_t dy = p.Y - last_.Y;
    SetRect({rect_.Left + dx, rect_.Top + dy, rect_.Right + dx, rect_.Bottom + dy});
}

void TSelectionBox::Normalize()
{
    const bool flipX = rect_.Right < rect_.Left;
    const bool flipY = rect_.Bottom < rect_.Top;
    if (flipX)
        std::swap(rect_.Left, rect_.Right);
    if (flipY)
        std::swap(rect_.Top, rect_.Bottom);
    // The grabbed handle stays under the mouse.
    if (flipX) {
        static const THitZone mirrored[10] = {hzOutside, hzTopRight, hzTopLeft, hzBottomRight, hzBottomLeft,
                                              hzInside,  hzRight,    hzLeft,    hzTop,         hzBottom};
        mode_ = mirrored[mode_];
    }
    if (flipY) {
        static const THitZone flipped[10] = {hzOutside, hzBottomLeft, hzBottomRight, hzTopLeft, hzTopRight,
                                             hzInside,  hzLeft,       hzRight,       hzBottom,  hzTop};
        mode_ = flipped[mode_];
    }
    if (flipX || flipY)
        cursor_ = SelectionCursor(mode_);
}

void TSelectionBox::Erase()
{
    if (!drawn_)
        return;
    drawn_ = false;
    if (!surface_)
        return;
    TCanvas canvas(*surface_);
    for (size_t k = 0; k < saved_.size(); ++k)
        canvas.CopyRect(savedFrom_[k], saved_[k], {0, 0, saved_[k].Width(), saved_[k].Height()});
}

void TSelectionBox::Draw()
{
    if (!surface_)
        return;
    Erase();
    const TRect n = NormalizedRect(rect_);
    const int32_t l = n.Left, t = n.Top, r = n.Right, b = n.Bottom;
    // The strips under the edges, 6 pixels wide, corners included.
    savedFrom_ = {TRect{l - 3, t - 3, l + 3, b + 3}, TRect{l - 3, t - 3, r + 3, t + 3},
                  TRect{r - 3, t - 3, r + 3, b + 3}, TRect{l - 3, b - 3, r + 3, b + 3}};
    for (size_t k = 0; k < saved_.size(); ++k) {
        const TRect& from = savedFrom_[k];
        saved_[k] =
            TBitmap(static_cast<int32_t>(from.Width()), static_cast<int32_t>(from.Height()), surface_->PixelFormat());
        saved_[k].SetPalette(surface_->Palette());
        TCanvas strip(saved_[k]);
        strip.CopyRect({0, 0, saved_[k].Width(), saved_[k].Height()}, *surface_, from);
    }
    drawn_ = true;

    TCanvas canvas(*surface_);
    canvas.Pen = TPen{clRed, 1, psSolid, pmCopy};
    const auto outline = [&canvas](int32_t left, int32_t top, int32_t right, int32_t bottom) {
        canvas.MoveTo(left, top);
        canvas.LineTo(right, top);
        canvas.LineTo(right, bottom);
        canvas.LineTo(left, bottom);
        canvas.LineTo(left, top);
    };
    outline(rect_.Left, rect_.Top, rect_.Right, rect_.Bottom);
    canvas.Pen.Color = clBlack;
    outline(n.Left - 1, n.Top - 1, n.Right + 1, n.Bottom + 1);
    if (rect_ == TRect{0, 0, 0, 0} || !UserSizeable)
        return;
    canvas.Pen.Color = clWhite;
    canvas.Brush = TBrush{clBlack, bsSolid};
    for (const TPoint corner : {TPoint{rect_.Left, rect_.Top}, TPoint{rect_.Right, rect_.Bottom},
                                TPoint{rect_.Right, rect_.Top}, TPoint{rect_.Left, rect_.Bottom}})
        canvas.Rectangle({corner.X - 3, corner.Y - 3, corner.X + 3, corner.Y + 3});
}

} // namespace kv
