#pragma once
// The overlay editor's document: the picture to drape over the terrain, prepared as a texture
// (resampled, padded to powers of two, in a chosen colour format), and the alignment of the topo
// grid over it, with the fit, the sizes offered and the button steps.
//
// Alignment: OffsetX and OffsetY are in units of the picture's width and height, ScaleX (ScaleY)
// is the picture's width (height) per grid column (row), Rotation turns the grid about the
// frame's centre, in degrees, kept in (-180, 180]. Grid point (c, r) of a C x R grid lies, before
// the turn, at the fraction ((c - (C - 1) / 2) x ScaleX - OffsetX) of the width from the left and
// ((r - (R - 1) / 2) x ScaleY - OffsetY) of the height from the top.

#include "imaging/ImageProgress.h"
#include "overlay/Resizebm.h"
#include "platform/Bitmap.h"
#include "platform/Color.h"
#include "platform/Rect.h"

#include <cstdint>
#include <string>
#include <vector>

namespace kv {

// The frame around the grid as last painted: corner handles 1 to 4 (top-left, top-right,
// bottom-right, bottom-left), the rotation handle and the unrotated centre, in picture pixels.
struct TOverlayFrame {
    TPoint Corner[4];
    TPoint RotationHandle;
    TPoint Centre;
    bool Valid = false;
};

enum TDragMode : uint8_t { dmNone = 0, dmCorner1, dmCorner2, dmCorner3, dmCorner4, dmRotate, dmPan };

inline constexpr TColor OverlayDefaultLineColor = 0x0000FF; // red

struct TOverlayDocument {
    TBitmap OverlayBitmap;       // the prepared picture; empty until one is loaded or pasted
    std::string OverlayFileName; // empty for a pasted picture
    int32_t LoadedWidth = 0;     // the picture's size as loaded
    int32_t LoadedHeight = 0;
    TPixelFormat LoadedFormat = pf24bit;
    double OffsetX = 0.0;
    double OffsetY = 0.0;
    double ScaleX = 1.0;
    double ScaleY = 1.0;
    double Rotation = 0.0;
    double DefaultOffsetX = -0.5;
    double DefaultOffsetY = -0.5;
    double DefaultScaleX = 1.0;
    double DefaultScaleY = 1.0;
    TColor LineColor = OverlayDefaultLineColor;
    TDragMode DragMode = dmNone;
    bool Dragging = false;
    TPoint LastMouse;
    TOverlayFrame Frame;
    TPixelFormat ChosenFormat = pf24bit;
};

// "1 Bit Color Format" ... "32 Bit Color Format".
std::string PixelFormatName(TPixelFormat format);
// The format a freshly loaded picture is prepared in: its own, except that 15 bits become 24 and
// 1 bit becomes 8.
TPixelFormat PreparedFormatFor(TPixelFormat loaded);

struct TOverlaySize {
    int32_t Width = 0;
    int32_t Height = 0;
    bool operator==(const TOverlaySize&) const = default;
};

inline constexpr int OverlaySizeCount = 11;
// The eleven texture sizes offered for a picture of w x h, largest first: powers of two from 4096
// down on one side and the other side in the picture's proportion, alternating between the width
// and the height as the side that is a power of two (the width first for a wide picture).
std::vector<TOverlaySize> OverlaySizeList(int32_t width, int32_t height);
// " 512 X  384": each side right-aligned in 4 characters.
std::string OverlaySizeText(const TOverlaySize& size);
// "1000X750": a size as the dialog's readouts show it.
std::string OverlayDimensionsText(int32_t width, int32_t height);
// The size chosen after a reset: the side whose nearest power of two (at most 2048) loses less
// of the picture is made that power and the other side follows the proportion.
TOverlaySize DefaultOverlaySize(int32_t width, int32_t height);
// The item of the list equal to the default size, else 0.
int DefaultOverlaySizeIndex(const std::vector<TOverlaySize>& list, int32_t width, int32_t height);

// The smallest power of two not below n (1 for n <= 1).
int32_t PowerOfTwoAtLeast(int32_t n);

// The loaded picture resampled to `size` with the filter, centred on a white bitmap whose sides
// are the next powers of two, in the format.
TBitmap ResampleAndPad(const TBitmap& loaded, const TOverlaySize& size, int filterIndex, TPixelFormat format,
                       const TStretchProgress& progress = {});

// Remembers a freshly loaded or pasted picture in the document (size, format, file name) and,
// when reset, chooses the colour format of PreparedFormatFor.
void TakeLoadedPicture(TOverlayDocument& doc, const TBitmap& loaded, const std::string& fileName, bool reset);

// Fits a C x R grid to the picture with square cells, centred, spanning its full width or height,
// and keeps the values as the defaults the button steps are sized by.
void FitOverlay(TOverlayDocument& doc, int32_t cols, int32_t rows);

enum TOverlayStep { osPanLeft, osPanRight, osPanUp, osPanDown, osZoomIn, osZoomOut, osRotateRight, osRotateLeft };
// One button step by `percent` of the fitted values (rotation: percent x 0.6 degrees). A shrink
// that would make a scale negative changes nothing.
void OverlayStep(TOverlayDocument& doc, TOverlayStep step, double percent);

// The angle in (-180, 180] that turns the same way as `degrees`.
double WrapRotation(double degrees);

} // namespace kv
