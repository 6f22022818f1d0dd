#include "overlay/Resizebm.h"

#include "platform/KVError.h"
#include "platform/MemoryStatus.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <string>
#include <vector>

namespace kv {

namespace {

double BoxKernel(double x)
{
    return x > -0.5 && x <= 0.5 ? 1.0 : 0.0;
}

double TriangleKernel(double x)
{
    const double a = std::fabs(x);
    return a < 1.0 ? 1.0 - a : 0.0;
}

double HermiteKernel(double x)
{
    const double a = std::fabs(x);
    return a < 1.0 ? (2.0 * a - 3.0) * a * a + 1.0 : 0.0;
}

double BellKernel(double x)
{
    const double a = std::fabs(x);
    if (a < 0.5)
        return 0.75 - a * a;
    if (a < 1.5)
        return 0.5 * (a - 1.5) * (a - 1.5);
    return 0.0;
}

double BSplineKernel(double x)
{
    const double a = std::fabs(x);
    if (a < 1.0)
        return 0.5 * a * a * a - a * a + 2.0 / 3.0;
    if (a < 2.0)
        return (2.0 - a) * (2.0 - a) * (2.0 - a) / 6.0;
    return 0.0;
}

// B = C = 1/3.
double MitchellKernel(double x)
{
    const double a = std::fabs(x);
    if (a < 1.0)
        return (7.0 * a * a * a - 12.0 * a * a + 16.0 / 3.0) / 6.0;
    if (a < 2.0)
        return (-(7.0 / 3.0) * a * a * a + 12.0 * a * a - 20.0 * a + 32.0 / 3.0) / 6.0;
    return 0.0;
}

double Sinc(double x)
{
    if (x == 0.0)
        return 1.0;
    const double px = std::numbers::pi * x;
    return std::sin(px) / px;
}

double Lanczos3Kernel(double x)
{
    return std::fabs(x) < 3.0 ? Sinc(x) * Sinc(x / 3.0) : 0.0;
}

constexpr TResizeFilter Filters[ResizeFilterCount] = {
    {"Box", 0.5, BoxKernel},           {"Triangle", 1.0, TriangleKernel}, {"Hermite", 1.0, HermiteKernel},
    {"Bell", 1.5, BellKernel},         {"B-Spline", 2.0, BSplineKernel},  {"Mitchell", 2.0, MitchellKernel},
    {"Lanczos3", 3.0, Lanczos3Kernel},
};

struct TContributor {
    int32_t Index;
    float Weight;
};

// The source pixels and weights of every target pixel along one axis, packed: the list of
// target i runs from Start[i] to Start[i + 1].
struct TContributions {
    std::vector<int32_t> Start;
    std::vector<TContributor> Items;
};

// An index beyond an edge mirrored back. A kernel wider than the picture can reach beyond the
// mirror too; such indices are held at the edge rather than read outside the picture.
int32_t Mirror(int64_t j, int32_t n)
{
    if (j < 0)
        j = -j;
    if (j >= n)
        j = 2 * int64_t(n) - j - 1;
    return int32_t(std::clamp<int64_t>(j, 0, n - 1));
}

class TProgressCounter {
public:
    TProgressCounter(const TStretchProgress& report, int64_t total) : report_(report), total_(total) {}
    void Steps(int64_t n)
    {
        done_ += n;
        const int percent = int(std::min<int64_t>(done_ * 100 / total_, 100));
        if (percent != last_ && report_) {
            last_ = percent;
            report_(percent);
        }
    }

private:
    const TStretchProgress& report_;
    int64_t total_;
    int64_t done_ = 0;
    int last_ = -1;
};

TContributions Contributions(int32_t oldSize, int32_t newSize, const TResizeFilter& filter, TProgressCounter& progress)
{
    // A target of one pixel takes the first source pixel's position, as a scale of new / old does.
    const double scale =
        oldSize > 1 && newSize > 1 ? double(newSize - 1) / double(oldSize - 1) : double(newSize) / double(oldSize);
    const double g = scale < 1.0 ? 1.0 / scale : 1.0;
    const double width = filter.Support * g;
    TContributions result;
    result.Start.reserve(size_t(newSize) + 1);
    for (int32_t i = 0; i < newSize; ++i) {
        result.Start.push_back(int32_t(result.Items.size()));
        const double centre = i / scale;
        const auto left = int64_t(std::floor(centre - width));
        const auto right = int64_t(std::ceil(centre + width));
        for (int64_t j = left; j <= right; ++j) {
            const double weight = filter.Kernel((centre - double(j)) / g) / g;
            if (weight == 0.0)
                continue;
            result.Items.push_back({Mirror(j, oldSize), float(weight)});
        }
        progress.Steps(1);
    }
    result.Start.push_back(int32_t(result.Items.size()));
    return result;
}

uint8_t Channel(float sum)
{
    const float rounded = std::nearbyint(sum);
    return rounded <= 0.0f ? 0 : rounded >= 255.0f ? 255 : uint8_t(rounded);
}

// Rows of 24-bit pixels, with the range check every row access goes through.
class TWorkBuffer {
public:
    TWorkBuffer(int32_t width, int32_t height) : width_(width), height_(height), pixels_(size_t(width) * 3 * height) {}
    uint8_t* Row(int64_t y)
    {
        if (y < 0 || y >= height_)
            throw EKorvelaError("Scanline out of range");
        return pixels_.data() + size_t(y) * size_t(width_) * 3;
    }

private:
    int32_t width_;
    int32_t height_;
    std::vector<uint8_t> pixels_;
};

// Source rows as blue, green, red bytes: the rows of a 24-bit bitmap as they are, others
// converted through their colours.
void SourceRow(const TBitmap& bitmap, int32_t y, uint8_t* to)
{
    if (bitmap.PixelFormat() == pf24bit) {
        std::copy_n(bitmap.ScanLine(y), size_t(bitmap.Width()) * 3, to);
        return;
    }
    if (bitmap.PixelFormat() == pf32bit) {
        const uint8_t* from = bitmap.ScanLine(y);
        for (int32_t x = 0; x < bitmap.Width(); ++x, from += 4, to += 3) {
            to[0] = from[0];
            to[1] = from[1];
            to[2] = from[2];
        }
        return;
    }
    for (int32_t x = 0; x < bitmap.Width(); ++x, to += 3) {
        const TColor color = bitmap.GetPixel(x, y);
        to[0] = BlueOf(color);
        to[1] = GreenOf(color);
        to[2] = RedOf(color);
    }
}

} // namespace

const TResizeFilter& ResizeFilter(int index)
{
    return Filters[index >= 0 && index < ResizeFilterCount ? index : 5];
}

int SharpnessFilter(TSharpness sharpness)
{
    return sharpness == shSoft ? 4 : sharpness == shSharp ? 6 : 5;
}

void Stretch(TBitmap& bitmap, int32_t newWidth, int32_t newHeight, const TStretchProgress& progress, int filterIndex)
{
    const int32_t oldWidth = bitmap.Width();
    const int32_t oldHeight = bitmap.Height();
    if (oldWidth <= 0 || oldHeight <= 0)
        throw EKorvelaError("Source bitmap too small");
    if (newWidth <= 0 || newHeight <= 0)
        throw EKorvelaError("Cannot resample a picture to " + std::to_string(newWidth) + " x " +
                            std::to_string(newHeight) + " pixels: the new size must be at least 1 x 1.");
    const uint64_t workBytes = uint64_t(newWidth) * 3 * uint64_t(oldHeight);
    const uint64_t targetBytes = RowBytesFor(newWidth, pf24bit) * uint64_t(newHeight);
    if (workBytes + targetBytes > AvailableMemoryBytes())
        throw EKorvelaError("Cannot resample a picture to " + std::to_string(newWidth) + " x " +
                            std::to_string(newHeight) + " pixels: there is not enough memory.");

    const TResizeFilter& filter = ResizeFilter(filterIndex);
    TProgressCounter counter(progress, int64_t(oldHeight) + newHeight + 2 * int64_t(newWidth));

    // Along the rows, a band of source rows at a time.
    const TContributions across = Contributions(oldWidth, newWidth, filter, counter);
    TWorkBuffer work(newWidth, oldHeight);
    const int32_t bandRows = int32_t(std::clamp<int64_t>(StretchBandBytes / (int64_t(oldWidth) * 3), 1, oldHeight));
    std::vector<uint8_t> band(size_t(oldWidth) * 3 * size_t(bandRows));
    for (int32_t first = 0; first < oldHeight; first += bandRows) {
        const int32_t rows = std::min(bandRows, oldHeight - first);
        for (int32_t k = 0; k < rows; ++k)
            SourceRow(bitmap, first + k, band.data() + size_t(k) * oldWidth * 3);
        for (int32_t k = 0; k < rows; ++k) {
            const uint8_t* from = band.data() + size_t(k) * oldWidth * 3;
            uint8_t* to = work.Row(first + k);
            for (int32_t i = 0; i < newWidth; ++i, to += 3) {
                float b = 0.0f, g = 0.0f, r = 0.0f;
                for (int32_t n = across.Start[i]; n < across.Start[i + 1]; ++n) {
                    const TContributor& c = across.Items[n];
                    const uint8_t* p = from + size_t(c.Index) * 3;
                    b += p[0] * c.Weight;
                    g += p[1] * c.Weight;
                    r += p[2] * c.Weight;
                }
                to[0] = Channel(b);
                to[1] = Channel(g);
                to[2] = Channel(r);
            }
            counter.Steps(1);
        }
    }

    // Along the columns, into the target one row at a time; a row of the target is a column of
    // weighted sums for every target column at once.
    const TContributions down = Contributions(oldHeight, newHeight, filter, counter);
    TBitmap target(newWidth, newHeight, pf24bit);
    std::vector<float> sums(size_t(newWidth) * 3);
    int64_t columnsDone = 0;
    for (int32_t y = 0; y < newHeight; ++y) {
        std::fill(sums.begin(), sums.end(), 0.0f);
        for (int32_t n = down.Start[y]; n < down.Start[y + 1]; ++n) {
            const TContributor& c = down.Items[n];
            const uint8_t* from = work.Row(c.Index);
            for (size_t k = 0; k < sums.size(); ++k)
                sums[k] += from[k] * c.Weight;
        }
        uint8_t* to = target.ScanLine(y);
        for (size_t k = 0; k < sums.size(); ++k)
            to[k] = Channel(sums[k]);
        // The column steps, spread over the rows.
        const int64_t due = int64_t(newWidth) * (y + 1) / newHeight;
        counter.Steps(due - columnsDone);
        columnsDone = due;
    }
    bitmap = std::move(target);
}

} // namespace kv
