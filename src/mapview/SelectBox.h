#pragma once
// The rubber-band selection box: a rectangle with four corner handles drawn straight into a
// picture, which the user creates, resizes and moves with the mouse. The box keeps the pixels
// under its edges and puts them back when it is erased, so hiding it restores the picture
// exactly; owners hide it before they redraw the picture and show it again afterwards.
//
// The owner forwards the surface's mouse events (in surface pixels) and reads Rect() and
// Cursor() after each; the windowing layer maps the cursor and scrolls through TScrollHost.

#include "platform/Bitmap.h"
#include "platform/Cursors.h"
#include "platform/Rect.h"

#include <array>
#include <cstdint>

namespace kv {

// The part of the box under the mouse.
enum THitZone : uint8_t {
    hzOutside = 0,
    hzTopLeft = 1,
    hzTopRight = 2,
    hzBottomLeft = 3,
    hzBottomRight = 4,
    hzInside = 5,
    hzLeft = 6,
    hzRight = 7,
    hzTop = 8,
    hzBottom = 9,
};

// The zone of point (x, y) for the box `rect`: 6 x 6 pixel zones around each corner, 6-pixel
// strips along the edges between them, then the inside; left and top limits inclusive, right and
// bottom exclusive; the first zone in the order corners, edges (left, right, top, bottom),
// inside wins.
THitZone SelectionHitTest(const TRect& rect, int32_t x, int32_t y);

// The cursor of a zone: diagonal sizing at the corners, straight sizing on the edges, the move
// cursor inside, the arrow outside.
TCursor SelectionCursor(THitZone zone);

// The scrolling window the surface sits in, seen by the box while it is dragged beyond it.
class TScrollHost {
public:
    virtual ~TScrollHost() = default;
    // The surface's top-left corner within the scrolling window's client area.
    virtual TPoint SurfaceOffset() const = 0;
    virtual int32_t ClientWidth() const = 0;
    virtual int32_t ClientHeight() const = 0;
    // Moves the scroll positions by the given pixels (negative: left or up).
    virtual void ScrollBy(int32_t dx, int32_t dy) = 0;
};

class TSelectionBox {
public:
    bool UserMoveable = true; // dragging from inside moves the box
    bool UserSizeable = true; // the box can be created and resized; handles are drawn
    bool CenterMode = false;  // resizing keeps the centre and the surface's aspect ratio
    TScrollHost* ScrollBox = nullptr;

    // The picture the box is drawn into (it must outlive the box or be replaced first). A box that
    // was shown is hidden from the old surface and shown on the new one. nullptr detaches.
    void SetDrawingSurface(TBitmap* surface);
    TBitmap* DrawingSurface() const { return surface_; }

    // Shows the box (draws it) and lets it react to the mouse; Hide puts the saved pixels back.
    void Show();
    void Hide();
    bool Active() const { return active_; }

    const TRect& Rect() const { return rect_; }
    // Stores the rectangle, centres on it and redraws the box if it is shown.
    void SetRect(const TRect& rect);
    void SetRectIfChanged(const TRect& rect);

    // Mouse positions are divided by these (both positive) and rounded, halves to even.
    void SetScale(double x, double y);

    // The mouse, in surface pixels; ignored while the box is hidden or has no surface.
    void MouseDown(int32_t x, int32_t y);
    void MouseMove(int32_t x, int32_t y);
    void MouseUp();

    // The cursor the box wants now, and the zone a drag acts on.
    TCursor Cursor() const { return cursor_; }
    THitZone Mode() const { return mode_; }
    bool Dragging() const { return dragging_; }

private:
    TPoint Scaled(int32_t x, int32_t y) const;
    void ResizeByMode(TPoint p);
    void ResizeCentred(TPoint p);
    void Move(TPoint p);
    void Normalize();
    void Draw();
    void Erase();

    TBitmap* surface_ = nullptr;
    int32_t surfaceWidth_ = 0;
    int32_t surfaceHeight_ = 0;
    TRect rect_;
    TPoint centre_;
    TPoint last_;
    THitZone mode_ = hzOutside;
    TCursor cursor_ = crDefault;
    bool active_ = false;
    bool dragging_ = false;
    bool drawn_ = false;
    double scaleX_ = 1.0;
    double scaleY_ = 1.0;
    // The pixels under the left, top, right and bottom edge strips, and where they came from.
    std::array<TBitmap, 4> saved_;
    std::array<TRect, 4> savedFrom_;
};

} // namespace kv
