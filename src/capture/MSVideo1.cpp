#include "capture/MSVideo1.h"

#include "platform/KVError.h"

#include <algorithm>
#include <array>

namespace kv {

namespace {

// The largest run one skip code holds (0x8400 + count, count 1 to 1023).
constexpr int32_t MaxSkipRun = 1023;
// At quality 0 a pixel may stray this far (in 8-bit steps, per channel) from its colour.
constexpr int64_t LowestQualityStep = 16;

struct TRGB {
    int32_t r, g, b;
};

uint16_t Pack(const TRGB& c)
{
    const auto five = [](int32_t v) { return static_cast<uint16_t>((v * 31 + 127) / 255); };
    return static_cast<uint16_t>((five(c.r) << 10) | (five(c.g) << 5) | five(c.b));
}

// The 8-bit colour a decoder shows for a 5-5-5 word.
TRGB Unpack(uint16_t v)
{
    const auto eight = [](int32_t f) { return (f << 3) | (f >> 2); };
    return {eight((v >> 10) & 31), eight((v >> 5) & 31), eight(v & 31)};
}

int64_t Distance(const TRGB& a, const TRGB& b)
{
    const int64_t dr = a.r - b.r, dg = a.g - b.g, db = a.b - b.b;
    return dr * dr + dg * dg + db * db;
}

void PutWord(std::string& out, uint32_t v)
{
    out.push_back(static_cast<char>(v & 0xFF));
    out.push_back(static_cast<char>((v >> 8) & 0xFF));
}

void FlushSkips(std::string& out, int32_t& pending)
{
    while (pending > 0) {
        const int32_t run = std::min(pending, MaxSkipRun);
        PutWord(out, 0x8400u + static_cast<uint32_t>(run));
        pending -= run;
    }
}

// Two colours for a set of pixels: split at the mean brightness, then each pixel to the nearer
// of the two halves' means. Bit i of the result set: pixel i takes the first colour.
struct TPair {
    uint16_t First = 0, Second = 0;
    uint32_t Bits = 0;
    int64_t Error = 0;
};

TPair SplitInTwo(const TRGB* pixels, const int* index, int count)
{
    const auto luma = [](const TRGB& c) { return c.r * 2 + c.g * 4 + c.b; };
    int64_t sum = 0;
    for (int i = 0; i < count; ++i)
        sum += luma(pixels[index[i]]);
    const auto mean = [&](bool bright, int64_t split) {
        int64_t r = 0, g = 0, b = 0, n = 0;
        for (int i = 0; i < count; ++i) {
            const TRGB& c = pixels[index[i]];
            if ((luma(c) * count > split) == bright) {
                r += c.r, g += c.g, b += c.b, ++n;
            }
        }
        if (n == 0)
            return TRGB{0, 0, 0};
        return TRGB{static_cast<int32_t>((r + n / 2) / n), static_cast<int32_t>((g + n / 2) / n),
                    static_cast<int32_t>((b + n / 2) / n)};
    };
    TPair pair;
    pair.First = Pack(mean(true, sum));
    pair.Second = Pack(mean(false, sum));
    const TRGB first = Unpack(pair.First), second = Unpack(pair.Second);
    for (int i = 0; i < count; ++i) {
        const int64_t a = Distance(pixels[index[i]], first), b = Distance(pixels[index[i]], second);
        if (a <= b)
            pair.Bits |= 1u << i;
        pair.Error += std::min(a, b);
    }
    return pair;
}

} // namespace

// Pixels of a block, the bottom row first, left to right (the order of the codec's flag bits).
struct TMSVideo1Encoder::TBlock {
    std::array<TRGB, 16> Pixel;
};

TMSVideo1Encoder::TMSVideo1Encoder(int32_t width, int32_t height, int32_t quality)
    : Width_(width), Height_(height)
{
    if (width <= 0 || height <= 0 || width % 4 != 0 || height % 4 != 0)
        throw EKorvelaError("MS Video 1 needs a frame size in whole blocks of 4 x 4 pixels, not " +
                            std::to_string(width) + " x " + std::to_string(height));
    const int64_t step = LowestQualityStep * (10000 - std::clamp(quality, 0, 10000)) / 10000;
    Tolerance_ = 16 * 3 * step * step;
    Shown_.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
}

void TMSVideo1Encoder::LoadBlock(const TBitmap& frame, int32_t bx, int32_t by, TBlock& block) const
{
    const int bytes = frame.PixelFormat() == pf32bit ? 4 : 3;
    for (int y = 0; y < 4; ++y) {
        const uint8_t* row = frame.ScanLine(Height_ - 1 - (by * 4 + y)) + size_t(bx) * 4 * size_t(bytes);
        for (int x = 0; x < 4; ++x, row += bytes)
            block.Pixel[size_t(y * 4 + x)] = {row[2], row[1], row[0]};
    }
}

void TMSVideo1Encoder::EncodeBlock(const TBlock& block, bool keyFrame, int32_t bx, int32_t by, std::string& out,
                                   int32_t& pendingSkips)
{
    const auto shown = [&](int i) -> uint16_t& {
        return Shown_[size_t(by * 4 + i / 4) * size_t(Width_) + size_t(bx * 4 + i % 4)];
    };
    // What rounding to 5-5-5 costs at best: no way of drawing the block does better.
    int64_t floor = 0;
    for (const TRGB& c : block.Pixel)
        floor += Distance(c, Unpack(Pack(c)));
    const int64_t bound = floor + Tolerance_;

    if (!keyFrame) {
        int64_t change = 0;
        for (int i = 0; i < 16; ++i)
            change += Distance(block.Pixel[size_t(i)], Unpack(shown(i)));
        if (change <= bound) {
            ++pendingSkips;
            return;
        }
    }
    FlushSkips(out, pendingSkips);

    // One colour, the block's mean.
    int64_t r = 0, g = 0, b = 0;
    for (const TRGB& c : block.Pixel)
        r += c.r, g += c.g, b += c.b;
    const uint16_t fill = Pack({static_cast<int32_t>((r + 8) / 16), static_cast<int32_t>((g + 8) / 16),
                                static_cast<int32_t>((b + 8) / 16)});
    int64_t fillError = 0;
    for (const TRGB& c : block.Pixel)
        fillError += Distance(c, Unpack(fill));
    if (fillError <= bound) {
        // A fill word's high byte 0x84 to 0x87 would read as a skip code (red 1): such a colour
        // is drawn as a two-colour block of that colour twice.
        if (((fill >> 8) & 0x7C) == 0x04) {
            PutWord(out, 0);
            PutWord(out, fill);
            PutWord(out, fill);
        } else {
            PutWord(out, 0x8000u | fill);
        }
        for (int i = 0; i < 16; ++i)
            shown(i) = fill;
        return;
    }

    static constexpr std::array<int, 16> All{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15};
    TPair two = SplitInTwo(block.Pixel.data(), All.data(), 16);
    if (two.Error <= bound) {
        // The top-right pixel's flag must be clear (a set top bit would make the word a colour).
        if (two.Bits & 0x8000u) {
            std::swap(two.First, two.Second);
            two.Bits ^= 0xFFFFu;
        }
        PutWord(out, two.Bits);
        PutWord(out, two.First);
        PutWord(out, two.Second);
        for (int i = 0; i < 16; ++i)
            shown(i) = (two.Bits >> i) & 1 ? two.First : two.Second;
        return;
    }

    // Two colours in each quarter: bottom-left, bottom-right, top-left, top-right.
    std::array<uint16_t, 8> colors{};
    uint32_t flags = 0;
    for (int q = 0; q < 4; ++q) {
        const int x0 = (q & 1) * 2, y0 = (q >> 1) * 2;
        const std::array<int, 4> index{y0 * 4 + x0, y0 * 4 + x0 + 1, (y0 + 1) * 4 + x0, (y0 + 1) * 4 + x0 + 1};
        TPair pair = SplitInTwo(block.Pixel.data(), index.data(), 4);
        if (q == 3 && (pair.Bits & 8u)) { // the top-right pixel again
            std::swap(pair.First, pair.Second);
            pair.Bits ^= 0xFu;
        }
        colors[size_t(q * 2)] = pair.First;
        colors[size_t(q * 2 + 1)] = pair.Second;
        for (int k = 0; k < 4; ++k)
            if ((pair.Bits >> k) & 1)
                flags |= 1u << index[size_t(k)];
    }
    PutWord(out, flags);
    PutWord(out, 0x8000u | colors[0]); // the set top bit of the first colour marks this kind of block
    for (size_t k = 1; k < 8; ++k)
        PutWord(out, colors[k]);
    for (int i = 0; i < 16; ++i) {
        const int q = ((i / 4) & 2) + ((i % 4) >> 1);
        shown(i) = colors[size_t(q * 2 + ((flags >> i) & 1 ? 0 : 1))];
    }
}

void TMSVideo1Encoder::Encode(const TBitmap& frame, bool keyFrame, std::string& out)
{
    if ((frame.PixelFormat() != pf24bit && frame.PixelFormat() != pf32bit) || frame.Width() < Width_ ||
        frame.Height() < Height_)
        throw EKorvelaError("MS Video 1 frames are 24 or 32-bit pictures of at least the movie's size");
    TBlock block;
    int32_t pendingSkips = 0;
    for (int32_t by = 0; by < Height_ / 4; ++by)
        for (int32_t bx = 0; bx < Width_ / 4; ++bx) {
            LoadBlock(frame, bx, by, block);
            EncodeBlock(block, keyFrame, bx, by, out, pendingSkips);
        }
    FlushSkips(out, pendingSkips);
}

} // namespace kv
