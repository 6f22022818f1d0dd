#pragma once
// PackBits (also IFF's ByteRun1): a signed header byte n, then n + 1 literal bytes (0 to 127) or
// one byte repeated 1 - n times (-127 to -1); -128 does nothing.

#include <cstdint>
#include <span>

namespace kv {

// Fills `row` from `data`, starting at `at`, which advances. False when the data ends first or
// a run overshoots the row: the picture's decoding then ends.
inline bool UnpackBitsRow(std::span<const uint8_t> data, size_t& at, std::span<uint8_t> row)
{
    size_t filled = 0;
    while (filled < row.size()) {
        if (at >= data.size())
            return false;
        const auto n = static_cast<int8_t>(data[at++]);
        if (n >= 0) {
            const size_t count = static_cast<size_t>(n) + 1;
            if (filled + count > row.size() || count > data.size() - at)
                return false;
            for (size_t i = 0; i < count; ++i)
                row[filled++] = data[at++];
        } else if (n != -128) {
            const size_t count = static_cast<size_t>(1 - n);
            if (filled + count > row.size() || at >= data.size())
                return false;
            const uint8_t value = data[at++];
            for (size_t i = 0; i < count; ++i)
                row[filled++] = value;
        }
    }
    return true;
}

} // namespace kv
