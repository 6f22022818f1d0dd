#pragma once
// What every picture reader's fuzz target checks: arbitrary bytes give a picture or an
// EKorvelaError, never a crash, a hang or memory the input cannot justify; a failed read leaves
// the caller's picture as it was; a picture that was read has every pixel in reach.
#include "platform/Bitmap.h"
#include "platform/KVError.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

namespace kv::fuzz {

template <typename TReader> int FuzzPictureReader(const uint8_t* data, size_t size, TReader read)
{
    TBitmap bitmap(1, 1, pf24bit);
    bitmap.SetPixel(0, 0, 0x123456);
    try {
        read(std::span<const uint8_t>(data, size), bitmap);
    } catch (const EKorvelaError&) {
        if (bitmap.Width() != 1 || bitmap.Height() != 1 || bitmap.GetPixel(0, 0) != 0x123456)
            std::abort();
        return 0;
    }
    if (!bitmap.Empty())
        (void)bitmap.GetPixel(bitmap.Width() - 1, bitmap.Height() - 1);
    return 0;
}

} // namespace kv::fuzz
