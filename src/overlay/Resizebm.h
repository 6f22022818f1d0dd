#pragma once
// Filtered resampling of bitmaps: the overlay editor shrinks or enlarges loaded pictures to a
// texture-friendly size with one of these kernels.
//
// The resampling runs in two passes, first along the rows into a 24-bit work buffer of the new
// width and the old height, then along the columns into the target. Each target pixel is the
// weighted sum of the source pixels under the kernel centred on its position; when shrinking,
// the kernel is widened by the shrink factor so that every source pixel contributes. Sources
// beyond an edge are mirrored back into the picture.

#include "platform/Bitmap.h"

#include <cstdint>
#include <functional>

namespace kv {

struct TResizeFilter {
    const char* Name;
    double Support; // the kernel is 0 at and beyond this distance
    double (*Kernel)(double x);
};

// "Box", "Triangle", "Hermite", "Bell", "B-Spline", "Mitchell", "Lanczos3", in this order.
inline constexpr int ResizeFilterCount = 7;
const TResizeFilter& ResizeFilter(int index);

// The sharpness choices of the options dialog and the filter each selects.
enum TSharpness { shSoft, shMedium, shSharp };
int SharpnessFilter(TSharpness sharpness); // B-Spline, Mitchell, Lanczos3

// Receives whole percentages 0 to 100 as the resampling goes on.
using TStretchProgress = std::function<void(int percent)>;

// Rows of the source converted at a time, and of the target written at a time: bands of about
// this many bytes of 24-bit pixels.
inline constexpr int64_t StretchBandBytes = int64_t(1) << 20;

// Resamples the bitmap in place to newWidth x newHeight with the filter (0 .. ResizeFilterCount
// - 1; others count as Mitchell); the result has 24 bits per pixel. Throws EKorvelaError "Source
// bitmap too small" when the bitmap is 0 wide or high, and when the new size is not positive or
// needs more memory than the machine has; the bitmap is then unchanged.
void Stretch(TBitmap& bitmap, int32_t newWidth, int32_t newHeight, const TStretchProgress& progress, int filterIndex);

} // namespace kv
