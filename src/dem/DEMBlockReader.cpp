#include "DEMBlockReader.h"

#include "DEMFields.h"
#include "platform/KVError.h"

#include <cstring>

namespace kv {

void TDEMBlockReader::ThrowReadError()
{
    throw EKorvelaError("Stream read error");
}

void TDEMBlockReader::ReadBlock()
{
    int filled = 0;
    const char* data = Data_.data();
    const size_t size = Data_.size();
    while (filled < BlockSize && StreamPos_ < size) {
        const char c = data[StreamPos_];
        if (c == '\r' || c == '\n') {
            (c == '\r' ? CarriageReturns_ : LineFeeds_)++;
            while (StreamPos_ < size && (data[StreamPos_] == '\r' || data[StreamPos_] == '\n'))
                ++StreamPos_;
            continue;
        }
        // Copy the run up to the next line break in one go.
        size_t run = std::min<size_t>(static_cast<size_t>(BlockSize - filled), size - StreamPos_);
        const char* start = data + StreamPos_;
        for (size_t i = 0; i < run; ++i) {
            if (start[i] == '\r' || start[i] == '\n') {
                run = i;
                break;
            }
        }
        std::memcpy(Block_ + filled, start, run);
        filled += static_cast<int>(run);
        StreamPos_ += run;
    }
    BlockLen_ = filled;
    BlockPos_ = 0;
    HaveBlock_ = true;
}

std::string_view TDEMBlockReader::ReadField(int width)
{
    if (!HaveBlock_ || BlockPos_ + width > BlockSize - 1)
        ReadBlock();
    if (BlockPos_ + width > BlockLen_)
        ThrowReadError();
    const std::string_view field(Block_ + BlockPos_, static_cast<size_t>(width));
    BlockPos_ += width;
    return field;
}

int32_t TDEMBlockReader::ReadInt(int width)
{
    return ParseIntField(ReadField(width));
}

double TDEMBlockReader::ReadReal(int width, bool emptyIsZero)
{
    return ParseRealField(ReadField(width), emptyIsZero);
}

std::string TDEMBlockReader::ReadText(int width)
{
    return FoldBlanks(ReadField(width));
}

void TDEMBlockReader::SkipFields(int64_t count, int width)
{
    for (int64_t i = 0; i < count; ++i)
        ReadField(width);
}

} // namespace kv
