#pragma once
// The viewer's fixed camera and the arithmetic of its view: the look-at matrix, the projection
// for a window size, the fit of a scene into the view and the frame time from a wrapping
// microsecond counter. Plain data, so all of it is checked without a display.

#include "gl/GLMatrix.h"
#include "gl/Vector.h"

#include <cstdint>

namespace kv {

// The eye at (0, 0, 10) looking at the origin, y up. Nothing changes it.
struct TGLCamera {
    Vector3D Eye{0, 0, 10};
    Vector3D Center{0, 0, 0};
    Vector3D Up{0, 1, 0};
    // The model-view matrix gluLookAt makes of Eye, Center and Up.
    Matrix4x4 LookAtMatrix() const;
};

// The arguments of glFrustum.
struct TViewFrustum {
    double Left = 0, Right = 0, Bottom = 0, Top = 0, Near = 1, Far = 100000;
    bool operator==(const TViewFrustum&) const = default;
};

// One pixel spans 1/1000 unit at distance 1 from the eye, whatever the size: +-w/2000 by +-h/2000,
// near 1, far 100000.
TViewFrustum ViewFrustum(int width, int height);

// The scale that fits the box, grown to contain the origin, into a view `viewWidth` hundred pixels
// wide: viewWidth / |max - min| * sqrt(2). A box without extent gives 1.
double FitToViewScale(double viewWidth, const Vector3D& extentMin, const Vector3D& extentMax);

// Seconds between two readings of a 32-bit microsecond counter, correct across its wrap.
inline double FrameTimeSeconds(uint32_t startMicroseconds, uint32_t endMicroseconds)
{
    return static_cast<uint32_t>(endMicroseconds - startMicroseconds) / 1000000.0;
}

} // namespace kv
