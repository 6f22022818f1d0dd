#include "overlay/KVOverlay.h"

#include "platform/Canvas.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace kv {

namespace {

// The largest power of two below n; 1 when n is 2 or less.
int32_t PowerOfTwoBelow(int32_t n)
{
    int32_t p = 1;
    while (int64_t(p) * 2 < n)
        p *= 2;
    return p;
}

// The power of two nearest to n, the larger one on a tie.
int32_t NearestPowerOfTwo(int32_t n)
{
    const int32_t above = PowerOfTwoAtLeast(n);
    const int32_t below = std::max(above / 2, 1);
    return n - below < above - n ? below : above;
}

} // namespace

std::string PixelFormatName(TPixelFormat format)
{
    switch (format) {
    case pf1bit:
        return "1 Bit Color Format";
    case pf4bit:
        return "4 Bit Color Format";
    case pf8bit:
        return "8 Bit Color Format";
    case pf15bit:
        return "15 Bit Color Format";
    case pf24bit:
        return "24 Bit Color Format";
    case pf32bit:
        return "32 Bit Color Format";
    }
    return "Unknown Format";
}

TPixelFormat PreparedFormatFor(TPixelFormat loaded)
{
    if (loaded == pf15bit)
        return pf24bit;
    if (loaded == pf1bit)
        return pf8bit;
    return loaded;
}

int32_t PowerOfTwoAtLeast(int32_t n)
{
    int32_t p = 1;
    while (p < n && p < (int32_t(1) << 30))
        p *= 2;
    return p;
}

std::vector<TOverlaySize> OverlaySizeList(int32_t width, int32_t height)
{
    std::vector<TOverlaySize> list;
    if (width <= 0 || height <= 0)
        return list;
    const double r = double(height) / width;
    int32_t a = 8192;
    int32_t b = 8192;
    bool widthBased = height < width;
    for (int i = 0; i < OverlaySizeCount; ++i) {
        a = PowerOfTwoBelow(a);
        b = PowerOfTwoBelow(b);
        if (widthBased) {
            b = std::max(int32_t(r * a), 1);
            list.push_back({a, b});
        } else {
            a = std::max(int32_t(b / r), 1);
            list.push_back({a, b});
        }
        widthBased = !widthBased;
    }
    return list;
}

std::string OverlaySizeText(const TOverlaySize& size)
{
    char text[32];
    std::snprintf(text, sizeof text, "%4d X %4d", size.Width, size.Height);
    return text;
}

std::string OverlayDimensionsText(int32_t width, int32_t height)
{
    return std::to_string(width) + "X" + std::to_string(height);
}

TOverlaySize DefaultOverlaySize(int32_t width, int32_t height)
{
    if (width <= 0 || height <= 0)
        return {};
    const int32_t w2 = NearestPowerOfTwo(width);
    const int32_t h2 = NearestPowerOfTwo(height);
    const double r = double(height) / width;
    const auto c = int64_t(w2 * r);
    const auto g = int64_t(r * h2);
    if ((h2 - c) * w2 < int64_t(h2) * (w2 - g)) {
        const int32_t side = std::min(w2, 2048);
        return {side, std::max(int32_t(r * side), 1)};
    }
    const int32_t side = std::min(h2, 2048);
    return {std::max(int32_t(side / r), 1), side};
}

int DefaultOverlaySizeIndex(const std::vector<TOverlaySize>& list, int32_t width, int32_t height)
{
    const auto found = std::find(list.begin(), list.end(), DefaultOverlaySize(width, height));
    return found == list.end() ? 0 : int(found - list.begin());
}

TBitmap ResampleAndPad(const TBitmap& loaded, const TOverlaySize& size, int filterIndex, TPixelFormat format,
                       const TStretchProgress& progress)
{
    TBitmap resampled = loaded;
    Stretch(resampled, size.Width, size.Height, progress, filterIndex);
    TBitmap padded(PowerOfTwoAtLeast(size.Width), PowerOfTwoAtLeast(size.Height), pf24bit);
    TCanvas canvas(padded);
    canvas.FillRect({0, 0, padded.Width(), padded.Height()});
    const int32_t left = (padded.Width() - size.Width) / 2;
    const int32_t top = (padded.Height() - size.Height) / 2;
    canvas.CopyRect({left, top, left + size.Width, top + size.Height}, resampled, {0, 0, size.Width, size.Height});
    padded.SetPixelFormat(format);
    return padded;
}

void TakeLoadedPicture(TOverlayDocument& doc, const TBitmap& loaded, const std::string& fileName, bool reset)
{
    doc.OverlayFileName = fileName;
    doc.LoadedWidth = loaded.Width();
    doc.LoadedHeight = loaded.Height();
    doc.LoadedFormat = loaded.PixelFormat();
    if (reset)
        doc.ChosenFormat = PreparedFormatFor(loaded.PixelFormat());
}

void FitOverlay(TOverlayDocument& doc, int32_t cols, int32_t rows)
{
    const double w = doc.OverlayBitmap.Width();
    const double h = doc.OverlayBitmap.Height();
    if (cols > 0 && rows > 0 && w > 0 && h > 0) {
        if (double(cols) / rows > w / h) {
            doc.ScaleX = 1.0 / cols;
            doc.ScaleY = (w / h) / cols;
        } else {
            doc.ScaleY = 1.0 / rows;
            doc.ScaleX = (h / w) / rows;
        }
    }
    doc.OffsetX = -0.5;
    doc.OffsetY = -0.5;
    doc.DefaultOffsetX = doc.OffsetX;
    doc.DefaultOffsetY = doc.OffsetY;
    doc.DefaultScaleX = doc.ScaleX;
    doc.DefaultScaleY = doc.ScaleY;
}

double WrapRotation(double degrees)
{
    if (!std::isfinite(degrees))
        return 0.0;
    double wrapped = std::fmod(degrees, 360.0); // (-360, 360)
    if (wrapped > 180.0)
        wrapped -= 360.0;
    else if (wrapped <= -180.0)
        wrapped += 360.0;
    return wrapped;
}

void OverlayStep(TOverlayDocument& doc, TOverlayStep step, double percent)
{
    const double p = percent / 100.0;
    switch (step) {
    case osPanLeft:
        doc.OffsetX -= p * doc.DefaultOffsetX;
        break;
    case osPanRight:
        doc.OffsetX += p * doc.DefaultOffsetX;
        break;
    case osPanUp:
        doc.OffsetY -= p * doc.DefaultOffsetY;
        break;
    case osPanDown:
        doc.OffsetY += p * doc.DefaultOffsetY;
        break;
    case osZoomIn:
        doc.ScaleX += p * doc.DefaultScaleX;
        doc.ScaleY += p * doc.DefaultScaleY;
        break;
    case osZoomOut: {
        const double x = doc.ScaleX - p * doc.DefaultScaleX;
        const double y = doc.ScaleY - p * doc.DefaultScaleY;
        if (x >= 0.0 && y >= 0.0) {
            doc.ScaleX = x;
            doc.ScaleY = y;
        }
        break;
    }
    case osRotateRight:
        doc.Rotation = WrapRotation(doc.Rotation - p * 60.0);
        break;
    case osRotateLeft:
        doc.Rotation = WrapRotation(doc.Rotation + p * 60.0);
        break;
    }
}

} // namespace kv
