#include "BMPRunLength.h"

#include "platform/KVError.h"

namespace kv {

void DecodeBMPRunLength(std::span<const uint8_t> codes, uint64_t offset, const std::string& name, bool fourBits,
                        TBitmap& bitmap)
{
    const int64_t width = bitmap.Width();
    const int64_t height = bitmap.Height();
    int64_t x = 0;
    int64_t row = 0; // counted from the bottom
    auto put = [&](uint32_t value) {
        if (x < width && row < height)
            bitmap.SetValue(int32_t(x), int32_t(height - 1 - row), value);
        ++x;
    };
    auto cutOff = [&](size_t at) {
        return EKorvelaError(name + ": the run-length code at byte " + std::to_string(offset + at) +
                             " is cut off by the end of the pixel data");
    };
    size_t pos = 0;
    while (true) {
        if (pos + 2 > codes.size()) {
            if (row >= height || (row == height - 1 && x >= width))
                return;
            throw EKorvelaError(name + ": the run-length data ends at byte " + std::to_string(offset + codes.size()) +
                                " before the end-of-bitmap code, at row " + std::to_string(row) + " of " +
                                std::to_string(height) + " from the bottom");
        }
        const size_t at = pos;
        const uint8_t count = codes[pos];
        const uint8_t value = codes[pos + 1];
        pos += 2;
        if (count > 0) {
            // A run: the byte repeated, or for 4 bits its two halves taking turns.
            for (int i = 0; i < count && x < width; ++i)
                put(fourBits ? ((i % 2 == 0) ? value >> 4 : value & 0x0Fu) : value);
            continue;
        }
        switch (value) {
        case 0: // end of row
            x = 0;
            ++row;
            break;
        case 1: // end of bitmap
            return;
        case 2: // move right and up
            if (pos + 2 > codes.size())
                throw cutOff(at);
            x += codes[pos];
            row += codes[pos + 1];
            pos += 2;
            break;
        default: { // `value` pixels as they are, padded to an even number of bytes
            const size_t bytes = fourBits ? (size_t(value) + 1) / 2 : size_t(value);
            const size_t padded = bytes + (bytes % 2);
            if (pos + padded > codes.size())
                throw cutOff(at);
            for (int i = 0; i < value && x < width; ++i)
                put(fourBits ? ((i % 2 == 0) ? codes[pos + size_t(i / 2)] >> 4 : codes[pos + size_t(i / 2)] & 0x0Fu)
                             : codes[pos + size_t(i)]);
            pos += padded;
            break;
        }
        }
    }
}

} // namespace kv
