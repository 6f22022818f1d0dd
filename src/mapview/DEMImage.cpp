#include "mapview/DEMImage.h"

#include "mapview/MapCoords.h"

#include "platform/Rounding.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <thread>

namespace kv {

const std::array<std::array<int32_t, 15>, 7> ShadeThresholds = {{
    {-294, -230, -167, -103, -65, -41, -23, -8, 8, 23, 65, 103, 167, 230, 294},
    {-147, -115, -83, -51, -32, -20, -11, -4, 4, 11, 32, 51, 83, 115, 147},
    {-73, -57, -41, -25, -16, -10, -5, -2, 2, 5, 16, 25, 41, 57, 73},
    {-36, -28, -20, -12, -8, -5, -2, -1, 1, 2, 8, 12, 20, 28, 36},
    {-18, -14, -10, -6, -4, -3, -2, -1, 1, 2, 4, 6, 10, 14, 18},
    {-9, -8, -7, -5, -4, -3, -2, -1, 1, 2, 4, 5, 7, 8, 9},
    {-8, -7, -6, -5, -4, -3, -2, -1, 1, 2, 4, 5, 6, 7, 8},
}};

const std::array<uint8_t, 16> ShadeGreys = {255, 239, 222, 204, 188, 171, 154, 136, 119, 102, 85, 68, 51, 34, 17, 0};

uint8_t ShadeGrey(int32_t contrast, int64_t difference)
{
    const std::array<int32_t, 15>& row = ShadeThresholds[static_cast<size_t>(EffectiveContrast(contrast))];
    const auto k = std::upper_bound(row.begin(), row.end(), difference,
                                    [](int64_t d, int32_t threshold) { return d < threshold; }) -
                   row.begin();
    return ShadeGreys[static_cast<size_t>(k)];
}

int64_t ShadeDifference(uint8_t light, int64_t v, int64_t previous, int64_t west, int64_t northWest, int64_t southWest)
{
    switch (light) {
    case ldN:
        return v - previous;
    case ldS:
        return previous - v;
    case ldE:
        return v - west;
    case ldW:
        return west - v;
    case ldNE:
        return v - southWest;
    case ldNW:
        return northWest - v;
    case ldSE:
        return v - northWest;
    case ldSW:
        return southWest - v;
    default:
        return 0;
    }
}

bool CrossesContour(int64_t a, int64_t b, int32_t interval)
{
    const int64_t c = std::max(interval, 1);
    const int64_t lo = std::min(a, b);
    const int64_t hi = std::max(a, b);
    return hi >= c * (lo / c + 1);
}

namespace {

int32_t TruncToInt32(double x)
{
    if (std::isnan(x))
        return 0;
    return static_cast<int32_t>(std::clamp(std::trunc(x), double(std::numeric_limits<int32_t>::min()),
                                           double(std::numeric_limits<int32_t>::max())));
}

constexpr uint32_t WhiteWord = 0x00FFFFFF;

// A colour as a 32-bit pixel word of the bitmap: blue, green, red, 0 in memory.
uint32_t PixelWord(TColor color)
{
    return ((color & 0xFF) << 16) | (color & 0xFF00) | ((color >> 16) & 0xFF);
}

// What the drawing needs of an elevation: its pixel colour and its contour keys, the interval
// count below it (floor) and toward zero (trunc). Two elevations lo <= hi cross a contour exactly
// when Floor(hi) > Trunc(lo), the test of CrossesContour without its divisions.
struct TLevel {
    uint32_t Pixel;
    int32_t Floor;
    int32_t Trunc;
};

// The column buffer entry of an image row: the elevation last drawn there and its keys.
struct TBufferEntry {
    int32_t Value;
    int32_t Floor;
    int32_t Trunc;
};

// Largest elevation range the level table covers; elevations outside it are computed one by one.
constexpr int64_t MaxLevelTable = int64_t{1} << 18;
constexpr int32_t ShadeClamp = 295; // beyond every threshold of every contrast

struct TDrawContext {
    const TDEMArray* Dem = nullptr;
    const TColorBar* Bar = nullptr;
    int32_t Rows = 0;
    int32_t Interval = 1;
    double Factor = 1.0; // working units per cell unit
    bool Colored = false;
    uint8_t Light = ldNW;
    bool UTM = false;
    int64_t TableFirst = 0;
    std::vector<TLevel> Table;
    std::array<uint32_t, 2 * ShadeClamp + 1> Greys{};
    uint8_t* Pixels = nullptr;
    size_t RowBytes = 0;

    TLevel Compute(int32_t v) const
    {
        const int32_t t = v / Interval;
        const int32_t f = t - ((v % Interval != 0 && v < 0) ? 1 : 0);
        const uint32_t pixel = Colored ? PixelWord(Bar->GetBandColor(v * Factor)) : WhiteWord;
        return {pixel, f, t};
    }

    TLevel Level(int32_t v) const
    {
        const uint64_t index = static_cast<uint64_t>(int64_t{v} - TableFirst);
        if (index < Table.size())
            return Table[index];
        return Compute(v);
    }
};

bool Crosses(int32_t a, int32_t aFloor, int32_t aTrunc, int32_t b, int32_t bFloor, int32_t bTrunc)
{
    return a <= b ? bFloor > aTrunc : aFloor > bTrunc;
}

// The state the drawing has reached before a column: the previous value drawn and the column buffer.
struct TSeed {
    int32_t Previous = 0;
    std::vector<int32_t> Buffer;
};

// The seed of a chunk starting at column `start`, from the seed of the chunk starting at `from`
// (< start): each buffer entry is the last valid cell of its row in columns from .. start - 1,
// the previous value the northernmost valid cell of the last column there that has one; what
// those columns leave undecided comes from the earlier seed.
TSeed SeedBefore(const TDEMArray& dem, const TSeed& earlier, int32_t from, int32_t start)
{
    TSeed seed = earlier;
    const int32_t rows = dem.Rows();
    std::vector<uint8_t> decided(static_cast<size_t>(rows), 0);
    int32_t open = rows;
    bool previousFound = false;
    for (int32_t i = start - 1; i >= from && (open > 0 || !previousFound); --i) {
        const int32_t* column = dem.Column(i);
        for (int32_t j = rows - 1; j >= 0; --j) {
            const int32_t v = column[j];
            if (v == VoidValue)
                continue;
            if (!previousFound) {
                seed.Previous = v;
                previousFound = true;
            }
            if (!decided[static_cast<size_t>(j)]) {
                decided[static_cast<size_t>(j)] = 1;
                seed.Buffer[static_cast<size_t>(rows - j)] = v;
                --open;
            }
        }
    }
    return seed;
}

// Columns drawn into a column-ordered strip before they go to the picture: the picture is stored
// row by row, so writing it cell by cell down a column would touch a new row (and page) at every
// cell. Strip x rows words stay in the second-level cache.
constexpr int32_t StripColumns = 16;

template <bool Colored, bool Shaded, bool Contoured>
void DrawColumns(const TDrawContext& ctx, int32_t first, int32_t end, TSeed& seed)
{
    const int32_t rows = ctx.Rows;
    std::vector<TBufferEntry> buffer(seed.Buffer.size());
    for (size_t y = 0; y < buffer.size(); ++y) {
        const TLevel level = ctx.Level(seed.Buffer[y]);
        buffer[y] = {seed.Buffer[y], level.Floor, level.Trunc};
    }
    int32_t previous = seed.Previous;
    const TLevel previousLevel = ctx.Level(previous);
    int32_t previousFloor = previousLevel.Floor;
    int32_t previousTrunc = previousLevel.Trunc;
    std::vector<uint32_t> strip(size_t(StripColumns) * size_t(rows));

    for (int32_t stripFirst = first; stripFirst < end; stripFirst += StripColumns) {
        const int32_t stripEnd = std::min(end, stripFirst + StripColumns);
        for (int32_t i = stripFirst; i < stripEnd; ++i) {
            const int32_t* column = ctx.Dem->Column(i);
            // The pixels of column i, south to north: out[j] is image row rows - j.
            uint32_t* out = strip.data() + size_t(i - stripFirst) * size_t(rows);
            // The buffer entry one row below the cell as it was before this column: the
            // south-west neighbour.
            int32_t below = buffer[size_t(rows) + 1].Value;
            for (int32_t j = 0; j < rows; ++j) {
                const size_t y = size_t(rows - j);
                TBufferEntry& entry = buffer[y];
                const int32_t west = entry.Value;
                [[maybe_unused]] const int32_t southWest = below;
                below = west;
                const int32_t v = column[j];
                if (v == VoidValue) {
                    out[j] = WhiteWord;
                    continue;
                }
                const TLevel level = ctx.Level(v);
                uint32_t pixel = Colored ? level.Pixel : WhiteWord;
                if constexpr (Shaded) {
                    int64_t d = ShadeDifference(ctx.Light, v, previous, west, buffer[y - 1].Value, southWest);
                    if (ctx.UTM)
                        d *= 3;
                    pixel = ctx.Greys[size_t(std::clamp<int64_t>(d, -ShadeClamp, ShadeClamp) + ShadeClamp)];
                }
                if constexpr (Contoured) {
                    if (Crosses(previous, previousFloor, previousTrunc, v, level.Floor, level.Trunc) ||
                        (i != 0 && Crosses(west, entry.Floor, entry.Trunc, v, level.Floor, level.Trunc)))
                        pixel = 0;
                }
                out[j] = pixel;
                previous = v;
                previousFloor = level.Floor;
                previousTrunc = level.Trunc;
                entry = {v, level.Floor, level.Trunc};
            }
        }
        // The strip into the picture, row by row.
        const size_t count = size_t(stripEnd - stripFirst);
        uint32_t line[StripColumns];
        for (int32_t j = 0; j < rows; ++j) {
            for (size_t k = 0; k < count; ++k)
                line[k] = strip[k * size_t(rows) + size_t(j)];
            std::memcpy(ctx.Pixels + size_t(rows - j) * ctx.RowBytes + size_t(stripFirst) * 4, line, count * 4);
        }
    }
    seed.Previous = previous;
    for (size_t y = 0; y < buffer.size(); ++y)
        seed.Buffer[y] = buffer[y].Value;
}

using TDrawColumns = void (*)(const TDrawContext&, int32_t, int32_t, TSeed&);

TDrawColumns ChooseDraw(bool colored, bool shaded, bool contoured)
{
    static const TDrawColumns variants[8] = {
        DrawColumns<false, false, false>, DrawColumns<false, false, true>, DrawColumns<false, true, false>,
        DrawColumns<false, true, true>,   DrawColumns<true, false, false>, DrawColumns<true, false, true>,
        DrawColumns<true, true, false>,   DrawColumns<true, true, true>,
    };
    return variants[(colored ? 4 : 0) + (shaded ? 2 : 0) + (contoured ? 1 : 0)];
}

// Runs job(k) for k = 0 .. count - 1, the last on this thread.
template <typename TJob> void RunParallel(int32_t count, const TJob& job)
{
    std::vector<std::thread> workers;
    for (int32_t k = 0; k + 1 < count; ++k)
        workers.emplace_back([&job, k] { job(k); });
    job(count - 1);
    for (std::thread& worker : workers)
        worker.join();
}

} // namespace

int32_t ComputeImageContourInterval(const TDEMInfo& info)
{
    const double s = (info.DataMax - info.DataMin) / 15.0;
    return RoundHalfEvenToInt32(info.GroundRef == 0 ? s / 2.0 : s);
}

void DrawElevationImage(TBitmap& bitmap, const TDEMArray& dem, TPlotOptions& options, const TColorBar& bar,
                        const TUnits& units, TDEMImageState& state, int32_t threads)
{
    const int32_t cols = dem.Cols();
    const int32_t rows = dem.Rows();
    const int32_t width =
        static_cast<int32_t>(std::min<int64_t>(int64_t{cols} + 4, std::numeric_limits<int32_t>::max()));
    const int32_t height =
        static_cast<int32_t>(std::min<int64_t>(int64_t{rows} + 4, std::numeric_limits<int32_t>::max()));
    // Every pixel is written below, so a bitmap of another size or format is replaced, not converted.
    if (bitmap.PixelFormat() != pf32bit || bitmap.Width() != width || bitmap.Height() != height)
        bitmap = TBitmap(width, height, pf32bit);

    options.ImageContourInterval = ComputeImageContourInterval(dem.Info);
    state.ColumnBuffer.resize(size_t(rows) + 2, 0);

    if (threads <= 0)
        threads = static_cast<int32_t>(std::max(1u, std::thread::hardware_concurrency()));
    // Chunks of at least 64 columns; a few threads at most.
    const int32_t chunks = std::clamp(std::min(threads, cols / 64), 1, 16);

    // White where no cell lands: the frame around the map (the cells' own rows and columns are
    // written whole by the drawing, missing cells white).
    const bool empty = cols == 0 || rows == 0;
    for (int32_t y = 0; y < height; ++y) {
        const bool frameRow = empty || y == 0 || y > rows;
        uint8_t* row = bitmap.ScanLine(y);
        for (int32_t x = frameRow ? 0 : cols; x < width; ++x)
            std::memcpy(row + size_t(x) * 4, &WhiteWord, sizeof WhiteWord);
    }
    if (cols == 0 || rows == 0)
        return;

    TDrawContext ctx;
    ctx.Dem = &dem;
    ctx.Bar = &bar;
    ctx.Rows = rows;
    ctx.Interval = std::max(options.ImageContourInterval, 1);
    ctx.Factor = ElevationDisplayFactor(dem.Info, units);
    ctx.Colored = options.Colored;
    ctx.Light = options.LightDirection;
    ctx.UTM = dem.Info.IsUTM;
    ctx.Pixels = bitmap.ScanLine(0);
    ctx.RowBytes = bitmap.RowBytes();
    for (int32_t d = -ShadeClamp; d <= ShadeClamp; ++d) {
        const uint8_t grey = ShadeGrey(options.Contrast, d);
        ctx.Greys[size_t(d + ShadeClamp)] = PixelWord(RGBColor(grey, grey, grey));
    }
    const int32_t lo = TruncToInt32(dem.Info.DataMin);
    const int32_t hi = TruncToInt32(dem.Info.DataMax);
    if (lo <= hi && int64_t{hi} - lo < MaxLevelTable) {
        ctx.Table.resize(size_t(int64_t{hi} - lo + 1));
        ctx.TableFirst = lo;
        for (size_t n = 0; n < ctx.Table.size(); ++n)
            ctx.Table[n] = ctx.Compute(static_cast<int32_t>(lo + int64_t(n)));
    }

    // Each chunk starts from the state the columns before it leave, found by looking back.
    std::vector<int32_t> starts(static_cast<size_t>(chunks) + 1);
    for (int32_t k = 0; k <= chunks; ++k)
        starts[size_t(k)] = static_cast<int32_t>(int64_t{cols} * k / chunks);
    std::vector<TSeed> seeds(static_cast<size_t>(chunks));
    seeds[0] = {lo, state.ColumnBuffer};
    for (int32_t k = 1; k < chunks; ++k)
        seeds[size_t(k)] = SeedBefore(dem, seeds[size_t(k) - 1], starts[size_t(k) - 1], starts[size_t(k)]);

    const TDrawColumns draw = ChooseDraw(options.Colored, options.Shaded, options.Contoured);
    RunParallel(chunks, [&](int32_t k) { draw(ctx, starts[size_t(k)], starts[size_t(k) + 1], seeds[size_t(k)]); });
    state.ColumnBuffer = std::move(seeds.back().Buffer);
}

} // namespace kv
