#pragma once
// Microsoft Video 1 ("MSVC"), 16-bit mode: the picture in blocks of 4 x 4 pixels, each block
// skipped (unchanged since the previous frame), filled with one colour, drawn in two colours, or
// drawn in two colours per 2 x 2 quarter. Colours are 5-5-5 RGB. Blocks run from the bottom-left
// corner, row by row upwards, as the rows of a Windows bitmap do.

#include "platform/Bitmap.h"

#include <cstdint>
#include <string>
#include <vector>

namespace kv {

class TMSVideo1Encoder {
public:
    // Frames of `width` x `height` pixels, both positive multiples of 4; `quality` 0 to 10000
    // (10000: every block as close as the codec can draw it; lower: blocks may be drawn more
    // simply or left unchanged while the difference stays below a bound that grows as the
    // quality falls).
    TMSVideo1Encoder(int32_t width, int32_t height, int32_t quality);

    int32_t Width() const { return Width_; }
    int32_t Height() const { return Height_; }

    // Appends the coded frame to `out`. `frame` is pf24bit or pf32bit and at least as large as
    // the movie; its top-left part is coded. A key frame refers to no earlier frame; the frame
    // after a key frame may.
    void Encode(const TBitmap& frame, bool keyFrame, std::string& out);

    // The picture a decoder shows after the last frame: 5-5-5 colours, bottom row first.
    const std::vector<uint16_t>& Shown() const { return Shown_; }

private:
    struct TBlock;
    void LoadBlock(const TBitmap& frame, int32_t bx, int32_t by, TBlock& block) const;
    void EncodeBlock(const TBlock& block, bool keyFrame, int32_t bx, int32_t by, std::string& out,
                     int32_t& pendingSkips);

    int32_t Width_;
    int32_t Height_;
    int64_t Tolerance_; // sum of squared differences a block may add beyond its rounding
    std::vector<uint16_t> Shown_;
};

} // namespace kv
